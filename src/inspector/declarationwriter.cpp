#include "inspector/declarationwriter.h"

#include "blocks/root.h"
#include "text/textmodel.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace sheetsmith {

namespace {

const QString kCrLf = QStringLiteral("\r\n");

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t';
}

// The comments of a text as half-open ranges [from, to) in ascending order, found the
// way a style sheet reads them: a comment runs from "/*" to the next "*/" after it,
// and an unclosed one to the end of the text.
class CommentRanges
{
public:
    explicit CommentRanges(const QString &text)
    {
        qsizetype i = text.indexOf(QLatin1String("/*"));
        while (i >= 0) {
            const qsizetype close = text.indexOf(QLatin1String("*/"), i + 2);
            if (close < 0) {
                m_ranges.emplace_back(i, text.size());
                break;
            }
            m_ranges.emplace_back(i, close + 2);
            i = text.indexOf(QLatin1String("/*"), close + 2);
        }
    }

    bool contains(qsizetype offset) const
    {
        // The last comment starting at or before offset is the only one that can hold it.
        auto after = std::upper_bound(m_ranges.begin(), m_ranges.end(), offset,
                                      [](qsizetype o, const std::pair<qsizetype, qsizetype> &r) { return o < r.first; });
        return after != m_ranges.begin() && offset < std::prev(after)->second;
    }

private:
    std::vector<std::pair<qsizetype, qsizetype>> m_ranges;
};

// Whether the name found at offset stands where a declaration's name stands: after
// only blanks on its line, or after blanks following "{", "}", ";" or the end of a
// comment; and before blanks and a ":".
bool isDeclarationName(const QString &text, qsizetype at, qsizetype nameLength)
{
    qsizetype before = at;
    while (before > 0 && isBlank(text[before - 1]))
        --before;
    bool startsDeclaration = before == 0;
    if (!startsDeclaration) {
        const QChar c = text[before - 1];
        startsDeclaration = c == u'\r' || c == u'\n' || c == u'{' || c == u'}' || c == u';'
                            || (c == u'/' && before >= 2 && text[before - 2] == u'*');
    }
    if (!startsDeclaration)
        return false;
    qsizetype after = at + nameLength;
    while (after < text.size() && isBlank(text[after]))
        ++after;
    return after < text.size() && text[after] == u':';
}

bool inClosedBlock(const Root &blocks, qsizetype offset)
{
    for (const ItmClass &block : blocks) {
        if (block.Ends() > 0 && block.Begins() <= offset && offset < block.Ends())
            return true;
    }
    return false;
}

// The offset just after the block's own "{": the last live "{" before its "}" and not
// before its selector line. Two rules on one line share that line's start as Begins,
// so the line start alone would take in the first rule as well.
qsizetype afterOpeningBrace(const QString &text, const ItmClass &block, const CommentRanges &comments)
{
    const qsizetype close = std::min(block.Ends() - 1, text.size());
    qsizetype at = close - 1;
    while (at >= block.Begins()) {
        at = text.lastIndexOf(u'{', at);
        if (at < block.Begins())
            break;
        if (!comments.contains(at))
            return at + 1;
        --at;
    }
    return block.Begins();
}

// The end (exclusive) of the declaration whose name starts at `at`: just after its
// ";" on the same line; without one, before a "}" or a comment on the line, or at the
// line's end, with the blanks before that end left standing. Quoted text is passed
// over; a quote left open at the line's end (an apostrophe in an unquoted url(), say)
// is taken for a plain character instead, so that it cannot carry the span over a "}".
qsizetype declarationEnd(const QString &text, const TextModel &model, qsizetype at, qsizetype nameLength)
{
    const int line = model.lineOfOffset(at);
    const qsizetype lineEnd = model.lineStart(line) + model.lineLength(line);
    const auto trimmedEnd = [&](qsizetype end) {
        while (end > at && isBlank(text[end - 1]))
            --end;
        return end;
    };
    const auto scan = [&](bool honourQuotes) -> std::optional<qsizetype> {
        QChar quote;
        for (qsizetype k = at + nameLength; k < lineEnd; ++k) {
            const QChar c = text[k];
            if (!quote.isNull()) {
                if (c == u'\\')
                    ++k;
                else if (c == quote)
                    quote = QChar();
                continue;
            }
            if (honourQuotes && (c == u'"' || c == u'\'')) {
                quote = c;
            } else if (c == u';') {
                return k + 1;
            } else if (c == u'}' || (c == u'/' && k + 1 < lineEnd && text[k + 1] == u'*')) {
                return trimmedEnd(k);
            }
        }
        if (!quote.isNull())
            return std::nullopt;
        return trimmedEnd(lineEnd);
    };
    if (const std::optional<qsizetype> end = scan(true))
        return *end;
    return *scan(false);
}

QString oneLineValue(const QString &value)
{
    QString v = value;
    v.replace(kCrLf, QStringLiteral(" "));
    v.replace(u'\r', u' ');
    v.replace(u'\n', u' ');
    return v.trimmed();
}

} // namespace

std::optional<DeclarationEdit> PlanDeclaration(const TextModel &model, const Root &blocks, qsizetype caret,
                                               const QString &name, const QString &value)
{
    const QString v = oneLineValue(value);
    if (v.isEmpty() || name.isEmpty())
        return std::nullopt;
    const QString declaration = name + QStringLiteral(": ") + v + u';';
    const QString &text = model.text();
    const CommentRanges comments(text);

    const qsizetype current = blocks.FindCurrentBlock(caret);
    const ItmClass *block = current == -1 ? nullptr : &blocks.Item(current);
    const qsizetype from = block ? afterOpeningBrace(text, *block, comments) : 0;
    // A match must start before the block's "}" (the 1-based Ends is its 0-based offset
    // plus one).
    const qsizetype limit = block ? std::min(block->Ends() - 1, text.size()) : text.size();

    for (qsizetype at = text.indexOf(name, from, Qt::CaseInsensitive); at >= 0 && at < limit;
         at = text.indexOf(name, at + 1, Qt::CaseInsensitive)) {
        if (comments.contains(at) || !isDeclarationName(text, at, name.size()))
            continue;
        if (!block && inClosedBlock(blocks, at))
            continue;
        return DeclarationEdit{at, declarationEnd(text, model, at, name.size()) - at, declaration};
    }

    const int line = model.lineOfOffset(caret);
    const qsizetype lineStart = model.lineStart(line);
    const qsizetype lineEnd = lineStart + model.lineLength(line);
    if (block && block->Ends() >= 1 && block->Ends() - 1 < text.size()
        && model.lineOfOffset(block->Ends() - 1) == line) {
        // Adding after this line would put the declaration behind the block's "}".
        qsizetype at = block->Ends() - 1;
        while (at > lineStart && isBlank(text[at - 1]))
            --at;
        if (at == lineStart)
            return DeclarationEdit{lineStart, 0, declaration + kCrLf};
        const QChar previous = text[at - 1];
        const bool closed = previous == u';' || previous == u'{';
        return DeclarationEdit{at, 0, (closed ? QStringLiteral(" ") : QStringLiteral("; ")) + declaration};
    }
    if (lineEnd == lineStart)
        return DeclarationEdit{lineStart, 0, declaration};
    return DeclarationEdit{lineEnd, 0, kCrLf + declaration};
}

} // namespace sheetsmith
