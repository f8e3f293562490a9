#include "check/sheetcheck.h"

#include "check/cssdefinitions.h"
#include "check/valuegrammar.h"
#include "check/valuematcher.h"
#include "text/csslexer.h"

#include <QHash>

#include <algorithm>
#include <limits>
#include <memory>

namespace sheetsmith {

namespace {

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\f';
}

constexpr qsizetype kLongestName = 30;

// The edit distance of two short names (at most kLongestName), a swap of two neighbours
// counting one.
int editDistance(QStringView a, QStringView b)
{
    const qsizetype n = a.size();
    const qsizetype m = b.size();
    int rows[3][kLongestName + 1];
    int *before2 = rows[0];
    int *before = rows[1];
    int *row = rows[2];
    for (qsizetype j = 0; j <= m; ++j)
        before[j] = int(j);
    for (qsizetype i = 1; i <= n; ++i) {
        row[0] = int(i);
        for (qsizetype j = 1; j <= m; ++j) {
            const int cost = a[i - 1] == b[j - 1] ? 0 : 1;
            row[j] = std::min({before[j] + 1, row[j - 1] + 1, before[j - 1] + cost});
            if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1])
                row[j] = std::min(row[j], before2[j - 2] + 1);
        }
        int *spare = before2;
        before2 = before;
        before = row;
        row = spare;
    }
    return before[m];
}

// Whether a name is one a browser engine gives its own features: "-webkit-box",
// "-moz-document", "-ms-filter", "-o-transition" (and the older engines' "-khtml-",
// "-apple-" and the e-book readers' "-epub-").
bool isVendorName(QStringView name)
{
    for (const char *prefix : {"-webkit-", "-moz-", "-ms-", "-o-", "-khtml-", "-apple-", "-epub-"}) {
        if (name.startsWith(QLatin1String(prefix), Qt::CaseInsensitive))
            return true;
    }
    return false;
}

// What current CSS defines, with a matcher of values over it. A matcher keeps the
// grammars it has read, so each thread that checks keeps one for the program's own
// definitions.
class CurrentCss
{
public:
    explicit CurrentCss(const CssDefinitions &definitions)
        : m_definitions(definitions), m_matcher(source(definitions))
    {
        for (const QString &name : Css1PropertyNames())
            m_names << name;
        for (const QString &name : definitions.propertyNames()) {
            if (!name.startsWith(u'-') && name.size() <= kLongestName && !IsCss1Property(name))
                m_names << name;
        }
    }

    // The one for this thread, for the program's own definitions; nullptr when they
    // could not be read.
    static CurrentCss *builtIn()
    {
        thread_local std::unique_ptr<CurrentCss> current;
        if (!current) {
            const CssDefinitions &definitions = CssDefinitions::builtIn();
            if (definitions.isEmpty())
                return nullptr;
            current = std::make_unique<CurrentCss>(definitions);
        }
        return current.get();
    }

    const CssDefinitions &definitions() const { return m_definitions; }
    ValueMatcher &matcher() { return m_matcher; }

    // The property nearest to a name that is none of them, within two edits; empty when
    // none is that near. Sheets use the same few unknown names over and over.
    QString nearestProperty(const QString &name)
    {
        if (name.size() > kLongestName)
            return QString();
        const auto it = m_nearest.constFind(name);
        if (it != m_nearest.constEnd())
            return *it;
        const QString best = nearest(name, m_names);
        if (m_nearest.size() > 10000)
            m_nearest.clear();
        m_nearest.insert(name, best);
        return best;
    }

