#include "text/completion.h"

#include <algorithm>

namespace sheetsmith {

namespace {

bool isWordChar(QChar c)
{
    return c.isLetter() || c == u'-';
}

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n';
}

// Whether a 0-based offset lies inside a comment: the last "/*" wholly before it has
// no "*/" after it that also lies wholly before the offset. Comments do not nest, so
// that "/*" is the comment's own opener or lies inside it.
bool inComment(const CommentMarkerPositions &markers, qsizetype offset)
{
    const qsizetype open = LastMarkerAtOrBefore(markers.opens, offset - 2);
    if (open < 0)
        return false;
    const qsizetype close = FirstMarkerAtOrAfter(markers.closes, open + 2);
    return close < 0 || close + 2 > offset;
}

// Steps back from offset (exclusive) over blanks and whole comments; returns the
// offset just after the first other character (0 at the start of the text), or -1
// when a comment cannot be stepped over with certainty.
qsizetype skipBack(QStringView text, const CommentMarkerPositions &markers, qsizetype offset)
{
    while (offset > 0) {
        if (isBlank(text[offset - 1])) {
            --offset;
            continue;
        }
        if (offset >= 2 && text[offset - 2] == u'*' && text[offset - 1] == u'/') {
            const qsizetype open = LastMarkerAtOrBefore(markers.opens, offset - 4);
            // The opener must be the one this "*/" closes: no other "*/" between them,
            // and the opener itself not inside an earlier comment.
            if (open < 0 || FirstMarkerAtOrAfter(markers.closes, open + 2) != offset - 2 || inComment(markers, open))
                return -1;
            offset = open;
            continue;
        }
        return offset;
    }
    return 0;
}

// Steps forward from offset over blanks and whole comments.
qsizetype skipForward(QStringView text, const CommentMarkerPositions &markers, qsizetype offset, qsizetype end)
{
    while (offset < end) {
        if (isBlank(text[offset])) {
            ++offset;
        } else if (offset + 1 < end && text[offset] == u'/' && text[offset + 1] == u'*') {
            const qsizetype close = FirstMarkerAtOrAfter(markers.closes, offset + 2);
            if (close < 0)
                return end;
            offset = close + 2;
        } else {
            break;
        }
    }
    return offset;
}

// The structural character ("{", "}" or ";", not in a comment) nearest before offset,
// as its offset; -1 when there is none.
qsizetype structureBefore(QStringView text, const CommentMarkerPositions &markers, qsizetype offset)
{
    for (qsizetype i = offset - 1; i >= 0; --i) {
        const QChar c = text[i];
        if ((c == u'{' || c == u'}' || c == u';') && !inComment(markers, i))
            return i;
    }
    return -1;
}

// Whether the "{" at offset opens a block of declarations: its statement is a rule's
// selector or @font-face or @page, not another at-rule (@media holds rules).
bool opensDeclarations(QStringView text, const CommentMarkerPositions &markers, qsizetype brace)
{
    const qsizetype start = skipForward(text, markers, structureBefore(text, markers, brace) + 1, brace);
    if (start >= brace)
        return false; // a "{" with no selector
    if (text[start] != u'@')
        return true;
    const QStringView rule = text.mid(start, brace - start);
    return rule.startsWith(u"@font-face", Qt::CaseInsensitive) || rule.startsWith(u"@page", Qt::CaseInsensitive);
}

// Whether a declaration may begin just after offset `after` (the offset just past a
// character): that character is a "{" opening declarations or a ";" inside such a
// block.
bool declarationStartsAfter(QStringView text, const CommentMarkerPositions &markers, qsizetype after)
{
    if (after <= 0)
        return false;
    const qsizetype at = after - 1;
    if (text[at] == u'{')
        return opensDeclarations(text, markers, at);
    if (text[at] != u';')
        return false;
    qsizetype i = at;
    for (;;) {
        i = structureBefore(text, markers, i);
        if (i < 0 || text[i] == u'}')
            return false; // a statement at the top level, such as @import
        if (text[i] == u'{')
            return opensDeclarations(text, markers, i);
    }
}

} // namespace

CompletionContext CompletionContextAt(QStringView text, const CommentMarkerPositions &markers, qsizetype caret)
{
    CompletionContext none;
    if (caret < 0 || caret > text.size() || inComment(markers, caret))
        return none;
    // In the middle of a word nothing is offered.
    if (caret < text.size() && (isWordChar(text[caret]) || text[caret].isDigit()))
        return none;
    qsizetype wordStart = caret;
    while (wordStart > 0 && isWordChar(text[wordStart - 1]))
        --wordStart;
    if (wordStart > 0 && (text[wordStart - 1].isDigit() || text[wordStart - 1] == u'#' || text[wordStart - 1] == u'.'
                          || text[wordStart - 1] == u'_' || text[wordStart - 1] == u'\\'))
        return none;

    CompletionContext found;
    found.wordStart = wordStart;
    found.word = text.mid(wordStart, caret - wordStart).toString();

    // A property name: the word begins a declaration.
    const qsizetype before = skipBack(text, markers, wordStart);
    if (before < 0)
        return none;
    if (!found.word.isEmpty() && declarationStartsAfter(text, markers, before)) {
        found.kind = CompletionContext::Property;
        return found;
    }

    // A keyword: the word follows "name:" at the start of a declaration, with only
    // blanks between the colon and the word.
    qsizetype colon = wordStart;
    while (colon > 0 && (text[colon - 1] == u' ' || text[colon - 1] == u'\t'))
        --colon;
    if (colon == 0 || text[colon - 1] != u':')
        return none;
    const qsizetype nameEnd = skipBack(text, markers, colon - 1);
    if (nameEnd <= 0)
        return none;
    qsizetype nameStart = nameEnd;
    while (nameStart > 0 && isWordChar(text[nameStart - 1]))
        --nameStart;
    if (nameStart == nameEnd)
        return none;
    const qsizetype declarationStart = skipBack(text, markers, nameStart);
    if (declarationStart < 0 || !declarationStartsAfter(text, markers, declarationStart))
        return none;
    found.kind = CompletionContext::Value;
    found.property = text.mid(nameStart, nameEnd - nameStart).toString().toLower();
    return found;
}

QStringList PropertyCandidates(const QStringList &names, QStringView prefix)
{
    QStringList out;
    for (const QString &name : names) {
        if (name.startsWith(prefix, Qt::CaseInsensitive))
            out << name;
    }
    std::stable_sort(out.begin(), out.end(), [](const QString &a, const QString &b) {
        return a.size() != b.size() ? a.size() < b.size() : a < b;
    });
    return out;
}

QStringList KeywordCandidates(const QString &valueList, QStringView prefix)
{
    QStringList out;
    if (!valueList.contains(u'|'))
        return out;
    for (const QString &entry : valueList.split(u'|', Qt::SkipEmptyParts)) {
        const QString keyword = entry.trimmed();
        if (keyword.isEmpty() || keyword.startsWith(u'<'))
            continue;
        if (keyword.startsWith(prefix, Qt::CaseInsensitive) && !out.contains(keyword))
            out << keyword;
    }
    return out;
}

} // namespace sheetsmith
