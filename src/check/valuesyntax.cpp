#include "check/valuesyntax.h"

#include <cmath>

namespace sheetsmith {

namespace {

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\f';
}

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

bool isWordChar(QChar c)
{
    return c.isLetterOrNumber() || c == u'-' || c == u'_';
}

// Nesting deeper than this is no real grammar: refused rather than read.
constexpr int kDeepest = 64;

class Reader
{
public:
    explicit Reader(QStringView text) : m_s(text) {}

    ValueSyntax run()
    {
        const int root = alternatives(0);
        skipBlanks();
        if (root >= 0 && m_at < m_s.size() && m_error.isEmpty())
            fail(QStringLiteral("unexpected '%1'").arg(m_s[m_at]));
        ValueSyntax out;
        if (!m_error.isEmpty()) {
            out.error = QStringLiteral("%1 at %2").arg(m_error).arg(m_at);
            return out;
        }
        out.nodes = std::move(m_nodes);
        out.root = root;
        return out;
    }

private:
    void fail(const QString &why)
    {
        if (m_error.isEmpty())
            m_error = why;
    }

    void skipBlanks()
    {
        while (m_at < m_s.size() && isBlank(m_s[m_at]))
            ++m_at;
    }

    bool lookingAt(QStringView s)
    {
        skipBlanks();
        return m_s.sliced(m_at).startsWith(s);
    }

    int add(SyntaxNode node)
    {
        m_nodes.push_back(std::move(node));
        return int(m_nodes.size()) - 1;
    }

    int group(SyntaxNode::Kind kind, std::vector<int> children)
    {
        if (children.size() == 1)
            return children.front();
        SyntaxNode node;
        node.kind = kind;
        node.children = std::move(children);
        return add(std::move(node));
    }

    // a | b | c
    int alternatives(int depth)
    {
        std::vector<int> children{anyOf(depth)};
        while (m_error.isEmpty() && lookingAt(u"|") && !lookingAt(u"||")) {
            ++m_at;
            children.push_back(anyOf(depth));
        }
        return m_error.isEmpty() ? group(SyntaxNode::Kind::OneOf, std::move(children)) : -1;
    }

    // a || b || c
    int anyOf(int depth)
    {
        std::vector<int> children{allOf(depth)};
        while (m_error.isEmpty() && lookingAt(u"||")) {
            m_at += 2;
            children.push_back(allOf(depth));
        }
        return m_error.isEmpty() ? group(SyntaxNode::Kind::AnyOf, std::move(children)) : -1;
    }

    // a && b && c
    int allOf(int depth)
    {
        std::vector<int> children{sequence(depth)};
        while (m_error.isEmpty() && lookingAt(u"&&")) {
            m_at += 2;
            children.push_back(sequence(depth));
        }
        return m_error.isEmpty() ? group(SyntaxNode::Kind::AllOf, std::move(children)) : -1;
    }

    // Whether a component can start here (and not an operator or a closer).
    bool atComponent()
    {
        skipBlanks();
        if (m_at >= m_s.size())
            return false;
        const QChar c = m_s[m_at];
        if (c == u']' || c == u')' || c == u'|' || lookingAt(u"&&"))
            return false;
        return true;
    }

    int sequence(int depth)
    {
        std::vector<int> children;
        while (m_error.isEmpty() && atComponent()) {
            const int c = multiplied(depth);
            if (c < 0)
                break;
            children.push_back(c);
        }
        if (children.empty()) {
            fail(QStringLiteral("a component is missing"));
            return -1;
        }
        return m_error.isEmpty() ? group(SyntaxNode::Kind::Sequence, std::move(children)) : -1;
    }

    // An integer at m_at, or -1.
    int integer()
    {
        skipBlanks();
        const qsizetype start = m_at;
        while (m_at < m_s.size() && isDigit(m_s[m_at]))
            ++m_at;
        if (m_at == start || m_at - start > 6)
            return -1;
        return m_s.sliced(start, m_at - start).toInt();
    }

