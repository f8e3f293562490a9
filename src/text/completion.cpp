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

// The index of the first significant token after index at (a structure token, or -1
// for the start of the reading), or the end when there is none.
qsizetype nextSignificant(const Reading &r, qsizetype at, qsizetype end)
{
    for (++at; at < end && !significant(r.tokens[size_t(at)]); ++at) {
    }
    return at;
}

// The index of the first significant token of the statement whose "{" is at index
// brace (brace itself when the statement is empty), or -1 when the statement begins
// before the reading.
qsizetype statementHead(const Reading &r, qsizetype brace)
{
    qsizetype i = brace - 1;
    while (i >= 0 && !isStructure(r.tokens[size_t(i)]))
        --i;
    if (i < 0 && !r.fromStart)
        return -1;
    return nextSignificant(r, i, brace);
}

// Whether the "{" at index brace opens a block of declarations: its statement is a
// rule's selector or @font-face or @page, not another at-rule (@media holds rules).
Answer opensDeclarations(const Reading &r, qsizetype brace)
{
    const qsizetype first = statementHead(r, brace);
    if (first < 0)
        return Answer::Unknown;
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

// Whether the "{" at index brace opens a block of rules: its statement is an at-rule
// whose block holds rules (@media, @supports, ...), not declarations or keyframes.
Answer opensRules(const Reading &r, qsizetype brace)
{
    const qsizetype first = statementHead(r, brace);
    if (first < 0)
        return Answer::Unknown;
    const CssToken &t = r.tokens[size_t(first)];
    if (first == brace || t.type != CssTokenType::AtKeyword)
        return Answer::No;
    for (const char *name : {"media", "supports", "document", "-moz-document", "layer", "container", "scope",
                             "starting-style"}) {
        if (CssTokenIs(r.text, t, name))
            return Answer::Yes;
    }
    return Answer::No;
}

// Whether a selector may begin after the structure token at index at (or -1, the
// start of the reading): at a level of the sheet that holds rules.
Answer selectorStartsAfter(const Reading &r, qsizetype at)
{
    if (at < 0)
        return r.fromStart ? Answer::Yes : Answer::Unknown;
    const CssTokenType type = r.tokens[size_t(at)].type;
    if (type == CssTokenType::CloseCurly)
        return Answer::Yes;
    if (type == CssTokenType::OpenCurly)
        return opensRules(r, at);
    // A ";" ends a statement only when the statement is an at-rule's (@import,
    // @charset); the level it stands at is the level of the structure before it.
    qsizetype before = at - 1;
    while (before >= 0 && !isStructure(r.tokens[size_t(before)]))
        --before;
    if (before < 0 && !r.fromStart)
        return Answer::Unknown;
    const qsizetype first = nextSignificant(r, before, at);
    if (first == at || r.tokens[size_t(first)].type != CssTokenType::AtKeyword)
        return Answer::No;
    return selectorStartsAfter(r, before);
}

bool isSelectorFunction(const Reading &r, const CssToken &t)
{
    return t.type == CssTokenType::Function
           && (CssTokenIs(r.text, t, "not") || CssTokenIs(r.text, t, "is") || CssTokenIs(r.text, t, "where")
               || CssTokenIs(r.text, t, "has"));
}

bool isNameChar(QChar c)
{
    return c.isLetterOrNumber() || c == u'-' || c == u'_' || c.unicode() >= 0x80;
}

bool isElementName(QStringView s)
{
    return !s.isEmpty() && s.front().isLetter()
           && std::all_of(s.begin(), s.end(), [](QChar c) { return c.isLetterOrNumber() || c == u'-'; });
}

bool isDelim(const Reading &r, const CssToken &t, QChar c)
{
    return t.type == CssTokenType::Delim && r.text[t.offset] == c;
}

// A class, an id or an element name being typed in a selector. The tokens end at the
// caret. Answer::No leaves the caret to the declaration rules.
Answer selectorContextOf(const Reading &r, qsizetype caret, CompletionContext &found)
{
    const std::vector<CssToken> &tokens = r.tokens;
    if (tokens.empty())
        return Answer::No;
    const qsizetype lastIndex = qsizetype(tokens.size()) - 1;
    const CssToken &last = tokens.back();
    if (last.end() != caret || last.escaped)
        return Answer::No;
    CompletionContext c;
    qsizetype compound = lastIndex; // the first token of what is being typed
    if (isDelim(r, last, u'.') || isDelim(r, last, u'#')) {
        c.kind = r.text[last.offset] == u'.' ? CompletionContext::Class : CompletionContext::Id;
        c.wordStart = caret;
    } else if (last.type == CssTokenType::Hash) {
        const QStringView name = r.text.sliced(last.offset + 1, last.length - 1);
        if (!last.idLike || !std::all_of(name.begin(), name.end(), isNameChar))
            return Answer::No;
        c.kind = CompletionContext::Id;
        c.wordStart = last.offset + 1;
        c.word = name.toString();
    } else if (last.type == CssTokenType::Ident) {
        const QStringView name = r.text.sliced(last.offset, last.length);
        if (lastIndex > 0 && isDelim(r, tokens[size_t(lastIndex - 1)], u'.')) {
            if (!std::all_of(name.begin(), name.end(), isNameChar))
                return Answer::No;
            c.kind = CompletionContext::Class;
            compound = lastIndex - 1;
        } else {
            if (!isElementName(name))
                return Answer::No;
            // An element name begins a compound selector: what comes before it is a
            // combinator, a "," or a selector's start.
            qsizetype i = lastIndex - 1;
            while (i >= 0 && tokens[size_t(i)].type == CssTokenType::Comment)
                --i;
            if (i >= 0) {
                const CssToken &t = tokens[size_t(i)];
                const bool starts = t.type == CssTokenType::Whitespace || t.type == CssTokenType::Comma
                                    || isStructure(t) || isDelim(r, t, u'>') || isDelim(r, t, u'+')
                                    || isDelim(r, t, u'~') || isSelectorFunction(r, t);
                if (!starts)
                    return Answer::No;
            }
            c.kind = CompletionContext::Element;
        }
        c.wordStart = last.offset;
        c.word = name.toString();
    } else {
        return Answer::No;
    }

    // Back to the statement's start: not inside brackets or a function other than the
    // selector functions, and not in an at-rule's prelude.
    int depth = 0;
    qsizetype i = compound - 1;
    for (; i >= 0; --i) {
        const CssToken &t = tokens[size_t(i)];
        if (isStructure(t))
            break;
        if (t.type == CssTokenType::CloseParen || t.type == CssTokenType::CloseSquare) {
            ++depth;
        } else if (t.type == CssTokenType::OpenParen || t.type == CssTokenType::OpenSquare
                   || t.type == CssTokenType::Function) {
            if (depth > 0)
                --depth;
            else if (!isSelectorFunction(r, t))
                return Answer::No;
        }
    }
    const qsizetype first = nextSignificant(r, i, compound);
    if (first < compound && tokens[size_t(first)].type == CssTokenType::AtKeyword)
        return Answer::No;
    if (first < compound && isDelim(r, tokens[size_t(first)], u'@'))
        return Answer::No;
    const Answer a = selectorStartsAfter(r, i);
    if (a == Answer::Yes)
        found = c;
    return a;
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
    const Answer selector = selectorContextOf(r, caret, found);
    if (selector != Answer::No)
        return selector;
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
        const qsizetype start = CssSafeStart(text, markers, before, caret - kReach, kCssViewUrlReach);
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
