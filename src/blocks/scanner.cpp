#include "blocks/scanner.h"

#include "blocks/root.h"
#include "text/commentmarkers.h"
#include "text/editedrange.h"
#include "text/textmodel.h"

#include <algorithm>
#include <array>

namespace sheetsmith {

namespace {

// Index of the first two-character marker first+second at or after from, or -1.
// Finds the first character with the vectorised single-character search, which is
// much faster than a general substring search on the short lines the scanner strips.
qsizetype indexOfMarker(const QString &text, QChar first, QChar second, qsizetype from)
{
    const qsizetype last = text.size() - 1;
    for (qsizetype i = text.indexOf(first, from); i >= 0 && i < last; i = text.indexOf(first, i + 1)) {
        if (text[i + 1] == second)
            return i;
    }
    return -1;
}

} // namespace

QString StripComments(const QString &text)
{
    // Removing a comment never joins characters before it into a new "/*", because
    // the next search resumes where the comment began; so the result is the text with
    // each comment found left to right cut out, built in one pass.
    qsizetype open = indexOfMarker(text, u'/', u'*', 0);
    if (open < 0)
        return text;
    QString out;
    out.reserve(text.size());
    qsizetype from = 0;
    while (open >= 0) {
        // Searched from the "/*" itself: in "/*/" the "*/" overlaps the opener.
        const qsizetype close = indexOfMarker(text, u'*', u'/', open);
        if (close < 0)
            break; // unclosed: no later "/*" can close either
        out += QStringView(text).mid(from, open - from);
        from = close + 2;
        open = indexOfMarker(text, u'/', u'*', from);
    }
    out += QStringView(text).mid(from);
    return out;
}

bool InComment(qsizetype b1, qsizetype lineStart1, const QString &text)
{
    if (b1 <= 0)
        return false;
    // The last marker lying wholly before b1 starts at a 0-based index of b1 - 3 or less.
    const qsizetype from = std::min(b1 - 3, text.size() - 2);
    if (from < 0)
        return false;
    const qsizetype open = text.lastIndexOf(u"/*", from) + 1;
    if (open == 0)
        return false;
    const qsizetype close = text.lastIndexOf(u"*/", from) + 1;
    return open >= lineStart1 && close < open;
}

QStringList ElementNames()
{
    return {
        QStringLiteral("A:link"),   QStringLiteral("A:visited"), QStringLiteral("A:active"),
        QStringLiteral("ADDRESS"),  QStringLiteral("BIG"),       QStringLiteral("BLINK"),
        QStringLiteral("BLOCKQUOTE"), QStringLiteral("BODY"),    QStringLiteral("CENTER"),
        QStringLiteral("CITE"),     QStringLiteral("CODE"),      QStringLiteral("COMMENT"),
        QStringLiteral("DD"),       QStringLiteral("DFN"),       QStringLiteral("DIV"),
        QStringLiteral("DL"),       QStringLiteral("DT"),        QStringLiteral("EM"),
        QStringLiteral("H1"),       QStringLiteral("H2"),        QStringLiteral("H3"),
        QStringLiteral("H4"),       QStringLiteral("H5"),        QStringLiteral("H6"),
        QStringLiteral("HR"),       QStringLiteral("KBD"),       QStringLiteral("LI"),
        QStringLiteral("LISTING"),  QStringLiteral("MARQUEE"),   QStringLiteral("MULTICOL"),
        QStringLiteral("OL"),       QStringLiteral("PRE"),       QStringLiteral("SAMP"),
        QStringLiteral("SMALL"),    QStringLiteral("SPAN"),      QStringLiteral("STRIKE"),
        QStringLiteral("STRONG"),   QStringLiteral("SUB"),       QStringLiteral("SUP"),
        QStringLiteral("TABLE"),    QStringLiteral("TD"),        QStringLiteral("TR"),
        QStringLiteral("TT"),       QStringLiteral("UL"),        QStringLiteral("VAR"),
    };
}

namespace {

// Case folding of one UTF-16 unit, as Qt's case-insensitive comparison does it, with
// a shortcut for ASCII, which is nearly every selector character.
inline QChar folded(QChar c)
{
    const char16_t u = c.unicode();
    if (u < 128)
        return (u >= u'A' && u <= u'Z') ? QChar(char16_t(u + 32)) : c;
    return c.toCaseFolded();
}

// Case folding of the unit at i of a text as Qt's case-insensitive search folds it: a
// low surrogate that follows a high one is folded as part of its pair, so a letter
// outside the Basic Multilingual Plane matches its other case.
inline QChar foldedAt(QStringView text, qsizetype i)
{
    const QChar c = text[i];
    if (c.isLowSurrogate() && i > 0 && text[i - 1].isHighSurrogate())
        return QChar(QChar::lowSurrogate(QChar::toCaseFolded(QChar::surrogateToUcs4(text[i - 1], c))));
    return folded(c);
}

// The element test: does a text occur, ignoring letter case, anywhere inside the
// element names joined by ";"? Holds the joined names case-folded and the set of
// characters they use, so that the usual class selector (starting with ".") is
// turned down without a search, and no needle is copied to fold it.
class ElementTest
{
public:
    explicit ElementTest(const QStringList &names) : m_folded(names.join(u';').toCaseFolded())
    {
        for (const QChar c : m_folded) {
            if (c.unicode() < 128)
                m_ascii[c.unicode()] = true;
        }
    }

