#include "text/sheetchunks.h"

#include "text/csslexer.h"

#include <algorithm>
#include <vector>

namespace sheetsmith {

namespace {

// Whether the next token after the lexer's position, past blanks and comments, is an
// at-rule (a "@" alone included: better no cut than a wrong one).
bool atRuleFollows(CssLexer lexer)
{
    while (!lexer.atEnd()) {
        const CssToken t = lexer.next();
        if (t.type == CssTokenType::Whitespace || t.type == CssTokenType::Comment)
            continue;
        return t.type == CssTokenType::AtKeyword
               || (t.type == CssTokenType::Delim && lexer.text()[t.offset] == u'@');
    }
    return false;
}

// Cuts text from `from`, which is 0 or a cut, to its end. A cut at one of `stops`
// (sorted) ends the work there: what follows it is known already. Answers the pieces
// and where the work ended. A cut lies outside comments, strings and urls, so the
// tokens read from one are those of the whole text.
std::pair<QStringList, qsizetype> splitFrom(const QString &text, qsizetype from, qsizetype target,
                                            const std::vector<qsizetype> &stops)
{
    QStringList chunks;
    const qsizetype n = text.size();
    qsizetype start = from;
    int depth = 0;
    CssLexer lexer(text, from);
    while (!lexer.atEnd()) {
        const CssToken t = lexer.next();
        if (t.type == CssTokenType::OpenCurly) {
            ++depth;
        } else if (t.type == CssTokenType::CloseCurly && depth > 0) {
            // A "}" with no block open is part of the next rule's selector: no cut there.
            --depth;
            const qsizetype cut = t.end();
            if (depth == 0 && cut - start >= target && cut < n && !atRuleFollows(lexer)) {
                chunks << text.mid(start, cut - start);
                start = cut;
                if (std::binary_search(stops.begin(), stops.end(), start))
                    return {chunks, start};
            }
        }
    }
    chunks << text.mid(start);
    return {chunks, n};
}

} // namespace

QStringList SplitSheetChunks(const QString &text, qsizetype target)
{
    return splitFrom(text, 0, target, {}).first;
}

QStringList ResplitSheetChunks(const QStringList &before, const QString &text, qsizetype target)
{
    // The leading pieces the text still starts with. The cut after the last of them
    // looks past itself for an at-rule, into what may have changed, so the work
    // starts one piece before the first that differs.
    qsizetype at = 0;
    qsizetype same = 0;
    while (same + 1 < before.size() && QStringView(text).mid(at).startsWith(before[same])) {
        at += before[same].size();
        ++same;
    }
    const qsizetype keep = qMax<qsizetype>(0, same - 1);
    const qsizetype from = keep == 0 ? 0 : at - before[same - 1].size();

    // The trailing pieces the text still ends with: a cut at the start of one of them
    // leaves the rest as it was.
    std::vector<qsizetype> stops;
    qsizetype end = text.size();
    for (qsizetype i = before.size() - 1; i > keep; --i) {
        if (end - before[i].size() <= from || !QStringView(text).left(end).endsWith(before[i]))
            break;
        end -= before[i].size();
        stops.push_back(end);
    }
    std::reverse(stops.begin(), stops.end());

    const std::pair<QStringList, qsizetype> middle = splitFrom(text, from, target, stops);
    const qsizetype stoppedAt = middle.second;
    QStringList chunks = before.mid(0, keep);
    chunks += middle.first;
    if (stoppedAt < text.size()) {
        const qsizetype tail = std::count_if(stops.begin(), stops.end(), [&](qsizetype s) { return s >= stoppedAt; });
        chunks += before.mid(before.size() - tail);
    }
    return chunks;
}

ChunkSplice DiffChunks(const QStringList &before, const QStringList &after)
{
    qsizetype head = 0;
    const qsizetype shorter = qMin(before.size(), after.size());
    while (head < shorter && before[head] == after[head])
        ++head;
    qsizetype tail = 0;
    while (tail < shorter - head && before[before.size() - 1 - tail] == after[after.size() - 1 - tail])
        ++tail;
    ChunkSplice splice;
    splice.from = head;
    splice.removed = before.size() - head - tail;
    splice.inserted = after.mid(head, after.size() - head - tail);
    return splice;
}

} // namespace sheetsmith
