#include "text/completion.h"

#include "text/csslexer.h"

#include <algorithm>
#include <vector>

namespace sheetsmith {

namespace {

bool isWordChar(QChar c)
{
    return c.isLetter() || c == u'-';
}

bool isWord(QStringView s)
{
    return std::all_of(s.begin(), s.end(), isWordChar);
}

// How far before the caret the text may be read. Past it nothing is offered: a caret
// that far into one line (a minified sheet) has no place near it to start reading.
constexpr qsizetype kReach = 256 * 1024;

// The tokens from a safe start up to the caret. An answer may need tokens before the
// first of them: Unknown, and the reading starts further back.
enum class Answer { No, Yes, Unknown };

struct Reading
{
    QStringView text;
    std::vector<CssToken> tokens;
    bool fromStart = false; // the tokens start at the start of the text

    // What the start of the tokens, reached while looking back, tells.
    Answer atStart() const { return fromStart ? Answer::No : Answer::Unknown; }
};

bool significant(const CssToken &t)
{
    return t.type != CssTokenType::Whitespace && t.type != CssTokenType::Comment;
}

bool isStructure(const CssToken &t)
{
    return t.type == CssTokenType::OpenCurly || t.type == CssTokenType::CloseCurly
           || t.type == CssTokenType::Semicolon;
}

// The index of the last token before i that is not a blank or a comment, or -1.
qsizetype previousSignificant(const Reading &r, qsizetype i)
{
    for (--i; i >= 0 && !significant(r.tokens[size_t(i)]); --i) {
    }
    return i;
}

// Whether the "{" at index brace opens a block of declarations: its statement is a
// rule's selector or @font-face or @page, not another at-rule (@media holds rules).
Answer opensDeclarations(const Reading &r, qsizetype brace)
{
    qsizetype i = brace - 1;
    while (i >= 0 && !isStructure(r.tokens[size_t(i)]))
        --i;
    if (i < 0 && !r.fromStart)
        return Answer::Unknown;
    qsizetype first = i + 1;
    while (first < brace && !significant(r.tokens[size_t(first)]))
        ++first;
    if (first == brace)
        return Answer::No; // a "{" with no selector
    const CssToken &t = r.tokens[size_t(first)];
    if (t.type == CssTokenType::AtKeyword)
        return CssTokenIs(r.text, t, "font-face") || CssTokenIs(r.text, t, "page") ? Answer::Yes : Answer::No;
    if (t.type == CssTokenType::Delim && r.text[t.offset] == u'@')
        return Answer::No;
    return Answer::Yes;
}

// Whether a declaration may begin after the token at index at: a "{" opening
// declarations or a ";" inside such a block.
Answer declarationStartsAfter(const Reading &r, qsizetype at)
{
    if (at < 0)
        return r.atStart();
    const CssTokenType type = r.tokens[size_t(at)].type;
    if (type == CssTokenType::OpenCurly)
        return opensDeclarations(r, at);
    if (type != CssTokenType::Semicolon)
        return Answer::No;
    for (qsizetype i = at - 1; i >= 0; --i) {
        const CssTokenType t = r.tokens[size_t(i)].type;
        if (t == CssTokenType::CloseCurly)
            return Answer::No; // a statement at the top level, such as @import
        if (t == CssTokenType::OpenCurly)
            return opensDeclarations(r, i);
    }
    return r.atStart();
}

Answer contextOf(Reading &r, qsizetype caret, CompletionContext &found)
{
    std::vector<CssToken> &tokens = r.tokens;
    if (!tokens.empty()) {
        CssToken &last = tokens.back();
        // In a comment, a string or a url, or in the middle of a name or a number.
        if (last.end() > caret && last.type != CssTokenType::Whitespace)
            return Answer::No;
        if (last.end() == caret && last.unclosed)
            return Answer::No;
        last.length = caret - last.offset; // blanks after the caret do not count
    }
    qsizetype word = qsizetype(tokens.size()); // the index of the word's token
    found.wordStart = caret;
    if (!tokens.empty() && tokens.back().type == CssTokenType::Ident) {
        const CssToken &t = tokens.back();
        const QStringView typed = r.text.sliced(t.offset, t.length);
        if (!isWord(typed))
            return Answer::No;
        --word;
        found.wordStart = t.offset;
        found.word = typed.toString();
    }

    // A property name: the word begins a declaration.
    if (!found.word.isEmpty()) {
        const Answer a = declarationStartsAfter(r, previousSignificant(r, word));
        if (a == Answer::Yes)
            found.kind = CompletionContext::Property;
        if (a != Answer::No)
            return a;
    }

    // A keyword: the word follows "name:" at the start of a declaration, with only
    // blanks between the colon and the word.
    qsizetype i = word - 1;
    if (i >= 0 && tokens[size_t(i)].type == CssTokenType::Whitespace) {
        const CssToken &blank = tokens[size_t(i)];
        const QStringView blanks = r.text.sliced(blank.offset, blank.length);
        if (!std::all_of(blanks.begin(), blanks.end(), [](QChar c) { return c == u' ' || c == u'\t'; }))
            return Answer::No;
        --i;
    }
    if (i < 0)
        return r.atStart();
    if (tokens[size_t(i)].type != CssTokenType::Colon)
        return Answer::No;
    const qsizetype name = previousSignificant(r, i);
    if (name < 0)
        return r.atStart();
    const CssToken &n = tokens[size_t(name)];
    const QStringView property = r.text.sliced(n.offset, n.length);
    if (n.type != CssTokenType::Ident || !isWord(property))
        return Answer::No;
    const Answer a = declarationStartsAfter(r, previousSignificant(r, name));
    if (a == Answer::Yes) {
        found.kind = CompletionContext::Value;
        found.property = property.toString().toLower();
    }
    return a;
}

} // namespace

CompletionContext CompletionContextAt(QStringView text, const CommentMarkerPositions &markers, qsizetype caret)
{
    if (caret < 0 || caret > text.size())
        return {};
    // In the middle of a word nothing is offered.
    if (caret < text.size() && (isWordChar(text[caret]) || text[caret].isDigit()))
        return {};
    // Read from the caret's line first; when the answer lies further back, from twice
    // as far each time.
    qsizetype before = caret;
    for (;;) {
        const qsizetype start = CssSafeStart(text, markers, before, caret - kReach);
        if (start < 0)
            return {};
        Reading r{text, {}, start == 0};
        CssLexer lexer(text, start);
        while (lexer.position() < caret)
            r.tokens.push_back(lexer.next());
        CompletionContext found;
        const Answer a = contextOf(r, caret, found);
        if (a != Answer::Unknown)
            return a == Answer::Yes ? found : CompletionContext{};
        before = std::max<qsizetype>(0, start - 1 - (caret - start));
    }
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
