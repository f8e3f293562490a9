#include "inspector/helpers.h"

#include "editor/textmodel.h"

#include <QComboBox>
#include <QFontDatabase>
#include <QListWidget>
#include <QStringList>

#include <algorithm>

namespace sheetsmith {

// --- Font list -------------------------------------------------------------------

void FillFontList(QComboBox *box)
{
    if (!box)
        return;
    box->clear();
    box->addItems(QFontDatabase::families());
}

void FillFontList(QListWidget *list)
{
    if (!list)
        return;
    list->clear();
    list->addItems(QFontDatabase::families());
}

// --- Colours ---------------------------------------------------------------------

namespace {

int snapToWebSafe(int component)
{
    // 51 is odd, so no component lies halfway between two palette steps.
    return (component + 25) / 51 * 51;
}

// The low byte of the number a piece of text starts with, read as a hand-typed
// number: leading blanks, an optional sign, then decimal digits. Working modulo 256
// keeps arbitrarily long digit runs from overflowing.
int lowByteOfLeadingNumber(QStringView piece)
{
    qsizetype i = 0;
    while (i < piece.size() && (piece[i] == u' ' || piece[i] == u'\t'))
        ++i;
    bool negative = false;
    if (i < piece.size() && (piece[i] == u'-' || piece[i] == u'+')) {
        negative = piece[i] == u'-';
        ++i;
    }
    int value = 0;
    for (; i < piece.size() && piece[i] >= u'0' && piece[i] <= u'9'; ++i)
        value = (value * 10 + (piece[i].unicode() - u'0')) & 0xFF;
    return negative ? (256 - value) & 0xFF : value;
}

int hexDigitValue(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (u >= u'a' && u <= u'f')
        return u - u'a' + 10;
    if (u >= u'A' && u <= u'F')
        return u - u'A' + 10;
    return -1;
}

} // namespace

qint32 WebSafeColor(qint32 color)
{
    const int r = color & 0xFF;
    const int g = (color >> 8) & 0xFF;
    const int b = (color >> 16) & 0xFF;
    return snapToWebSafe(r) + 256 * snapToWebSafe(g) + 65536 * snapToWebSafe(b);
}

QString ColorToRGBText(qint32 color, const QString &sep)
{
    const qint32 b = color / 65536;
    const qint32 g = (color - 65536 * b) / 256;
    const qint32 r = color - 65536 * b - 256 * g;
    return QString::number(r) + sep + QString::number(g) + sep + QString::number(b);
}

QString RGBTextToHex(const QString &text, const QString &sep)
{
    const QList<QStringView> pieces = QStringView(text).split(sep);
    QString hex;
    hex.reserve(6);
    for (int i = 0; i < 3; ++i) {
        const int byte = i < pieces.size() ? lowByteOfLeadingNumber(pieces[i]) : 0;
        hex += QStringLiteral("%1").arg(byte, 2, 16, QLatin1Char('0')).toUpper();
    }
    return hex;
}

QString ColorToHex(qint32 color)
{
    const QString sep = QStringLiteral(",");
    return RGBTextToHex(ColorToRGBText(color, sep), sep);
}

qint32 HexToColor(const QString &text)
{
    if (text.isEmpty())
        return 0;
    const QString u = text.mid(1);
    // RRGGBB becomes BBGGRR, so that reading it as one number gives R in the low byte.
    const QString reordered = u.right(2) + u.mid(2, 2) + u.left(2);
    qint32 value = 0;
    for (const QChar c : reordered) {
        const int digit = hexDigitValue(c);
        if (digit < 0)
            break;
        value = value * 16 + digit; // at most six digits: no overflow
    }
    return value;
}

// --- Words -----------------------------------------------------------------------

bool IsWordChar(QChar ch)
{
    switch (ch.unicode()) {
    case u':':
    case u' ':
    case u'.':
    case u';':
    case u',':
    case u'\n':
    case u'\r':
    case u'\t':
        return false;
    default:
        return true;
    }
}

bool IsWordChar(const QString &ch)
{
    return ch.size() != 1 || IsWordChar(ch.front());
}

qsizetype FindWholeWord(qsizetype start1, const QString &text, const QString &word)
{
    return FindWholeWord(start1, text, word, text.size() + 1);
}

qsizetype FindWholeWord(qsizetype start1, const QString &text, const QString &word, qsizetype limit1)
{
    if (word.isEmpty())
        return 0;
    // Matches may start before limit1, so they lie within the first limit1 - 1 +
    // length of word characters; searching that view keeps the work bounded.
    const qsizetype viewEnd = std::min<qsizetype>(text.size(), std::max<qsizetype>(limit1 - 1, 0) + word.size());
    const QStringView view = QStringView(text).left(viewEnd);
    qsizetype from = std::max<qsizetype>(start1, 1) - 1;
    while (from < view.size()) {
        const qsizetype at = view.indexOf(word, from, Qt::CaseInsensitive);
        if (at < 0 || at + 1 >= limit1)
            return 0;
        const qsizetype after = at + word.size();
        const bool delimitedBefore = at == 0 || !IsWordChar(text[at - 1]);
        // Past the end there is no character, which counts as a word character.
        const bool delimitedAfter = after < text.size() && !IsWordChar(text[after]);
        if (delimitedBefore && delimitedAfter)
            return at + 1;
        from = at + 1;
    }
    return 0;
}

// --- Editor lines ----------------------------------------------------------------

qsizetype LineLength(const TextModel &model, qsizetype charIndex)
{
    if (charIndex < 0 || charIndex > model.length())
        return 0;
    return model.lineLength(model.lineOfOffset(charIndex));
}

int CaretLine(const TextModel &model, qsizetype caret)
{
    return model.lineOfOffset(caret) + 1;
}

qsizetype CaretColumn(const TextModel &model, qsizetype caret)
{
    return caret - model.lineStart(model.lineOfOffset(caret)) + 1;
}

int LineOfChar(const TextModel &model, qsizetype charIndex)
{
    return model.lineOfOffset(charIndex) + 1;
}

qsizetype LineStart(const TextModel &model, int line1)
{
    if (line1 < 1 || line1 > model.lineCount())
        return 0;
    return model.lineStart(line1 - 1) + 1;
}

int LineCount(const TextModel &model)
{
    return model.lineCount();
}

QString LineText(const TextModel &model, int line1)
{
    // The 1-based start read as a 0-based index is the line's second character, or
    // for an empty line the LF of its own break: either way still line1.
    const qsizetype len = LineLength(model, LineStart(model, line1));
    if (len < 1)
        return QString();
    return model.lineText(line1 - 1).left(len);
}

} // namespace sheetsmith