    // "{A}", "{A,}" or "{A,B}" after the "{": least and most.
    bool counts(int &least, int &most)
    {
        least = integer();
        if (least < 0)
            return false;
        most = least;
        skipBlanks();
        if (m_at < m_s.size() && m_s[m_at] == u',') {
            ++m_at;
            skipBlanks();
            most = m_at < m_s.size() && m_s[m_at] == u'}' ? SyntaxNode::Unbounded : integer();
            if (most < least)
                return false;
        }
        skipBlanks();
        if (m_at >= m_s.size() || m_s[m_at] != u'}')
            return false;
        ++m_at;
        return true;
    }

    int repeat(int child, int least, int most, bool commas)
    {
        SyntaxNode node;
        node.kind = SyntaxNode::Kind::Repeat;
        node.children = {child};
        node.least = least;
        node.most = most;
        node.commas = commas;
        return add(std::move(node));
    }

    int multiplied(int depth)
    {
        int node = component(depth);
        while (node >= 0 && m_error.isEmpty() && m_at < m_s.size()) {
            // A multiplier follows its component with no blank between.
            const QChar c = m_s[m_at];
            if (c == u'*') {
                ++m_at;
                node = repeat(node, 0, SyntaxNode::Unbounded, false);
            } else if (c == u'+') {
                ++m_at;
                node = repeat(node, 1, SyntaxNode::Unbounded, false);
            } else if (c == u'?') {
                ++m_at;
                node = repeat(node, 0, 1, false);
            } else if (c == u'#') {
                ++m_at;
                int least = 1, most = SyntaxNode::Unbounded;
                if (m_at < m_s.size() && m_s[m_at] == u'{') {
                    ++m_at;
                    if (!counts(least, most)) {
                        fail(QStringLiteral("bad count after '#'"));
                        return -1;
                    }
                }
                node = repeat(node, least, most, true);
            } else if (c == u'{' && m_at + 1 < m_s.size() && isDigit(m_s[m_at + 1])) {
                ++m_at;
                int least = 0, most = 0;
                if (!counts(least, most)) {
                    fail(QStringLiteral("bad count"));
                    return -1;
                }
                node = repeat(node, least, most, false);
            } else if (c == u'!') {
                ++m_at;
                SyntaxNode required;
                required.kind = SyntaxNode::Kind::NonEmpty;
                required.children = {node};
                node = add(std::move(required));
            } else {
                break;
            }
        }
        return node;
    }

    // What a bracketed group or function holds, up to its closer.
    int inner(int depth, QChar closer, bool mayBeEmpty)
    {
        skipBlanks();
        if (mayBeEmpty && m_at < m_s.size() && m_s[m_at] == closer) {
            ++m_at;
            return -2; // nothing inside
        }
        const int node = alternatives(depth + 1);
        skipBlanks();
        if (node < 0 || m_at >= m_s.size() || m_s[m_at] != closer) {
            fail(QStringLiteral("'%1' is missing").arg(closer));
            return -1;
        }
        ++m_at;
        return node;
    }

    // A number of a range, "∞" and "-∞" included, with an optional unit (kept apart).
    bool rangeBound(double &value, QString &unit)
    {
        skipBlanks();
        bool negative = false;
        if (m_at < m_s.size() && (m_s[m_at] == u'-' || m_s[m_at] == u'+' || m_s[m_at] == u'\u2212')) {
            negative = m_s[m_at] != u'+';
            ++m_at;
        }
        if (m_at < m_s.size() && m_s[m_at] == u'\u221e') {
            ++m_at;
            value = negative ? -INFINITY : INFINITY;
            return true;
        }
        const qsizetype start = m_at;
        while (m_at < m_s.size() && (isDigit(m_s[m_at]) || m_s[m_at] == u'.'))
            ++m_at;
        bool ok = false;
        value = m_s.sliced(start, m_at - start).toDouble(&ok);
        if (negative)
            value = -value;
        const qsizetype unitStart = m_at;
        while (m_at < m_s.size() && m_s[m_at].isLetter())
            ++m_at;
        if (m_at > unitStart)
            unit = m_s.sliced(unitStart, m_at - unitStart).toString().toLower();
        return ok;
    }

