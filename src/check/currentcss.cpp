#include "check/currentcss.h"

#include "check/cssdefinitions.h"
#include "check/valuegrammar.h"

#include <algorithm>
#include <memory>

namespace sheetsmith::checking {

namespace {

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

// The name nearest to `name` among `names`, within two edits; empty when none is.
QString nearest(const QString &name, const QStringList &names)
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

// Where the definitions' grammar is narrower than what browsers read and other
// standards rely on, what else is read: the paint of SVG (which the newer
// definition leaves to <image>), and the percentages of the circle() of shapes
// (which shares its radius with radial gradients).
QString widened(const QString &syntax, const char *name, bool property)
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

SyntaxSource source(const CssDefinitions &d)
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

} // namespace

CurrentCss::CurrentCss(const CssDefinitions &definitions)
    : m_definitions(definitions), m_matcher(source(definitions))
{
    for (const QString &name : Css1PropertyNames())
        m_names << name;
    for (const QString &name : definitions.propertyNames()) {
        if (!name.startsWith(u'-') && name.size() <= kLongestName && !IsCss1Property(name))
            m_names << name;
    }
}

CurrentCss *CurrentCss::builtIn()
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

QString CurrentCss::nearestProperty(const QString &name)
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

QString nearestCss1Property(const QString &name)
{
    if (name.size() > kLongestName)
        return QString();
    thread_local QHash<QString, QString> known;
    const auto it = known.constFind(name);
    if (it != known.constEnd())
        return *it;
    const QString best = nearest(name, Css1PropertyNames());
    if (known.size() > 10000)
        known.clear();
    known.insert(name, best);
    return best;
}

} // namespace sheetsmith::checking
