#include "text/colourvalue.h"

#include <QList>
#include <QRegularExpression>
#include <QStringView>

namespace sheetsmith {

QString colourToRtfDefinition(ColourValue c)
{
    if (c < 0 || c > 0xFFFFFF)
        return QString();
    return QStringLiteral("\\red%1\\green%2\\blue%3")
        .arg(colourRed(c))
        .arg(colourGreen(c))
        .arg(colourBlue(c));
}

std::optional<ColourValue> colourFromRtfDefinition(const QString &definition)
{
    if (definition.isEmpty())
        return kAutoColour;
    static const QRegularExpression form(
        QStringLiteral("^\\\\red(\\d{1,3})\\\\green(\\d{1,3})\\\\blue(\\d{1,3})$"));
    const QRegularExpressionMatch m = form.match(definition);
    if (!m.hasMatch())
        return std::nullopt;
    const int r = m.captured(1).toInt();
    const int g = m.captured(2).toInt();
    const int b = m.captured(3).toInt();
    if (r > 255 || g > 255 || b > 255)
        return std::nullopt;
    return makeColour(r, g, b);
}

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

} // namespace

ColourValue WebSafeColor(ColourValue color)
{
    const int r = color & 0xFF;
    const int g = (color >> 8) & 0xFF;
    const int b = (color >> 16) & 0xFF;
    return snapToWebSafe(r) + 256 * snapToWebSafe(g) + 65536 * snapToWebSafe(b);
}

QString ColorToRGBText(ColourValue color, const QString &sep)
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

QString ColorToHex(ColourValue color)
{
    const QString sep = QStringLiteral(",");
    return RGBTextToHex(ColorToRGBText(color, sep), sep);
}

ColourValue HexToColor(const QString &text)
{
    if (text.isEmpty())
        return 0;
    const QString u = text.mid(1);
    // RRGGBB becomes BBGGRR, so that reading it as one number gives R in the low byte.
    const QString reordered = u.right(2) + u.mid(2, 2) + u.left(2);
    ColourValue value = 0;
    for (const QChar c : reordered) {
        const int digit = hexDigitValue(c);
        if (digit < 0)
            break;
        value = value * 16 + digit; // at most six digits: no overflow
    }
    return value;
}

} // namespace sheetsmith
