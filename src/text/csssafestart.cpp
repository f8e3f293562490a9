// Where a reading of the text may safely start, and the quoted spans of a text: the
// questions readers ask before they tokenize part of a sheet.

#include "text/csslexer.h"

#include "text/csschars.h"

#include <algorithm>

namespace sheetsmith {

using namespace csschars;

namespace {

// Whether the offset is outside every comment, as far as the markers can tell: the
// last "/*" lying wholly before it has its "*/" before it too. A "/*" that lies in a
// string opens no comment, but a real opener before offset would be at or before that
// last one, so the "*/" found closes the real comment as well.
bool outsideComments(const CommentMarkerPositions &markers, qsizetype offset)
{
    const qsizetype open = LastMarkerAtOrBefore(markers.opens, offset - 2);
    if (open < 0)
        return true;
    const qsizetype close = FirstMarkerAtOrAfter(markers.closes, open + 2);
    return close >= 0 && close + 2 <= offset;
}

// Whether the line break just before lineStart may belong to an escape: a backslash
// before it continues a string over it, and one with hex digits takes it as the
// escape's blank.
bool breakMayBeEscaped(QStringView text, qsizetype lineStart)
{
    qsizetype i = lineStart - 1;
    if (i > 0 && text[i - 1] == u'\r')
        --i;
    for (int digits = 0; digits < 6 && i > 0 && isHexDigit(text[i - 1]); ++digits)
        --i;
    return i > 0 && text[i - 1] == u'\\';
}

// Reading back from offset to `from`: where a url(...) starts that may run on over
// offset, that is a "(" after the name url (or after a name with an escape, which may
// spell it) before any ")" that no backslash stands before. -1 when there is none, -2
// when `from` is reached first and is not the start of the text.
qsizetype openUrlBefore(QStringView text, qsizetype offset, qsizetype from)
{
    for (qsizetype i = offset - 1; i >= from; --i) {
        const QChar c = text[i];
        if (c == u')' && !(i > 0 && text[i - 1] == u'\\'))
            return -1;
        if (c != u'(')
            continue;
        qsizetype name = i;
        bool escaped = false;
        while (name > 0 && i - name < 32 && (isNameChar(text[name - 1]) || text[name - 1] == u'\\')) {
            escaped = escaped || text[name - 1] == u'\\';
            --name;
        }
        if (escaped || text.sliced(name, i - name).compare(u"url", Qt::CaseInsensitive) == 0)
            return name;
    }
    return from == 0 ? -1 : -2;
}

} // namespace

qsizetype CssSafeStart(QStringView text, const CommentMarkerPositions &markers, qsizetype before, qsizetype limit,
                       qsizetype urlReach)
{
    const qsizetype from = std::max<qsizetype>(limit, 0);
    qsizetype at = std::clamp<qsizetype>(before, 0, text.size());
    while (at > 0) {
        if (at < from)
            return -1;
        const qsizetype lineBreak = text.sliced(from, at - from).lastIndexOf(u'\n');
        if (lineBreak < 0)
            return from == 0 ? 0 : -1;
        const qsizetype lineStart = from + lineBreak + 1;
        if (!outsideComments(markers, lineStart)) {
            at = LastMarkerAtOrBefore(markers.opens, lineStart - 2);
        } else if (breakMayBeEscaped(text, lineStart)) {
            at = lineStart - 1;
        } else {
            const qsizetype urlFrom = urlReach < 0 ? from : std::max(from, lineStart - urlReach);
            const qsizetype url = openUrlBefore(text, lineStart, urlFrom);
            if (url == -1 || (url == -2 && urlFrom > from))
                return lineStart;
            if (url == -2)
                return -1;
            at = url;
        }
    }
    return at < from ? -1 : 0;
}

CssQuotedSpans::CssQuotedSpans(QStringView text) : CssQuotedSpans(text, 0, text.size())
{
}

CssQuotedSpans::CssQuotedSpans(QStringView text, qsizetype from, qsizetype to)
{
    CssLexer lexer(text, std::max<qsizetype>(from, 0));
    while (!lexer.atEnd() && lexer.position() < to) {
        const CssToken t = lexer.next();
        switch (t.type) {
        case CssTokenType::Comment:
        case CssTokenType::String:
        case CssTokenType::Url:
        case CssTokenType::BadUrl:
            m_spans.push_back({t.offset, t.end(), t.type, t.unclosed});
            break;
        default:
            break;
        }
    }
}

const CssQuotedSpans::Span *CssQuotedSpans::at(qsizetype offset) const
{
    const auto after = std::upper_bound(m_spans.begin(), m_spans.end(), offset,
                                        [](qsizetype o, const Span &s) { return o < s.from; });
    if (after == m_spans.begin())
        return nullptr;
    const Span &s = *(after - 1);
    return offset < s.to ? &s : nullptr;
}

bool CssQuotedSpans::inComment(qsizetype offset) const
{
    const Span *s = at(offset);
    return s && s->type == CssTokenType::Comment;
}

} // namespace sheetsmith