    bool occursIn(QStringView needle) const
    {
        // The empty text occurs in any text.
        if (needle.isEmpty())
            return true;
        const qsizetype n = m_folded.size();
        const qsizetype m = needle.size();
        if (m > n)
            return false;
        // Folding the same way as Qt's case-insensitive comparison: per UTF-16 unit, a
        // surrogate pair as one character (the needle's first unit has no pair before it).
        const QChar first = folded(needle[0]);
        if (first.unicode() < 128 && !m_ascii[first.unicode()])
            return false;
        const QChar *hay = m_folded.constData();
        for (qsizetype i = 0; i + m <= n; ++i) {
            if (hay[i] != first)
                continue;
            qsizetype j = 1;
            while (j < m && hay[i + j] == foldedAt(needle, j))
                ++j;
            if (j == m)
                return true;
        }
        return false;
    }

private:
    QString m_folded;
    std::array<bool, 128> m_ascii = {};
};

// Selector text and kind of the rule(s) whose "{" stands on one line.
struct LineSelector
{
    QString id;
    QString kind;
};

LineSelector selectorOfLine(QStringView line, const ElementTest &elements)
{
    static const QString kElement = QStringLiteral("Element");
    static const QString kClass = QStringLiteral("Class");
    static const QString kId = QStringLiteral("ID");

    QString bare = line.toString();
    bare.remove(u' ');
    // Blanks go before comments are stripped, so "/ *" becomes a comment opener.
    QString sel = StripComments(bare);
    // The "{" itself may vanish with a comment (a "/ * ... {" whose blanks made a
    // comment); then there is nothing to cut at and the whole text is kept.
    const qsizetype brace = sel.indexOf(u'{');
    if (brace >= 0)
        sel.truncate(brace);

    if (sel.contains(u'#'))
        return {sel, kId};
    const qsizetype comma = sel.indexOf(u',');
    const QStringView first = comma < 0 ? QStringView(sel) : QStringView(sel).left(comma);
    return {sel, elements.occursIn(first) ? kElement : kClass};
}

// The 0-based line of ascending offsets, walking the model's line index forward
// instead of searching it for each brace. Gives what TextModel::lineOfOffset gives
// for every offset, as long as the offsets asked never decrease.
class LineCursor
{
public:
    LineCursor(const TextModel &model, qsizetype from) : m_model(model), m_line(model.lineOfOffset(from)) {}