    static QString nearest(const QString &name, const QStringList &names)
    {
        QString best;
        int bestDistance = 3;
        for (const QString &candidate : names) {
            if (std::abs(candidate.size() - name.size()) >= bestDistance)
                continue;
            const int d = editDistance(name, candidate);
            if (d < bestDistance) {
                bestDistance = d;
                best = candidate;
            }
        }
        return best;
    }

private:
    // Where the definitions' grammar is narrower than what browsers read and other
    // specifications rely on, what else is read: the paint of SVG (which the newer
    // definition leaves to <image>), and the percentages of the circle() of shapes
    // (which shares its radius with radial gradients).
    static QString widened(const QString &syntax, const char *name, bool property)
    {
        static const struct
        {
            bool property;
            const char *name;
            const char *extra;
        } wider[] = {
            {true, "fill", "<color> | <url> [ none | <color> ]? | context-fill | context-stroke"},
            {true, "stroke", "<color> | <url> [ none | <color> ]? | context-fill | context-stroke"},
            {false, "radial-size", "<length-percentage [0,\u221e]>"},
        };
        for (const auto &w : wider) {
            if (w.property == property && qstrcmp(w.name, name) == 0)
                return syntax.isEmpty() ? QString::fromUtf8(w.extra)
                                        : QStringLiteral("[ %1 ] | %2").arg(syntax, QString::fromUtf8(w.extra));
        }
        return syntax;
    }

    static SyntaxSource source(const CssDefinitions &d)
    {
        const auto syntaxOf = [](const CssDefinitions::Definition *definition) {
            return definition ? definition->syntax : QString();
        };
        SyntaxSource s;
        s.property = [&d, syntaxOf](QStringView name) {
            return widened(syntaxOf(d.property(name)), name.toLatin1().constData(), true);
        };
        s.type = [&d, syntaxOf](QStringView name) {
            return widened(syntaxOf(d.type(name)), name.toLatin1().constData(), false);
        };
        s.function = [&d, syntaxOf](QStringView name) { return syntaxOf(d.function(name)); };
        return s;
    }

    const CssDefinitions &m_definitions;
    ValueMatcher m_matcher;
    QStringList m_names; // the CSS1 properties first, so that a tie goes to them
    QHash<QString, QString> m_nearest;
};

