#include "text/words.h"

#include <QStringView>

#include <algorithm>

namespace sheetsmith {

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
    return FindWholeWord(start1, text, word, limit1, [](QChar c) { return !IsWordChar(c); });
}

qsizetype FindWholeWord(qsizetype start1, const QString &text, const QString &word, qsizetype limit1,
                        bool (*isDelimiter)(QChar))
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
        const bool delimitedBefore = at == 0 || isDelimiter(text[at - 1]);
        // Past the end there is no character, which counts as a word character.
        const bool delimitedAfter = after < text.size() && isDelimiter(text[after]);
        if (delimitedBefore && delimitedAfter)
            return at + 1;
        from = at + 1;
    }
    return 0;
}

namespace {

// The editor's whole-word test works with identifier characters, not with the
// delimiters of IsWordChar.
bool isIdentifierChar(QChar c)
{
    return c.isLetterOrNumber() || c == u'_';
}

} // namespace

qsizetype FindInText(const QString &text, const QString &what, qsizetype selStart,
                     qsizetype selLength, std::optional<qsizetype> start,
                     std::optional<qsizetype> end, FindOptions options)
{
    const qsizetype n = text.size();
    if (what.isEmpty())
        return -1;
    const auto clampOffset = [n](qsizetype v) { return std::clamp<qsizetype>(v, 0, n); };

    qsizetype from = 0;
    qsizetype to = n;
    bool backwards = false;
    if (!start && !end) {
        if (selLength > 0) {
            from = selStart;
            to = from + selLength;
        }
    } else if (start && !end) {
        from = clampOffset(*start);
    } else if (!start) {
        to = clampOffset(*end);
    } else {
        const qsizetype s = clampOffset(*start);
        const qsizetype e = clampOffset(*end);
        backwards = s > e;
        from = std::min(s, e);
        to = std::max(s, e);
    }

    const Qt::CaseSensitivity cs = options.matchCase ? Qt::CaseSensitive : Qt::CaseInsensitive;
    const qsizetype len = what.size();
    const auto acceptable = [&](qsizetype at) {
        if (!options.wholeWord)
            return true;
        const bool startOk = !isIdentifierChar(what.front()) || at == 0 || !isIdentifierChar(text[at - 1]);
        const bool endOk = !isIdentifierChar(what.back()) || at + len >= n || !isIdentifierChar(text[at + len]);
        return startOk && endOk;
    };

    if (!backwards) {
        for (qsizetype at = text.indexOf(what, from, cs); at >= 0 && at + len <= to;
             at = text.indexOf(what, at + 1, cs)) {
            if (acceptable(at))
                return at;
        }
    } else {
        // Searching backwards from `to` (the start given) down to `from` (the end given).
        for (qsizetype at = text.lastIndexOf(what, to, cs); at >= from;
             at = at > 0 ? text.lastIndexOf(what, at - 1, cs) : -1) {
            if (acceptable(at))
                return at;
        }
    }
    return -1;
}

} // namespace sheetsmith
