#include "check/checker.h"

#include "check/cssdefinitions.h"

#include <limits>

namespace sheetsmith::checking {

namespace {

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\f';
}

// At-rules whose block holds rules (or keyframes, read as rules), not declarations.
bool holdsRules(QStringView name)
{
    for (const char *n : {"media", "supports", "document", "-moz-document", "container", "layer", "scope",
                          "starting-style", "keyframes", "-webkit-keyframes", "-moz-keyframes", "-o-keyframes"}) {
        if (name.compare(QLatin1String(n), Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

// Nesting deeper than this is read as braces missing, not as rules inside rules.
constexpr int kDeepestNesting = 64;

} // namespace

bool isVendorName(QStringView name)
{
    for (const char *prefix : {"-webkit-", "-moz-", "-ms-", "-o-", "-khtml-", "-apple-", "-epub-"}) {
        if (name.startsWith(QLatin1String(prefix), Qt::CaseInsensitive))
            return true;
    }
    return false;
}

qsizetype Checker::statement(qsizetype at)
{
    const qsizetype n = m_text.size();
    while (at < n && isBlank(m_text[at]))
        ++at;
    if (at >= n)
        return n;
    const CssToken t = token(at);
    switch (t.type) {
    case CssTokenType::Comment:
        return note(t) ? t.end() : n;
    // The markers that hide a style element's text from old browsers stand for nothing.
    case CssTokenType::CDO:
    case CssTokenType::CDC:
        return t.end();
    case CssTokenType::CloseCurly:
        add(at, 1, CheckMessage::StrayBrace);
        return at + 1;
    case CssTokenType::AtKeyword:
        return atRule(t);
    default:
        return rule(at);
    }
}

qsizetype Checker::atRule(const CssToken &keyword)
{
    const qsizetype n = m_text.size();
    const QString name = CssTokenValue(m_text, keyword).toLower();
    const QString written = shown(keyword.offset, keyword.end());
    if (name != QLatin1String("import")) {
        if (!m_current) {
            add(keyword.offset, keyword.length, CheckMessage::AtRuleNotCss1, written);
        } else if (isVendorName(name)) {
            add(keyword.offset, keyword.length, CheckMessage::VendorAtRule, written);
        } else if (const CssDefinitions::Definition *d = m_current->definitions().atRule(name)) {
            const QString standard = m_current->definitions().standardTitle(*d);
            if (standard.isEmpty())
                add(keyword.offset, keyword.length, CheckMessage::AtRuleNotCss1, written);
            else
                add(keyword.offset, keyword.length, CheckMessage::AtRuleNotCss1Defined, written, standard);
        } else {
            add(keyword.offset, keyword.length, CheckMessage::UnknownAtRule, written);
        }
    }
    // Up to its ";" or its block.
    qsizetype i = keyword.end();
    qsizetype open = -1;
    while (i < n && open < 0) {
        const CssToken t = token(i);
        if (!note(t))
            return n;
        switch (t.type) {
        case CssTokenType::Semicolon:
            return t.end();
        case CssTokenType::CloseCurly:
            return t.offset; // the "}" of an enclosing block, or a stray one said by itself
        case CssTokenType::OpenCurly:
            open = t.offset;
            break;
        default:
            break;
        }
        i = t.end();
    }
    if (open < 0)
        return n;
    // A block of rules (@media and the like) is read rule by rule; any other block is
    // passed over as a unit, its braces kept in balance.
    if (holdsRules(name) && m_depth < kDeepestNesting) {
        ++m_depth;
        qsizetype j = open + 1;
        while (true) {
            while (j < n && isBlank(m_text[j]))
                ++j;
            if (j >= n) {
                add(open, 1, CheckMessage::UnclosedBlock);
                --m_depth;
                return n;
            }
            if (m_text[j] == u'}') {
                --m_depth;
                return j + 1;
            }
            j = statement(j);
        }
    }
    int depth = 0;
    for (i = open; i < n;) {
        const CssToken t = token(i);
        if (!note(t))
            return n;
        i = t.end();
        if (t.type == CssTokenType::OpenCurly)
            ++depth;
        else if (t.type == CssTokenType::CloseCurly && --depth == 0)
            return i;
    }
    add(open, 1, CheckMessage::UnclosedBlock);
    return n;
}

qsizetype Checker::rule(qsizetype at)
{
    const qsizetype n = m_text.size();
    qsizetype i = at;
    qsizetype selectorEnd = at; // past its last token other than blanks
    while (i < n) {
        const CssToken t = token(i);
        if (!note(t)) {
            i = n;
            break;
        }
        if (t.type == CssTokenType::OpenCurly)
            break;
        if (t.type == CssTokenType::CloseCurly) {
            // A selector that meets a "}" first: the "}" closes nothing.
            add(at, i - at, CheckMessage::SelectorWithoutBlock);
            return i;
        }
        if (t.type != CssTokenType::Whitespace)
            selectorEnd = t.end();
        i = t.end();
    }
    if (i >= n) {
        add(at, selectorEnd - at, CheckMessage::SelectorWithoutBlock);
        return n;
    }
    if (selectorEnd == at)
        add(i, 1, CheckMessage::BlockWithoutSelector);
    else
        selector(at, selectorEnd);
    return block(i);
}

void Checker::pseudo(const CssToken &nameToken, qsizetype colon, bool element)
{
    const qsizetype end = nameToken.type == CssTokenType::Function ? nameToken.end() - 1 : nameToken.end();
    const QString written = shown(colon, end);
    const QString name = CssTokenValue(m_text, nameToken).toLower();
    if (!element) {
        static const QStringList css1{QStringLiteral("link"), QStringLiteral("visited"), QStringLiteral("active"),
                                      QStringLiteral("first-line"), QStringLiteral("first-letter")};
        if (css1.contains(name))
            return;
    }
    if (!m_current) {
        add(colon, end - colon, CheckMessage::SelectorNotCss1, written);
        return;
    }
    if (isVendorName(name)) {
        add(colon, end - colon, CheckMessage::VendorSelector, written);
        return;
    }
    const CssDefinitions &d = m_current->definitions();
    if (element ? d.pseudoElement(name) != nullptr : d.pseudoClass(name) != nullptr)
        add(colon, end - colon, CheckMessage::SelectorNotCss1, written);
    else
        add(colon, end - colon, element ? CheckMessage::UnknownPseudoElement : CheckMessage::UnknownPseudoClass, written);
}

void Checker::selector(qsizetype from, qsizetype to)
{
    const QStringView text = m_text.first(to);
    CssLexer lexer(text, from);
    int parens = 0; // inside :not(...), :nth-child(...): their arguments are no combinators
    while (!lexer.atEnd()) {
        const CssToken t = lexer.next();
        if (t.type == CssTokenType::Function || t.type == CssTokenType::OpenParen) {
            ++parens;
        } else if (t.type == CssTokenType::CloseParen) {
            parens = std::max(0, parens - 1);
        } else if (t.type == CssTokenType::Delim && parens == 0) {
            const QChar c = m_text[t.offset];
            if (c == u'>' || c == u'+' || c == u'~' || c == u'*')
                add(t.offset, 1, CheckMessage::SelectorNotCss1, QString(c));
        } else if (t.type == CssTokenType::OpenSquare) {
            // An attribute selector, as a whole.
            qsizetype end = to;
            while (!lexer.atEnd()) {
                const CssToken inner = lexer.next();
                if (inner.type == CssTokenType::CloseSquare) {
                    end = inner.end();
                    break;
                }
            }
            add(t.offset, end - t.offset, CheckMessage::SelectorNotCss1, shown(t.offset, end));
        } else if (t.type == CssTokenType::Colon) {
            const qsizetype at = lexer.position();
            CssToken name = lexer.next();
            bool element = false;
            if (name.type == CssTokenType::Colon) {
                element = true;
                name = lexer.next();
            }
            if (name.type == CssTokenType::Ident || name.type == CssTokenType::Function) {
                pseudo(name, t.offset, element);
                if (name.type == CssTokenType::Function)
                    ++parens;
            } else {
                // A colon with no name after it; for CSS1 a syntax of its own.
                const qsizetype end = element ? at + 1 : at;
                add(t.offset, end - t.offset, CheckMessage::SelectorNotCss1, shown(t.offset, end));
                lexer = CssLexer(text, name.offset);
            }
        }
    }
}

qsizetype Checker::block(qsizetype open)
{
    const qsizetype n = m_text.size();
    Declarations state;
    qsizetype start = open + 1;
    qsizetype i = start;
    int parens = 0;
    int openStrings = m_openStrings;
    int closes = -1; // whether this block is closed, once a "{" inside it asks: 0 or 1
    std::vector<std::pair<qsizetype, qsizetype>> nested; // the selectors of rules inside it
    // Each declaration is judged unless it holds a string never closed.
    const auto judged = [&](qsizetype to) {
        declaration(start, to, state, openStrings == m_openStrings);
        openStrings = m_openStrings;
    };
    // Past blanks and comments.
    const auto skipBlanks = [this, n](qsizetype at) {
        while (at < n) {
            const CssToken t = token(at);
            if (t.type != CssTokenType::Whitespace && t.type != CssTokenType::Comment)
                break;
            at = t.end();
        }
        return at;
    };
    while (i < n) {
        const CssToken t = token(i);
        if (!note(t))
            return n; // said once: for the comment, not for the block as well
        i = t.end();
        switch (t.type) {
        case CssTokenType::Function:
        case CssTokenType::OpenParen:
            ++parens;
            break;
        case CssTokenType::CloseParen:
            parens = std::max(0, parens - 1);
            break;
        case CssTokenType::Semicolon:
            if (parens == 0) {
                judged(t.offset);
                start = t.end();
            }
            break;
        case CssTokenType::CloseCurly:
            judged(t.offset);
            if (state.count == 0 && nested.empty())
                add(open, 1, CheckMessage::EmptyRule);
            for (const auto &[from, to] : nested)
                add(from, to - from, CheckMessage::NestedRuleNotCss1);
            return t.end();
        case CssTokenType::OpenCurly: {
            if (closes < 0) {
                qsizetype reached = t.offset;
                closes = m_depth < kDeepestNesting && m_braces.closes(t.offset, reached) ? 1 : 0;
                m_reach = std::max(m_reach, reached);
            }
            const qsizetype from = skipBlanks(start);
            if (!closes) {
                // The "}" before the next rule is missing. That rule starts after the
                // last ";" (or the "{" of this block) and the blanks and comments after
                // it, which stay with this block: so what made this block end here lies
                // in the next statement alone, and a recheck that starts one statement
                // before an edit reads it again.
                add(open, 1, CheckMessage::UnclosedBlock);
                return from;
            }
            // A rule inside the rule: its selector, then its block.
            qsizetype selectorEnd = from;
            for (qsizetype k = from; k < t.offset;) {
                const CssToken s = token(k);
                if (s.type != CssTokenType::Whitespace)
                    selectorEnd = std::min(s.end(), t.offset);
                k = s.end();
            }
            if (selectorEnd == from) {
                add(t.offset, 1, CheckMessage::BlockWithoutSelector);
            } else {
                selector(from, selectorEnd);
                nested.emplace_back(from, selectorEnd);
            }
            ++m_depth;
            i = block(t.offset);
            --m_depth;
            start = i;
            parens = 0;
            openStrings = m_openStrings;
            break;
        }
        default:
            break;
        }
    }
    judged(n);
    add(open, 1, CheckMessage::UnclosedBlock);
    return n;
}

} // namespace sheetsmith::checking