    // <name>, <name [min,max]>, <'property'>, <name()>.
    int reference()
    {
        const qsizetype close = m_s.indexOf(u'>', m_at);
        if (close < 0) {
            fail(QStringLiteral("'>' is missing"));
            return -1;
        }
        ++m_at; // "<"
        skipBlanks();
        SyntaxNode node;
        if (m_at < m_s.size() && m_s[m_at] == u'\'') {
            const qsizetype end = m_s.indexOf(u'\'', m_at + 1);
            if (end < 0 || end > close) {
                fail(QStringLiteral("bad property reference"));
                return -1;
            }
            node.kind = SyntaxNode::Kind::Property;
            node.text = m_s.sliced(m_at + 1, end - m_at - 1).trimmed().toString().toLower();
            m_at = close + 1;
            if (node.text.isEmpty() || !std::all_of(node.text.begin(), node.text.end(), isWordChar)) {
                fail(QStringLiteral("bad property reference"));
                return -1;
            }
            return add(std::move(node));
        }
        const qsizetype nameStart = m_at;
        while (m_at < close && !isBlank(m_s[m_at]) && m_s[m_at] != u'[')
            ++m_at;
        QStringView name = m_s.sliced(nameStart, m_at - nameStart);
        if (name.isEmpty()) {
            fail(QStringLiteral("a type without a name"));
            return -1;
        }
        if (name.endsWith(u"()")) {
            node.kind = SyntaxNode::Kind::FunctionRef;
            node.text = name.chopped(2).toString().toLower();
        } else {
            node.kind = SyntaxNode::Kind::Type;
            node.text = name.toString();
        }
        skipBlanks();
        if (m_at < close && m_s[m_at] == u'[') {
            ++m_at;
            double low = 0, high = 0;
            if (!rangeBound(low, node.unit) || (skipBlanks(), m_at >= m_s.size() || m_s[m_at] != u',')) {
                fail(QStringLiteral("bad range"));
                return -1;
            }
            ++m_at;
            if (!rangeBound(high, node.unit) || (skipBlanks(), m_at >= m_s.size() || m_s[m_at] != u']')) {
                fail(QStringLiteral("bad range"));
                return -1;
            }
            ++m_at;
            node.ranged = true;
            node.min = low;
            node.max = high;
            skipBlanks();
        }
        if (m_at != close) {
            fail(QStringLiteral("bad type reference"));
            return -1;
        }
        m_at = close + 1;
        return add(std::move(node));
    }

    int literal(QChar c)
    {
        SyntaxNode node;
        node.kind = c == u',' ? SyntaxNode::Kind::Comma : SyntaxNode::Kind::Delim;
        node.text = QString(c);
        return add(std::move(node));
    }

    int component(int depth)
    {
        if (depth > kDeepest) {
            fail(QStringLiteral("nested too deeply"));
            return -1;
        }
        skipBlanks();
        const QChar c = m_s[m_at];
        if (c == u'[') {
            ++m_at;
            return inner(depth, u']', false);
        }
        if (c == u'<')
            return reference();
        if (c == u'(') {
            ++m_at;
            SyntaxNode block;
            block.kind = SyntaxNode::Kind::Block;
            block.text = QStringLiteral("(");
            const int held = inner(depth, u')', true);
            if (held == -1)
                return -1;
            if (held >= 0)
                block.children = {held};
            return add(std::move(block));
        }
        if (c == u'\'') {
            // A quoted literal: a keyword or a character that stands for itself.
            const qsizetype end = m_s.indexOf(u'\'', m_at + 1);
            if (end < 0 || end == m_at + 1) {
                fail(QStringLiteral("bad quoted literal"));
                return -1;
            }
            const QStringView quoted = m_s.sliced(m_at + 1, end - m_at - 1);
            m_at = end + 1;
            if (quoted.size() == 1 && !isWordChar(quoted[0]))
                return literal(quoted[0]);
            SyntaxNode node;
            node.kind = SyntaxNode::Kind::Keyword;
            node.text = quoted.toString().toLower();
            if (!std::all_of(node.text.begin(), node.text.end(), isWordChar)) {
                fail(QStringLiteral("bad quoted literal"));
                return -1;
            }
            return add(std::move(node));
        }
        if (isWordChar(c) || c == u'@') {
            const qsizetype start = m_at;
            ++m_at;
            while (m_at < m_s.size() && isWordChar(m_s[m_at]))
                ++m_at;
            const QString word = m_s.sliced(start, m_at - start).toString().toLower();
            if (m_at < m_s.size() && m_s[m_at] == u'(') {
                ++m_at;
                SyntaxNode function;
                function.kind = SyntaxNode::Kind::Function;
                function.text = word;
                const int held = inner(depth, u')', true);
                if (held == -1)
                    return -1;
                if (held >= 0)
                    function.children = {held};
                return add(std::move(function));
            }
            SyntaxNode node;
            node.kind = SyntaxNode::Kind::Keyword;
            node.text = word;
            return add(std::move(node));
        }
        if (c == u'{' || c == u'}' || c == u'*' || c == u'+' || c == u'?' || c == u'#' || c == u'!') {
            fail(QStringLiteral("unexpected '%1'").arg(c));
            return -1;
        }
        ++m_at;
        return literal(c);
    }