// The nearest CSS1 property, when current CSS is not at hand.
QString nearestCss1Property(const QString &name)
{
    if (name.size() > kLongestName)
        return QString();
    thread_local QHash<QString, QString> known;
    const auto it = known.constFind(name);
    if (it != known.constEnd())
        return *it;
    const QString best = CurrentCss::nearest(name, Css1PropertyNames());
    if (known.size() > 10000)
        known.clear();
    known.insert(name, best);
    return best;
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

// Whether a block, inside which a "{" opens at `brace`, is closed before the text ends:
// then that "{" opens a rule inside the rule, as current CSS reads it. A block that is
// not closed within a long stretch has a "}" missing where a rule follows it, as CSS
// level 1 reads it. The stretch is bounded so that a missing "}" costs little to find
// however long the sheet.
constexpr qsizetype kNestingLookahead = 64 * 1024;

// The braces of a text from some "{" on, each with the depth after it, lexed once as far
// as asked; tells for any "{" after that start whether the block it stands in closes
// within a stretch. A minimum tree over the depths finds the first place the depth falls
// below the block's, so that a run of blocks never closed costs a logarithm each, not a
// stretch each.
class BraceIndex
{
public:
    explicit BraceIndex(QStringView text) : m_text(text) {}

    // Whether the block inside which a "{" opens at `brace` closes before
    // brace + kNestingLookahead; `reached` tells how far the answer depends on the text.
    bool closes(qsizetype brace, qsizetype &reached)
    {
        const qsizetype n = m_text.size();
        if (m_offsets.empty() || brace < m_offsets.front()) {
            *this = BraceIndex(m_text);
            m_lexed = brace;
        }
        const qsizetype window = brace + kNestingLookahead;
        extendTo(window);
        const auto at = std::lower_bound(m_offsets.begin(), m_offsets.end(), brace);
        if (at == m_offsets.end() || *at != brace) {
            reached = n + 1;
            return false;
        }
        const std::size_t i = std::size_t(at - m_offsets.begin());
        const int outer = m_depths[i] - 2; // the depth once the block around the "{" has closed
        const std::size_t end = std::size_t(std::lower_bound(m_offsets.begin(), m_offsets.end(), window) - m_offsets.begin());
        const std::size_t close = firstAtMost(i + 1, end, outer);
        if (close < end) {
            reached = m_offsets[close] + 1;
            return true;
        }
        // The end of the text counts as read: a sheet that grows may close the block.
        reached = m_done || window > n ? n + 1 : window;
        return false;
    }

private:
    void extendTo(qsizetype limit)
    {
        if (m_done)
            return;
        CssLexer lexer(m_text, m_lexed);
        while (!lexer.atEnd() && lexer.position() < limit) {
            const CssToken t = lexer.next();
            if (t.type == CssTokenType::OpenCurly || t.type == CssTokenType::CloseCurly) {
                m_depth += t.type == CssTokenType::OpenCurly ? 1 : -1;
                append(t.offset, m_depth);
            } else if (t.type == CssTokenType::Comment && t.unclosed) {
                m_done = true; // nothing after it is read as braces
                return;
            }
        }
        m_lexed = lexer.position();
        m_done = lexer.atEnd();
    }

    void append(qsizetype offset, int depth)
    {
        const std::size_t i = m_offsets.size();
        m_offsets.push_back(offset);
        m_depths.push_back(depth);
        if (i >= m_leaves) {
            // Twice the room, the tree built again from the depths.
            m_leaves = std::max<std::size_t>(64, m_leaves * 2);
            m_tree.assign(2 * m_leaves, std::numeric_limits<int>::max());
            for (std::size_t k = 0; k < m_depths.size(); ++k)
                m_tree[m_leaves + k] = m_depths[k];
            for (std::size_t k = m_leaves - 1; k > 0; --k)
                m_tree[k] = std::min(m_tree[2 * k], m_tree[2 * k + 1]);
            return;
        }
        std::size_t k = m_leaves + i;
        m_tree[k] = depth;
        for (k /= 2; k > 0; k /= 2)
            m_tree[k] = std::min(m_tree[2 * k], m_tree[2 * k + 1]);
    }

    // The first index in [from, to) whose depth is at most `most`, or `to`.
    std::size_t firstAtMost(std::size_t from, std::size_t to, int most) const
    {
        return from < to ? find(1, 0, m_leaves, from, to, most) : to;
    }

    std::size_t find(std::size_t node, std::size_t lo, std::size_t hi, std::size_t from, std::size_t to, int most) const
    {
        if (hi <= from || lo >= to || m_tree[node] > most)
            return to;
        if (hi - lo == 1)
            return lo;
        const std::size_t mid = (lo + hi) / 2;
        const std::size_t left = find(2 * node, lo, mid, from, to, most);
        return left < to ? left : find(2 * node + 1, mid, hi, from, to, most);
    }

    QStringView m_text;
    qsizetype m_lexed = 0;
    bool m_done = false;
    int m_depth = 0;
    std::vector<qsizetype> m_offsets;
    std::vector<int> m_depths;
    std::vector<int> m_tree;
    std::size_t m_leaves = 0;
};

// Reads one top-level statement after another and records their problems.
class Checker
{
public:
    Checker(QStringView text, std::vector<Problem> &out, CheckLevel level, CurrentCss *current)
        : m_text(text), m_out(out), m_level(level), m_current(current)
    {
    }

    // Reads the statement that starts at `at` (blanks before it included) and answers
    // where it ends, its problems put in text order (they are found in the order of
    // reading, and an error of a block's brace is found after what the block holds). A
    // statement keeps only the problems inside it: a block that ends where the next rule
    // begins has read into that rule, which finds what stands there for itself.
    qsizetype ordered(qsizetype at)
    {
        m_reach = 0;
        const std::size_t start = m_out.size();
        const qsizetype end = statement(at);
        const auto mine = m_out.begin() + qsizetype(start);
        m_out.erase(std::remove_if(mine, m_out.end(), [end](const Problem &p) { return p.offset >= end; }), m_out.end());
        std::stable_sort(mine, m_out.end(), [](const Problem &a, const Problem &b) { return a.offset < b.offset; });
        m_reach = std::max(m_reach, end);
        return end;
    }
    // How far the last statement's reading looked: past its end, where it looked ahead
    // to tell a rule inside it from a "}" missing.
    qsizetype reach() const { return m_reach; }

private:
    void add(qsizetype offset, qsizetype length, CheckMessage message, const QString &a = QString(),
             const QString &b = QString(), QString fix = QString())
    {
        const CheckRule rule = RuleOf(message);
        if (!ReportedAt(rule, m_level))
            return;
        m_out.push_back({offset, length, InfoOf(rule).kind, rule, MessageText(message, a, b), std::move(fix)});
    }

    CssToken token(qsizetype at) const { return CssLexer(m_text, at).next(); }
    QString shown(qsizetype from, qsizetype to) const { return m_text.sliced(from, to - from).toString(); }

    // A token that says something about the sheet's shape whatever it stands in: a
    // string or comment never closed. Answers false for a comment never closed, after
    // which nothing is left to read.
    bool note(const CssToken &t)
    {
        if (t.type == CssTokenType::String && t.unclosed) {
            add(t.offset, t.length, CheckMessage::UnclosedString);
            ++m_openStrings;
        } else if (t.type == CssTokenType::Comment && t.unclosed) {
            add(t.offset, 2, CheckMessage::UnclosedComment);
            return false;
        }
        return true;
    }

    qsizetype statement(qsizetype at);
    qsizetype atRule(const CssToken &keyword);
    // The rule whose selector starts at `at`: answers its end.
    qsizetype rule(qsizetype at);
    // The declarations of a block whose "{" stands at `open`: answers the offset just
    // past its "}", or where the next rule starts when the "}" is missing.
    qsizetype block(qsizetype open);
    void selector(qsizetype from, qsizetype to);
    void pseudo(const CssToken &name, qsizetype colon, bool element);

    struct Declarations
    {
        QStringList seen;
        QList<bool> plain; // for each name seen: whether its value was a plain CSS1 one
        QStringList values;
        int count = 0;
        bool customNoted = false;
    };
    void declaration(qsizetype from, qsizetype to, Declarations &state, bool judge);
    // What a value says about itself beside its property; answers whether it is a plain
    // CSS1 value.
    bool css1Value(const QString &name, QStringView value, qsizetype valueStart);
    ValueMatcher::Verdict currentVerdict(const QString &name, qsizetype from, qsizetype to)
    {
        return m_current ? m_current->matcher().matchProperty(name, m_text, from, to) : ValueMatcher::Verdict::Unknown;
    }
    bool holdsVendorName(qsizetype from, qsizetype to) const;
    void badHexColours(qsizetype from, qsizetype to);

    QStringView m_text;
    std::vector<Problem> &m_out;
    CheckLevel m_level;
    CurrentCss *m_current;
    // How many strings were found never closed: a declaration that holds one is said
    // to be broken once, its value not judged as well.
    int m_openStrings = 0;
    int m_depth = 0;
    qsizetype m_reach = 0;
    BraceIndex m_braces{m_text};
};

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
            const QString spec = m_current->definitions().specTitle(*d);
            if (spec.isEmpty())
                add(keyword.offset, keyword.length, CheckMessage::AtRuleNotCss1, written);
            else
                add(keyword.offset, keyword.length, CheckMessage::AtRuleNotCss1Defined, written, spec);
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

// A value as a message shows it: on one line, and not without end.
QString quoted(QStringView value)
{
    QString out = value.left(200).toString().simplified();
    if (out.size() > 60 || value.size() > 200)
        out = out.left(57) + QStringLiteral("...");
    return out;
}

bool Checker::holdsVendorName(qsizetype from, qsizetype to) const
{
    CssLexer lexer(m_text.first(to), from);
    while (!lexer.atEnd()) {
        const CssToken t = lexer.next();
        if ((t.type == CssTokenType::Ident || t.type == CssTokenType::Function)
            && isVendorName(m_text.sliced(t.offset, t.length)))
            return true;
    }
    return false;
}

void Checker::badHexColours(qsizetype from, qsizetype to)
{
    CssLexer lexer(m_text.first(to), from);
    while (!lexer.atEnd()) {
        const CssToken t = lexer.next();
        if (t.type != CssTokenType::Hash)
            continue;
        const QStringView digits = m_text.sliced(t.offset + 1, t.length - 1);
        const bool hex = std::all_of(digits.begin(), digits.end(), [](QChar c) {
            const char16_t l = c.unicode() | 0x20;
            return (c >= u'0' && c <= u'9') || (l >= u'a' && l <= u'f');
        });
        const qsizetype n = digits.size();
        if (!hex || !(n == 3 || n == 4 || n == 6 || n == 8))
            add(t.offset, t.length, CheckMessage::BadHexColourCurrent, shown(t.offset, t.end()));
    }
}

void Checker::declaration(qsizetype from, qsizetype to, Declarations &state, bool judge)
{
    // The declaration's tokens, blanks and comments aside: where it starts and ends,
    // its first ":", and the last three, which may be a value's "!important".
    qsizetype first = -1;
    qsizetype last = from;
    qsizetype colon = -1;
    qsizetype nameEnd = -1;
    qsizetype valueStart = -1;
    int nameTokens = 0;
    CssToken nameToken;
    bool commented = false; // a comment inside the value
    CssToken recent[3];     // the last significant tokens, the latest first
    int seen = 0;
    CssLexer lexer(m_text.first(to), from);
    while (!lexer.atEnd()) {
        const CssToken t = lexer.next();
        if (t.type == CssTokenType::Whitespace)
            continue;
        if (t.type == CssTokenType::Comment) {
            commented = commented || colon >= 0;
            continue;
        }
        if (first < 0)
            first = t.offset;
        if (colon < 0 && t.type == CssTokenType::Colon) {
            colon = t.offset;
            nameEnd = last;
        } else if (colon < 0) {
            nameToken = t;
            ++nameTokens;
        } else if (valueStart < 0) {
            valueStart = t.offset;
        }
        last = t.end();
        recent[2] = recent[1];
        recent[1] = recent[0];
        recent[0] = t;
        ++seen;
    }
    if (first < 0)
        return;
    ++state.count;
    if (colon < 0) {
        add(first, last - first, CheckMessage::NoColon);
        return;
    }
    if (nameEnd < first)
        nameEnd = first; // nothing before the ":"
    const QString written = shown(first, nameEnd);
    const bool oneName = nameTokens == 1 && nameToken.type == CssTokenType::Ident;
    const QString name = (oneName ? CssTokenValue(m_text, nameToken) : written).toLower();
    // "!important" may follow any value.
    qsizetype valueEnd = valueStart < 0 ? colon + 1 : last;
    if (valueStart < 0)
        valueStart = colon + 1;
    if (seen >= 2 && recent[0].type == CssTokenType::Ident && CssTokenIs(m_text, recent[0], "important")
        && recent[1].type == CssTokenType::Delim && m_text[recent[1].offset] == u'!') {
        valueEnd = seen >= 3 && recent[2].offset >= valueStart ? recent[2].end() : valueStart;
    }

    if (oneName && name.startsWith(u"--")) {
        // Any value, even none, is a custom property's; CSS level 1 has none of them,
        // which one note per rule says.
        if (!state.customNoted) {
            state.customNoted = true;
            add(first, nameEnd - first, CheckMessage::CustomPropertyNotCss1);
        }
        return;
    }
    if (isVendorName(name)) {
        add(first, nameEnd - first, CheckMessage::VendorProperty, written);
        return;
    }
    const bool css1 = IsCss1Property(name);
    const CssDefinitions::Definition *defined = m_current ? m_current->definitions().property(name) : nullptr;
    if (!css1 && !defined) {
        const QString near = m_current ? m_current->nearestProperty(name) : nearestCss1Property(name);
        add(first, nameEnd - first, near.isEmpty() ? CheckMessage::UnknownProperty : CheckMessage::UnknownPropertyNear,
            written, near, near);
        return;
    }
    if (valueEnd <= valueStart) {
        add(first, last - first, CheckMessage::NoValue, written);
        return;
    }
    if (!css1) {
        const QString spec = m_current->definitions().specTitle(*defined);
        add(first, nameEnd - first, spec.isEmpty() ? CheckMessage::PropertyNotCss1Unsourced : CheckMessage::PropertyNotCss1,
            written, spec);
    }

    bool plain = false;
    if (judge) {
        if (css1 && (m_level == CheckLevel::Css1 || !m_current)) {
            // The value with its comments made blanks, so that offsets stay.
            QString copy;
            QStringView value = m_text.sliced(valueStart, valueEnd - valueStart);
            if (commented) {
                copy = value.toString();
                CssLexer inside(copy);
                while (!inside.atEnd()) {
                    const CssToken t = inside.next();
                    if (t.type == CssTokenType::Comment)
                        copy.replace(t.offset, t.length, QString(t.length, u' '));
                }
                value = copy;
            }
            plain = css1Value(name, value, valueStart);
        } else {
            const ValueMatcher::Verdict verdict = currentVerdict(name, valueStart, valueEnd);
            if (verdict == ValueMatcher::Verdict::Invalid) {
                if (holdsVendorName(valueStart, valueEnd)) {
                    add(valueStart, valueEnd - valueStart, CheckMessage::VendorValue,
                        quoted(m_text.sliced(valueStart, valueEnd - valueStart)));
                } else {
                    const std::size_t before = m_out.size();
                    badHexColours(valueStart, valueEnd);
                    if (m_out.size() == before)
                        add(valueStart, valueEnd - valueStart, CheckMessage::InvalidValue,
                            quoted(m_text.sliced(valueStart, valueEnd - valueStart)), name);
                }
            }
        }
    }

    // Set twice: a mistake when the second value plainly replaces the first; not when
    // it is the same value, or one that only some browsers read, written after a
    // fallback for the others.
    const QString value = m_text.sliced(valueStart, valueEnd - valueStart).toString().simplified();
    const qsizetype earlier = state.seen.indexOf(name);
    if (earlier < 0) {
        state.seen << name;
        state.plain << plain;
        state.values << value;
        return;
    }
    if (state.values[earlier] == value || (plain && state.plain[earlier]))
        add(first, nameEnd - first, CheckMessage::SetTwice, name);
    state.plain[earlier] = plain;
    state.values[earlier] = value;
}

bool Checker::css1Value(const QString &name, QStringView value, qsizetype valueStart)
{
    const ValueJudgement judgement = JudgeCss1Value(name, value);
    if (judgement.allowed)
        return true;
    // Later CSS is judged only where CSS level 1 refuses.
    const qsizetype length = value.size();
    ValueMatcher::Verdict verdict = ValueMatcher::Verdict::Unknown;
    bool judged = false;
    const auto current = [&] {
        if (!judged) {
            verdict = currentVerdict(name, valueStart, valueStart + length);
            judged = true;
        }
        return verdict;
    };
    bool errors = false;
    for (const ValueFault &fault : judgement.faults) {
        const QStringView faulty = value.mid(fault.offset, fault.length);
        const qsizetype at = valueStart + fault.offset;
        if (fault.kind == ValueFault::BadHexColour) {
            const qsizetype digits = faulty.size() - 1;
            const bool hex = std::all_of(faulty.begin() + 1, faulty.end(), [](QChar c) {
                const char16_t l = c.unicode() | 0x20;
                return (c >= u'0' && c <= u'9') || (l >= u'a' && l <= u'f');
            });
            if (m_current && hex && (digits == 4 || digits == 8)) {
                add(at, fault.length, CheckMessage::ColourNotCss1, faulty.toString());
            } else {
                add(at, fault.length, CheckMessage::BadHexColour, faulty.toString());
                errors = true;
            }
        } else if (m_current && current() == ValueMatcher::Verdict::Valid) {
            add(at, fault.length, CheckMessage::ColourNotCss1, quoted(faulty));
        } else {
            add(at, fault.length, CheckMessage::BadRgb);
            errors = true;
        }
    }
    if (errors || !m_current) {
        if (!errors)
            add(valueStart, length, CheckMessage::Css1Disallows, quoted(value), name);
        return false;
    }
    switch (current()) {
    case ValueMatcher::Verdict::Valid:
        if (judgement.faults.isEmpty()) {
            // A lone colour of later CSS says so as a colour.
            const bool colourProperty = JudgeCss1Value(name, u"red").allowed;
            const QString shownValue = quoted(value);
            const bool cssWide = QStringList{QStringLiteral("initial"), QStringLiteral("inherit"), QStringLiteral("unset"),
                                             QStringLiteral("revert"), QStringLiteral("revert-layer")}
                                     .contains(shownValue.toLower());
            const bool lone = !cssWide
                              && (!shownValue.contains(u' ') || shownValue.startsWith(u"rgb", Qt::CaseInsensitive)
                                  || shownValue.startsWith(u"hsl", Qt::CaseInsensitive));
            add(valueStart, length, colourProperty && lone ? CheckMessage::ColourNotCss1 : CheckMessage::ValueNotCss1,
                shownValue, name);
        }
        break;
    case ValueMatcher::Verdict::Invalid:
        if (holdsVendorName(valueStart, valueStart + length))
            add(valueStart, length, CheckMessage::VendorValue, quoted(value));
        else
            add(valueStart, length, CheckMessage::Css1Disallows, quoted(value), name);
        break;
    case ValueMatcher::Verdict::Unknown:
        add(valueStart, length, CheckMessage::ValueNotCss1Unchecked, quoted(value), name);
        break;
    }
    return false;
}

} // namespace

