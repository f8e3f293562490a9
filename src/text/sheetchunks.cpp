#include "text/sheetchunks.h"

#include <algorithm>
#include <vector>

namespace sheetsmith {

namespace {

bool isSpace(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\f';
}

// Whether the next thing after `at`, past blanks and comments, is an at-rule.
bool atRuleFollows(const QString &text, qsizetype at)
{
    const qsizetype n = text.size();
    while (at < n) {
        if (isSpace(text[at])) {
            ++at;
        } else if (text[at] == u'/' && at + 1 < n && text[at + 1] == u'*') {
            const qsizetype end = text.indexOf(QLatin1String("*/"), at + 2);
            if (end < 0)
                return false;
            at = end + 2;
        } else {
            return text[at] == u'@';
        }
    }
    return false;
}

// Cuts text from `from`, which is 0 or a cut, to its end. A cut at one of `stops`
// (sorted) ends the work there: what follows it is known already. Answers the pieces
// and where the work ended.
std::pair<QStringList, qsizetype> splitFrom(const QString &text, qsizetype from, qsizetype target,
                                            const std::vector<qsizetype> &stops)
{
    QStringList chunks;
    const qsizetype n = text.size();
    qsizetype start = from;
    int depth = 0;
    qsizetype i = from;
    while (i < n) {
        const QChar c = text[i];
        if (c == u'/' && i + 1 < n && text[i + 1] == u'*') {
            const qsizetype end = text.indexOf(QLatin1String("*/"), i + 2);
            if (end < 0)
                break; // an open comment runs to the end: no cut after it
            i = end + 2;
            continue;
        }
        if (c == u'"' || c == u'\'') {
            // A string ends at its quote or at the end of its line, as the engine reads it.
            ++i;
            while (i < n && text[i] != c && text[i] != u'\n') {
                if (text[i] == u'\\')
                    ++i;
                ++i;
            }
            ++i;
            continue;
        }
        if (c == u'\\') {
            i += 2;
            continue;
        }
        if ((c == u'u' || c == u'U') && QStringView(text).mid(i, 4).compare(QLatin1String("url("), Qt::CaseInsensitive) == 0) {
            const qsizetype end = text.indexOf(u')', i + 4);
            if (end < 0)
                break;
            i = end + 1;
            continue;
        }
        if (c == u'{') {
            ++depth;
        } else if (c == u'}' && depth > 0) {
            // A "}" with no block open is part of the next rule's selector: no cut there.
            --depth;
            if (depth == 0 && i + 1 - start >= target && i + 1 < n && !atRuleFollows(text, i + 1)) {
                chunks << text.mid(start, i + 1 - start);
                start = i + 1;
                if (std::binary_search(stops.begin(), stops.end(), start))
                    return {chunks, start};
            }
        }
        ++i;
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
