#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <compare>
#include <vector>

namespace sheetsmith {

// Which rule of a sheet wins for an element of a page: what the preview's pick answers.

// A selector's specificity: IDs, then classes, attributes and pseudo-classes, then
// element names and pseudo-elements; compared in that order.
struct Specificity
{
    int ids = 0;
    int classes = 0;
    int elements = 0;
    auto operator<=>(const Specificity &) const = default;
};

// The specificity of one selector (no commas at its top level). ":not()", ":is()" and
// ":has()" count as their most specific argument, ":where()" as nothing; the old
// one-colon pseudo-elements (":first-line", ":first-letter", ":before", ":after")
// count as elements; "*", combinators and comments count nothing.
Specificity SelectorSpecificity(QStringView selector);

// The members of a selector group, split at the commas outside parentheses, brackets,
// strings and comments (the group read as CSS tokens), each trimmed; empty members
// left out.
QStringList SplitSelectorGroup(QStringView group);

// A selector as it matches an element at rest: each of the pseudo-classes that picking
// an element puts it in (":hover", ":active", ":focus", ":focus-visible",
// ":focus-within", in any letter case) replaced by ":not(*)", which matches nothing, so
// "a:hover" matches no element and "a:not(:hover)" every "a". Strings, attribute
// selectors, escaped colons and pseudo-elements are left as they are.
QString SelectorAtRest(QStringView selector);

// The selectors of a sheet's rules laid out for asking a page: every member of every
// rule's group, as the page is to judge it (SelectorAtRest), with the member as written
// and the 0-based rule it belongs to.
struct PickCandidates
{
    QStringList selectors;
    QStringList members;
    std::vector<int> ruleOf;
};
PickCandidates PickCandidatesFor(const QStringList &ruleSelectors);

// The rule that wins for an element, given the candidates it matches (indexes into
// candidates.selectors): the one whose matching member, as written, is the most
// specific, the last in the sheet on a tie. rule is -1, and matchedRules 0, when it matches none.
struct PickOutcome
{
    int rule = -1;
    int matchedRules = 0;
};
PickOutcome WinningRule(const PickCandidates &candidates, const QList<int> &matched);

} // namespace sheetsmith