    int lineOf(qsizetype offset)
    {
        const int count = m_model.lineCount();
        while (m_line + 1 < count && m_model.lineStart(m_line + 1) <= offset)
            ++m_line;
        return m_line;
    }

private:
    const TextModel &m_model;
    int m_line;
};

// The blocks of every live "{" at an offset in [from, to), in order. `from` is a line
// start, so that each line's selector is worked out from the whole line.
std::vector<ItmClass> scanRange(const TextModel &model, const QStringList &elementNames, qsizetype from,
                                qsizetype to)
{
    std::vector<ItmClass> found;
    const QString &text = model.text();
    const ElementTest elements(elementNames);
    const CommentMarkerPositions &markers = model.commentMarkers();
    // Both the "{" and the "}" positions only ever grow, so each gets a forward cursor.
    LineCursor braceLines(model, from);
    LineCursor closeLines(model, from);

    int selectorLine = -1; // 0-based line whose selector is in `selector`
    LineSelector selector;

    // The first "}" at or after the current "{": as the "{" moves forward it can only
    // move forward too. -2: not searched yet; -1: there is none any more.
    qsizetype close = -2;
    qsizetype closeEnds = 0;

    for (qsizetype q = text.indexOf(u'{', from); q >= 0 && q < to; q = text.indexOf(u'{', q + 1)) {
        const qsizetype p = q + 1; // 1-based position of the "{"
        // p read as a 0-based index is the character after the "{", which is on the
        // brace's own line (a "{" is never the CR or LF of a break).
        const int line = braceLines.lineOf(p);
        const qsizetype lineStart = model.lineStart(line) + 1; // 1-based
        if (BraceInComment(markers, p, lineStart))
            continue;

        if (line != selectorLine) {
            const QStringView lineText = QStringView(text).mid(lineStart - 1, model.lineLength(line));
            selector = selectorOfLine(lineText, elements);
            selectorLine = line;
        }

        // The search for "}" starts at the "{" itself, which is no "}".
        if (close != -1 && close < q) {
            close = text.indexOf(u'}', q);
            if (close >= 0) {
                const qsizetype e = close + 1; // 1-based; as a 0-based index, on the "}" line
                const qsizetype closeLineStart = model.lineStart(closeLines.lineOf(e)) + 1;
                closeEnds = BraceInComment(markers, e, closeLineStart) ? 0 : e;
            }
        }
        const qsizetype ends = close >= 0 ? closeEnds : 0;

        found.emplace_back(selector.id, selector.kind, ends, lineStart - 1);
    }
    return found;
}

} // namespace

void ScanBlocks(const TextModel &model, const QStringList &elementNames, Root &blocks)
{
    blocks.Clear();
    blocks.Splice(0, 0, scanRange(model, elementNames, 0, model.length()), 0);
}

BlockSplice BlockSplice::then(const BlockSplice &next) const
{
    // A splice that changes nothing takes nothing in, wherever it stands: a change at
    // the end of a long list stays as small as it is.
    if (removed == 0 && added == 0)
        return next;
    if (next.removed == 0 && next.added == 0)
        return *this;
    // In the list between the two, everything from the start of either change to the
    // end of both is taken as changed.
    const qsizetype start = std::min(first, next.first);
    const qsizetype end = std::max(first + added, next.first + next.removed);
    return {start, end - (added - removed) - start, end + (next.added - next.removed) - start};
}

BlockSplice UpdateBlocks(const TextModel &model, const QStringList &elementNames, Root &blocks,
                         const EditedRange &edited)
{
    if (!edited.any)
        return {};
    const QString &text = model.text();
    // From the start of the line holding the last "}" before the first edited line: the
    // blocks before it end at or before that "}", which the edits did not touch.
    const qsizetype editedLineStart = model.lineStart(model.lineOfOffset(edited.from));
    const qsizetype lastClose = editedLineStart > 0 ? text.lastIndexOf(u'}', editedLineStart - 1) : -1;
    const qsizetype from = lastClose < 0 ? 0 : model.lineStart(model.lineOfOffset(lastClose));
    // To the start of the line after the last edited one, where the text is the old one.
    const int lastLine = model.lineOfOffset(edited.to);
    const qsizetype to = lastLine + 1 < model.lineCount() ? model.lineStart(lastLine + 1) : text.size() + 1;
    const qsizetype oldTo = to - edited.delta;

    // Blocks are in order of their "{", so their Begins never decrease.
    const auto beginsBefore = [&blocks](qsizetype offset) {
        return qsizetype(std::lower_bound(blocks.begin(), blocks.end(), offset,
                                          [](const ItmClass &b, qsizetype o) { return b.Begins() < o; })
                         - blocks.begin());
    };
    const qsizetype first = beginsBefore(from);
    const qsizetype removed = beginsBefore(oldTo) - first;
    std::vector<ItmClass> rescanned = scanRange(model, elementNames, from, to);
    const BlockSplice splice{first, removed, qsizetype(rescanned.size())};
    blocks.Splice(first, removed, std::move(rescanned), edited.delta);
    return splice;
}

} // namespace sheetsmith