namespace {

// The current CSS a check judges against: the program's own, kept by each thread, or
// other definitions for the length of one check.
struct CurrentFor
{
    explicit CurrentFor(const CssDefinitions *definitions)
    {
        if (!definitions || definitions == &CssDefinitions::builtIn()) {
            use = CurrentCss::builtIn();
        } else if (!definitions->isEmpty()) {
            own = std::make_unique<CurrentCss>(*definitions);
            use = own.get();
        }
    }

    std::unique_ptr<CurrentCss> own;
    CurrentCss *use = nullptr;
};

std::vector<Problem> checkWhole(QStringView text, CheckLevel level, const CssDefinitions *definitions)
{
    std::vector<Problem> problems;
    CurrentFor current(definitions);
    Checker checker(text, problems, level, current.use);
    for (qsizetype at = 0; at < text.size();)
        at = checker.ordered(at);
    return problems;
}

} // namespace

std::vector<Problem> CheckSheet(QStringView text, CheckLevel level)
{
    return checkWhole(text, level, nullptr);
}

std::vector<Problem> CheckSheet(QStringView text, CheckLevel level, const CssDefinitions &definitions)
{
    return checkWhole(text, level, &definitions);
}

QString CheckDataProblem()
{
    const CssDefinitions &definitions = CssDefinitions::builtIn();
    if (!definitions.isEmpty())
        return QString();
    return QStringLiteral("The definitions of current CSS could not be read (%1): sheets are checked against CSS "
                          "level 1 alone")
        .arg(definitions.error());
}