    QStringView m_s;
    qsizetype m_at = 0;
    std::vector<SyntaxNode> m_nodes;
    QString m_error;
};

void describe(const ValueSyntax &syntax, int index, QString &out)
{
    const SyntaxNode &n = syntax.nodes[size_t(index)];
    using Kind = SyntaxNode::Kind;
    const auto list = [&](const char *separator) {
        out += QLatin1String("[ ");
        for (size_t i = 0; i < n.children.size(); ++i) {
            if (i > 0)
                out += QLatin1String(separator);
            describe(syntax, n.children[i], out);
        }
        out += QLatin1String(" ]");
    };
    switch (n.kind) {
    case Kind::Keyword:
    case Kind::Comma:
        out += n.text;
        break;
    case Kind::Delim:
        // A character the syntax itself uses is written quoted.
        if (QStringView(u"[]|&*+?#!{}<>()").contains(n.text))
            out += u'\'' + n.text + u'\'';
        else
            out += n.text;
        break;
    case Kind::Type:
        out += u'<' + n.text;
        if (n.ranged)
            out += QStringLiteral(" [%1,%2]").arg(n.min).arg(n.max);
        out += u'>';
        break;
    case Kind::Property:
        out += QStringLiteral("<'%1'>").arg(n.text);
        break;
    case Kind::FunctionRef:
        out += QStringLiteral("<%1()>").arg(n.text);
        break;
    case Kind::Function:
    case Kind::Block:
        out += n.kind == Kind::Function ? n.text + u'(' : QStringLiteral("(");
        if (!n.children.empty()) {
            out += u' ';
            describe(syntax, n.children[0], out);
            out += u' ';
        }
        out += u')';
        break;
    case Kind::Sequence:
        list(" ");
        break;
    case Kind::AllOf:
        list(" && ");
        break;
    case Kind::AnyOf:
        list(" || ");
        break;
    case Kind::OneOf:
        list(" | ");
        break;
    case Kind::Repeat:
    case Kind::NonEmpty: {
        const SyntaxNode &child = syntax.nodes[size_t(n.children[0])];
        const bool unbounded = n.most == SyntaxNode::Unbounded;
        QString multiplier;
        if (n.kind == Kind::NonEmpty)
            multiplier = QStringLiteral("!");
        else if (n.commas)
            multiplier = n.least == 1 && unbounded ? QStringLiteral("#") : QStringLiteral("#{%1,%2}");
        else if (n.least == 0 && unbounded)
            multiplier = QStringLiteral("*");
        else if (n.least == 1 && unbounded)
            multiplier = QStringLiteral("+");
        else if (n.least == 0 && n.most == 1)
            multiplier = QStringLiteral("?");
        else
            multiplier = QStringLiteral("{%1,%2}");
        if (multiplier.contains(u'%'))
            multiplier = multiplier.arg(n.least).arg(unbounded ? QString() : QString::number(n.most));
        // A count after a list written "x#" would be read back as the list's own count:
        // the list goes in a group of its own then.
        const bool group = multiplier.startsWith(u'{') && child.kind == Kind::Repeat && child.commas;
        if (group)
            out += QLatin1String("[ ");
        describe(syntax, n.children[0], out);
        if (group)
            out += QLatin1String(" ]");
        out += multiplier;
        break;
    }
    }
}

} // namespace

ValueSyntax ParseValueSyntax(QStringView text)
{
    return Reader(text).run();
}

QString DescribeValueSyntax(const ValueSyntax &syntax)
{
    if (!syntax.isValid())
        return QString();
    QString out;
    describe(syntax, syntax.root, out);
    return out;
}

} // namespace sheetsmith
