#include "text/selectorrules.h"

#include "text/csslexer.h"

#include <algorithm>

namespace sheetsmith {

namespace {

bool opens(CssTokenType type)
{
    return type == CssTokenType::Function || type == CssTokenType::OpenParen || type == CssTokenType::OpenSquare;
}

bool closes(CssTokenType type)
{
    return type == CssTokenType::CloseParen || type == CssTokenType::CloseSquare;
}

// The index of the token that closes the one at `open` ("(", "[" or a function),
// nesting heeded; the number of tokens when none does.
size_t closingToken(const std::vector<CssToken> &tokens, size_t open)
{
    int depth = 0;
    for (size_t i = open; i < tokens.size(); ++i) {
        if (opens(tokens[i].type))
            ++depth;
        else if (closes(tokens[i].type) && --depth == 0)
            return i;
    }
    return tokens.size();
}

// The index just past that token.
size_t pastClosingToken(const std::vector<CssToken> &tokens, size_t open)
{
    return std::min(closingToken(tokens, open) + 1, tokens.size());
}

bool isDelim(QStringView s, const CssToken &token, QChar c)
{
    return token.type == CssTokenType::Delim && s[token.offset] == c;
}

// The states that picking an element puts it in: the pointer is over it, pressed on it,
// and the press may focus it.
bool isPickState(QStringView s, const CssToken &name)
{
    for (const char *state : {"hover", "active", "focus", "focus-visible", "focus-within"}) {
        if (CssTokenIs(s, name, state))
            return true;
    }
    return false;
}

Specificity mostSpecificMember(QStringView group)
{
    Specificity best;
    for (const QString &member : SplitSelectorGroup(group))
        best = std::max(best, SelectorSpecificity(member));
    return best;
}

} // namespace

Specificity SelectorSpecificity(QStringView s)
{
    Specificity out;
    const std::vector<CssToken> tokens = CssTokens(s);
    const auto typeAt = [&](size_t i) { return i < tokens.size() ? tokens[i].type : CssTokenType::Whitespace; };
    size_t i = 0;
    while (i < tokens.size()) {
        const CssToken &t = tokens[i];
        if (t.type == CssTokenType::Hash) {
            ++out.ids;
            ++i;
        } else if (isDelim(s, t, u'.')) {
            ++out.classes;
            i += typeAt(i + 1) == CssTokenType::Ident ? 2 : 1;
        } else if (t.type == CssTokenType::OpenSquare) {
            ++out.classes;
            i = pastClosingToken(tokens, i);
        } else if (t.type == CssTokenType::Colon) {
            const bool element = typeAt(i + 1) == CssTokenType::Colon;
            i += element ? 2 : 1;
            QString name;
            QStringView argument;
            if (typeAt(i) == CssTokenType::Ident) {
                name = CssTokenValue(s, tokens[i]).toLower();
                ++i;
            } else if (typeAt(i) == CssTokenType::Function) {
                name = CssTokenValue(s, tokens[i]).toLower();
                const size_t close = closingToken(tokens, i);
                const qsizetype from = tokens[i].end();
                const qsizetype to = close < tokens.size() ? tokens[close].offset : s.size();
                argument = s.sliced(from, to - from);
                i = std::min(close + 1, tokens.size());
            }
            if (element || name == u"first-line" || name == u"first-letter" || name == u"before"
                || name == u"after") {
                ++out.elements;
            } else if (name == u"not" || name == u"is" || name == u"matches" || name == u"has"
                       || name == u"-webkit-any") {
                const Specificity inner = mostSpecificMember(argument);
                out.ids += inner.ids;
                out.classes += inner.classes;
                out.elements += inner.elements;
            } else if (name != u"where") {
                ++out.classes;
            }
        } else if (t.type == CssTokenType::Ident) {
            // A name followed by "|" is a namespace, not an element.
            if (!(i + 1 < tokens.size() && isDelim(s, tokens[i + 1], u'|')))
                ++out.elements;
            ++i;
        } else if (opens(t.type)) {
            i = pastClosingToken(tokens, i);
        } else {
            ++i; // "*", combinators, blanks, comments, strings
        }
    }
    return out;
}

QStringList SplitSelectorGroup(QStringView group)
{
    QStringList out;
    int depth = 0;
    qsizetype start = 0;
    const auto take = [&](qsizetype end) {
        const QString member = group.mid(start, end - start).trimmed().toString();
        if (!member.isEmpty())
            out << member;
    };
    CssLexer lexer(group);
    while (!lexer.atEnd()) {
        const CssToken t = lexer.next();
        if (opens(t.type)) {
            ++depth;
        } else if (closes(t.type) && depth > 0) {
            --depth;
        } else if (t.type == CssTokenType::Comma && depth == 0) {
            take(t.offset);
            start = t.end();
        }
    }
    take(group.size());
    return out;
}

QString SelectorAtRest(QStringView s)
{
    const std::vector<CssToken> tokens = CssTokens(s);
    QString out;
    qsizetype copied = 0;
    int attribute = 0;
    for (size_t i = 0; i < tokens.size(); ++i) {
        const CssToken &t = tokens[i];
        if (t.type == CssTokenType::OpenSquare) {
            ++attribute;
        } else if (t.type == CssTokenType::CloseSquare && attribute > 0) {
            --attribute;
        } else if (t.type == CssTokenType::Colon && attribute == 0 && i + 1 < tokens.size()
                   && tokens[i + 1].type == CssTokenType::Ident && !(i > 0 && tokens[i - 1].type == CssTokenType::Colon)
                   && isPickState(s, tokens[i + 1])) {
            out += s.sliced(copied, t.offset - copied);
            out += QStringLiteral(":not(*)");
            copied = tokens[i + 1].end();
            ++i;
        }
    }
    if (copied == 0)
        return s.toString();
    out += s.sliced(copied);
    return out;
}

PickCandidates PickCandidatesFor(const QStringList &ruleSelectors)
{
    PickCandidates out;
    for (int rule = 0; rule < ruleSelectors.size(); ++rule) {
        for (const QString &member : SplitSelectorGroup(ruleSelectors[rule])) {
            out.selectors << SelectorAtRest(member);
            out.members << member;
            out.ruleOf.push_back(rule);
        }
    }
    return out;
}

PickOutcome WinningRule(const PickCandidates &candidates, const QList<int> &matched)
{
    PickOutcome out;
    Specificity best;
    int lastRule = -1;
    std::vector<int> rules;
    for (const int index : matched) {
        if (index < 0 || index >= candidates.members.size() || size_t(index) >= candidates.ruleOf.size())
            continue;
        const int rule = candidates.ruleOf[size_t(index)];
        rules.push_back(rule);
        // As written: "a:not(:hover)" counts its ":hover", not the ":not(*)" the page judged.
        const Specificity specificity = SelectorSpecificity(candidates.members[index]);
        // Later rules win ties: so does a later rule with an equal specificity.
        if (out.rule < 0 || specificity > best || (specificity == best && rule > lastRule)) {
            best = specificity;
            out.rule = rule;
            lastRule = rule;
        }
    }
    std::sort(rules.begin(), rules.end());
    out.matchedRules = int(std::unique(rules.begin(), rules.end()) - rules.begin());
    return out;
}

} // namespace sheetsmith