SheetCheck::SheetCheck(CheckLevel level) : m_level(level), m_definitions(nullptr) {}

SheetCheck::SheetCheck(CheckLevel level, const CssDefinitions &definitions)
    : m_level(level), m_definitions(&definitions)
{
}

void SheetCheck::clear()
{
    m_ends.clear();
    m_reaches.clear();
    m_problems.clear();
}

SheetCheck::Splice SheetCheck::checkAll(QStringView text, const std::atomic_bool *stop)
{
    const std::size_t before = m_problems.size();
    clear();
    CurrentFor current(m_definitions);
    Checker checker(text, m_problems, m_level, current.use);
    for (qsizetype at = 0; at < text.size() && !(stop && *stop);) {
        at = checker.ordered(at);
        m_ends.push_back(at);
        m_reaches.push_back(checker.reach());
    }
    return {0, text.size(), 0, before, m_problems.size()};
}

SheetCheck::Splice SheetCheck::recheck(QStringView text, const EditedRange &edited)
{
    if (!edited.any)
        return {};
    if (m_ends.empty())
        return checkAll(text);
    // The statement before the first that holds a changed character: where a statement
    // ends may depend on what follows it (a "}" or the next rule's "{").
    const auto firstIt = std::upper_bound(m_ends.begin(), m_ends.end(), edited.from);
    std::size_t first = firstIt == m_ends.begin() ? 0 : std::size_t(firstIt - m_ends.begin()) - 1;
    // And any earlier one whose reading looked ahead past where the edits begin. Such
    // statements are few (blocks with a "}" missing), but may stand anywhere before.
    for (std::size_t i = 0; i < first; ++i) {
        if (m_reaches[i] > edited.from) {
            first = i;
            break;
        }
    }
    const qsizetype begin = first == 0 ? 0 : m_ends[first - 1];

    std::vector<qsizetype> ends;
    std::vector<qsizetype> reaches;
    std::vector<Problem> found;
    CurrentFor current(m_definitions);
    Checker checker(text, found, m_level, current.use);
    qsizetype at = begin;
    std::size_t last = m_ends.size(); // the old statement the new ones end with; size: none
    while (at < text.size()) {
        at = checker.ordered(at);
        ends.push_back(at);
        reaches.push_back(checker.reach());
        if (at >= edited.to) {
            const qsizetype old = at - edited.delta;
            const auto same = std::lower_bound(m_ends.begin() + qsizetype(first), m_ends.end(), old);
            if (same != m_ends.end() && *same == old && at < text.size()) {
                last = std::size_t(same - m_ends.begin());
                break;
            }
        }
    }
    const qsizetype oldEnd = last < m_ends.size() ? m_ends[last] : std::numeric_limits<qsizetype>::max();

    // The problems of the statements checked again give way to the new ones; those after
    // them move with the text.
    const auto from = std::lower_bound(m_problems.begin(), m_problems.end(), begin,
                                       [](const Problem &p, qsizetype offset) { return p.offset < offset; });
    const auto to = std::lower_bound(from, m_problems.end(), oldEnd,
                                     [](const Problem &p, qsizetype offset) { return p.offset < offset; });
    for (auto it = to; it != m_problems.end(); ++it)
        it->offset += edited.delta;
    const Splice splice{begin, at, std::size_t(from - m_problems.begin()), std::size_t(to - from), found.size()};
    const auto inserted = m_problems.erase(from, to);
    m_problems.insert(inserted, std::make_move_iterator(found.begin()), std::make_move_iterator(found.end()));

    const std::size_t tail = last < m_ends.size() ? last + 1 : m_ends.size();
    for (std::size_t i = tail; i < m_ends.size(); ++i) {
        m_ends[i] += edited.delta;
        m_reaches[i] += edited.delta;
    }
    m_ends.erase(m_ends.begin() + qsizetype(first), m_ends.begin() + qsizetype(tail));
    m_ends.insert(m_ends.begin() + qsizetype(first), ends.begin(), ends.end());
    m_reaches.erase(m_reaches.begin() + qsizetype(first), m_reaches.begin() + qsizetype(tail));
    m_reaches.insert(m_reaches.begin() + qsizetype(first), reaches.begin(), reaches.end());
    if (text.isEmpty()) {
        m_ends.clear();
        m_reaches.clear();
    }
    return splice;
}

QString ProblemSummary(const std::vector<Problem> &problems)
{
    int counts[3] = {0, 0, 0};
    for (const Problem &p : problems)
        ++counts[int(p.kind)];
    QStringList parts;
    const char *names[3][2] = {{"error", "errors"}, {"warning", "warnings"}, {"note", "notes"}};
    for (int k = 0; k < 3; ++k) {
        if (counts[k] > 0)
            parts << QStringLiteral("%1 %2").arg(counts[k]).arg(QLatin1String(names[k][counts[k] == 1 ? 0 : 1]));
    }
    return parts.isEmpty() ? QStringLiteral("No problems") : parts.join(QStringLiteral(", "));
}

} // namespace sheetsmith
