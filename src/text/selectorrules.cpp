#include "text/selectorrules.h"

#include <algorithm>

namespace sheetsmith {

namespace {

bool isNameChar(QChar c)
{
    return c.isLetterOrNumber() || c == u'-' || c == u'_' || c == u'\\' || c.unicode() > 0x7f;
}

// The end of the name starting at i (an escape takes the character after it).
qsizetype nameEnd(QStringView s, qsizetype i)
{
    while (i < s.size() && isNameChar(s[i]))
        i += s[i] == u'\\' && i + 1 < s.size() ? 2 : 1;
    return i;
}

// The offset just past the ")" that closes the "(" at open, strings and nesting heeded.
qsizetype closingParen(QStringView s, qsizetype open)
{
    int depth = 0;
    for (qsizetype i = open; i < s.size(); ++i) {
        const QChar c = s[i];
        if (c == u'"' || c == u'\'') {
            for (++i; i < s.size() && s[i] != c; ++i) {
                if (s[i] == u'\\')
                    ++i;
            }
        } else if (c == u'(') {
            ++depth;
        } else if (c == u')' && --depth == 0) {
            return i + 1;
        }
    }
    return s.size();
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
    qsizetype i = 0;
    while (i < s.size()) {
        const QChar c = s[i];
        if (c == u'#') {
            ++out.ids;
            i = nameEnd(s, i + 1);
        } else if (c == u'.') {
            ++out.classes;
            i = nameEnd(s, i + 1);
        } else if (c == u'[') {
            ++out.classes;
            while (i < s.size() && s[i] != u']') {
                if (s[i] == u'"' || s[i] == u'\'') {
                    const QChar q = s[i];
                    for (++i; i < s.size() && s[i] != q; ++i) {
                        if (s[i] == u'\\')
                            ++i;
                    }
                }
                ++i;
            }
            ++i;
        } else if (c == u':') {
            const bool element = i + 1 < s.size() && s[i + 1] == u':';
            const qsizetype nameStart = i + (element ? 2 : 1);
            const qsizetype end = nameEnd(s, nameStart);
            const QString name = s.mid(nameStart, end - nameStart).toString().toLower();
            i = end;
            QStringView argument;
            if (i < s.size() && s[i] == u'(') {
                const qsizetype close = closingParen(s, i);
                argument = s.mid(i + 1, std::max<qsizetype>(0, close - i - 2));
                i = close;
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
        } else if (isNameChar(c)) {
            const qsizetype end = nameEnd(s, i);
            // A name followed by "|" is a namespace, not an element.
            if (end >= s.size() || s[end] != u'|')
                ++out.elements;
            i = end;
        } else if (c == u'"' || c == u'\'') {
            for (++i; i < s.size() && s[i] != c; ++i) {
                if (s[i] == u'\\')
                    ++i;
            }
            ++i;
        } else {
            ++i; // "*", combinators, blanks
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
    for (qsizetype i = 0; i < group.size(); ++i) {
        const QChar c = group[i];
        if (c == u'"' || c == u'\'') {
            for (++i; i < group.size() && group[i] != c; ++i) {
                if (group[i] == u'\\')
                    ++i;
            }
        } else if (c == u'\\') {
            ++i;
        } else if (c == u'(' || c == u'[') {
            ++depth;
        } else if ((c == u')' || c == u']') && depth > 0) {
            --depth;
        } else if (c == u',' && depth == 0) {
            take(i);
            start = i + 1;
        }
    }
    take(group.size());
    return out;
}

PickCandidates PickCandidatesFor(const QStringList &ruleSelectors)
{
    PickCandidates out;
    for (int rule = 0; rule < ruleSelectors.size(); ++rule) {
        for (const QString &member : SplitSelectorGroup(ruleSelectors[rule])) {
            out.selectors << member;
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
        if (index < 0 || index >= candidates.selectors.size())
            continue;
        const int rule = candidates.ruleOf[size_t(index)];
        rules.push_back(rule);
        const Specificity specificity = SelectorSpecificity(candidates.selectors[index]);
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
