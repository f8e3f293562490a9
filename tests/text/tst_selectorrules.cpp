#include "text/selectorrules.h"

#include <QTest>

using namespace sheetsmith;

// Which rule wins for a picked element: specificity, group members and the tie rule.
class TestSelectorRules : public QObject
{
    Q_OBJECT

private slots:
    void specificity_data();
    void specificity();
    void winner_data();
    void winner();
    void aPickJudgesTheElementAtRest_data();
    void aPickJudgesTheElementAtRest();
    void aRuleJudgedAtRestKeepsTheSpecificityWritten();
};

void TestSelectorRules::specificity_data()
{
    QTest::addColumn<QString>("selector");
    QTest::addColumn<QString>("expected"); // "ids,classes,elements"
    QTest::newRow("element") << "h1" << "0,0,1";
    QTest::newRow("universal") << "*" << "0,0,0";
    QTest::newRow("descendants") << "ul li a" << "0,0,3";
    QTest::newRow("class on element") << "p.note" << "0,1,1";
    QTest::newRow("id") << "#top" << "1,0,0";
    QTest::newRow("CSS1 pseudo-class") << "a:link" << "0,1,1";
    QTest::newRow("one-colon pseudo-element") << "p:first-line" << "0,0,2";
    QTest::newRow("two-colon pseudo-element") << "p::before" << "0,0,2";
    QTest::newRow("attribute with a string") << R"(a[href="#x.y"])" << "0,1,1";
    QTest::newRow(":not counts its argument") << "li:not(.a, #b)" << "1,0,1";
    QTest::newRow(":where counts nothing") << ":where(#a) p" << "0,0,1";
    QTest::newRow("combinators") << "div > p + .x ~ #y" << "1,1,2";
}

void TestSelectorRules::specificity()
{
    QFETCH(QString, selector);
    QFETCH(QString, expected);
    const Specificity s = SelectorSpecificity(selector);
    QCOMPARE(QStringLiteral("%1,%2,%3").arg(s.ids).arg(s.classes).arg(s.elements), expected);
}

void TestSelectorRules::winner_data()
{
    QTest::addColumn<QStringList>("rules");
    QTest::addColumn<QList<int>>("matched"); // indexes into the rules' members
    QTest::addColumn<int>("winner");
    QTest::addColumn<int>("count");
    const QStringList rules{"p", "p.note", "h1, p", "#main p", "p"};
    // Members: 0 p | 1 p.note | 2 h1, 3 p | 4 #main p | 5 p
    QTest::newRow("most specific wins") << rules << QList<int>{0, 1, 3} << 1 << 3;
    QTest::newRow("an id beats any number of classes") << rules << QList<int>{1, 4} << 3 << 2;
    QTest::newRow("a tie goes to the last rule") << rules << QList<int>{0, 3, 5} << 4 << 3;
    QTest::newRow("a group counts its matching member") << rules << QList<int>{3} << 2 << 1;
    QTest::newRow("nothing matches") << rules << QList<int>{} << -1 << 0;
    QTest::newRow("indexes out of range are ignored") << rules << QList<int>{-1, 99} << -1 << 0;
}

void TestSelectorRules::winner()
{
    QFETCH(QStringList, rules);
    QFETCH(QList<int>, matched);
    QFETCH(int, winner);
    QFETCH(int, count);
    const PickCandidates candidates = PickCandidatesFor(rules);
    QCOMPARE(candidates.selectors, (QStringList{"p", "p.note", "h1", "p", "#main p", "p"}));
    const PickOutcome outcome = WinningRule(candidates, matched);
    QCOMPARE(outcome.rule, winner);
    QCOMPARE(outcome.matchedRules, count);
}

// Picking clicks the element: it is hovered, pressed and perhaps focused then, which
// must not make the rules of those states win.
void TestSelectorRules::aPickJudgesTheElementAtRest_data()
{
    QTest::addColumn<QString>("group");
    QTest::addColumn<QStringList>("judged"); // what the page is asked
    QTest::newRow("states of the click match nothing")
        << "a:active, a:hover" << QStringList{"a:not(*)", "a:not(*)"};
    QTest::newRow("every focus state") << "input:focus, :focus-visible, form:focus-within li"
                                       << QStringList{"input:not(*)", ":not(*)", "form:not(*) li"};
    QTest::newRow("any letter case") << "A:HOVER, a:Focus-Within"
                                     << QStringList{"A:not(*)", "a:not(*)"};
    QTest::newRow("a negated state matches at rest") << "a:not(:hover)" << QStringList{"a:not(:not(*))"};
    QTest::newRow("inside :is() and before a pseudo-element")
        << ":is(nav a:hover, b) i, a:hover::before" << QStringList{":is(nav a:not(*), b) i", "a:not(*)::before"};
    QTest::newRow("other pseudo-classes are kept")
        << "a:link, a:visited, li:first-child, a:hover-ish, p:nth-child(2)"
        << QStringList{"a:link", "a:visited", "li:first-child", "a:hover-ish", "p:nth-child(2)"};
    QTest::newRow("strings and attribute values are kept")
        << R"(a[title=":hover"], [data-x=a]:hover, a[href$=":focus"])"
        << QStringList{R"(a[title=":hover"])", "[data-x=a]:not(*)", R"(a[href$=":focus"])"};
    QTest::newRow("an escaped colon is part of a class") << R"(.md\:hover, .md\:hover:active)"
                                                         << QStringList{R"(.md\:hover)", R"(.md\:hover:not(*))"};
    QTest::newRow("a pseudo-element and a comment are kept") << "a::hover, a/* :hover */"
                                                             << QStringList{"a::hover", "a/* :hover */"};
}

void TestSelectorRules::aPickJudgesTheElementAtRest()
{
    QFETCH(QString, group);
    QFETCH(QStringList, judged);
    QCOMPARE(PickCandidatesFor({group}).selectors, judged);
}

void TestSelectorRules::aRuleJudgedAtRestKeepsTheSpecificityWritten()
{
    // "a:not(:hover)" (0,1,1) beats the later "a" (0,0,1), although the page judged
    // "a:not(:not(*))", which counts as "a" alone.
    const PickCandidates candidates = PickCandidatesFor({"a:not(:hover)", "a"});
    QCOMPARE(WinningRule(candidates, {0, 1}).rule, 0);
}

QTEST_APPLESS_MAIN(TestSelectorRules)
#include "tst_selectorrules.moc"
