#include "inspector/declarationwriter.h"

#include "blocks/root.h"
#include "text/csslexer.h"
#include "text/textmodel.h"

#include <algorithm>

namespace sheetsmith {

namespace {

const QString kCrLf = QStringLiteral("\r\n");

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t';
}

// Whether the name found at offset stands where a declaration's name stands: after
// only blanks on its line, or after blanks following "{", "}", ";" or the end of a
// comment; and before blanks and a ":".
bool isDeclarationName(const QString &text, const CssQuotedSpans &spans, qsizetype at, qsizetype nameLength)
{
    qsizetype before = at;
    while (before > 0 && isBlank(text[before - 1]))
        --before;
    bool startsDeclaration = before == 0;
    if (!startsDeclaration) {
        const QChar c = text[before - 1];
        const CssQuotedSpans::Span *span = spans.at(before - 1);
        if (span)
            startsDeclaration = span->type == CssTokenType::Comment && !span->unclosed && span->to == before;
        else
            startsDeclaration = c == u'\r' || c == u'\n' || c == u'{' || c == u'}' || c == u';';
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
qsizetype afterOpeningBrace(const QString &text, const ItmClass &block, const CssQuotedSpans &spans)
{
    const qsizetype close = std::min(block.Ends() - 1, text.size());
    qsizetype at = close - 1;
    while (at >= block.Begins()) {
        at = text.lastIndexOf(u'{', at);
        if (at < block.Begins())
            break;
        if (!spans.contains(at))
            return at + 1;
        --at;
    }
    return block.Begins();
}

// The end (exclusive) of the declaration whose name starts at `at`: just after its
// ";" on the same line; without one, before a "}" or a comment on the line, or at the
// line's end, with the blanks before that end left standing. A string or url that runs
// on over the line's end (an escaped line break) takes the search to its own line's end.
qsizetype declarationEnd(const QString &text, const TextModel &model, qsizetype at, qsizetype nameLength)
{
    const auto lineEndOf = [&](qsizetype offset) {
        const int line = model.lineOfOffset(offset);
        return model.lineStart(line) + model.lineLength(line);
    };
    const auto trimmedEnd = [&](qsizetype end) {
        while (end > at && isBlank(text[end - 1]))
            --end;
        return end;
    };
    qsizetype lineEnd = lineEndOf(at);
    // The name lies outside strings and comments, so its end is a place to start reading.
    CssLexer lexer(text, at + nameLength);
    while (lexer.position() < lineEnd) {
        const CssToken t = lexer.next();
        if (t.type == CssTokenType::Semicolon)
            return t.end();
        if (t.type == CssTokenType::CloseCurly || t.type == CssTokenType::Comment)
            return trimmedEnd(t.offset);
        if (t.end() > lineEnd && t.type != CssTokenType::Whitespace)
            lineEnd = lineEndOf(t.end() - 1);
    }
    return trimmedEnd(lineEnd);
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
    const qsizetype current = blocks.FindCurrentBlock(caret);
    const ItmClass *block = current == -1 ? nullptr : &blocks.Item(current);
    // In a block only the block is searched, so only the block is read.
    const CssQuotedSpans spans = block ? CssQuotedSpans(text, CssSafeStart(text, model.commentMarkers(), block->Begins()),
                                                        std::min(block->Ends(), text.size()))
                                       : CssQuotedSpans(text);
    const qsizetype from = block ? afterOpeningBrace(text, *block, spans) : 0;
    // A match must start before the block's "}" (the 1-based Ends is its 0-based offset
    // plus one).
    const qsizetype limit = block ? std::min(block->Ends() - 1, text.size()) : text.size();

    for (qsizetype at = text.indexOf(name, from, Qt::CaseInsensitive); at >= 0 && at < limit;
         at = text.indexOf(name, at + 1, Qt::CaseInsensitive)) {
        if (spans.contains(at) || !isDeclarationName(text, spans, at, name.size()))
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
