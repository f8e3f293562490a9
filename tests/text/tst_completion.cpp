#include "support/markedtext.h"
#include "text/completion.h"

#include <QTest>

using namespace sheetsmith;

// Where completion may offer names or keywords, and above all where it must not.
class TestCompletion : public QObject
{
    Q_OBJECT

private slots:
    void context_data();
    void context();
    void candidates();
};

void TestCompletion::context_data()
{
    QTest::addColumn<QString>("marked"); // the caret at "|"
    QTest::addColumn<QString>("expected"); // "kind word [property]", or "none"
    QTest::newRow("after {") << "p {col|" << "property col";
    QTest::newRow("after { and a line break") << "p {\n    marg|\n}" << "property marg";
    QTest::newRow("after ;") << "p { color: red; back|" << "property back";
    QTest::newRow("after a comment") << "p { /* x; */ fo|" << "property fo";
    QTest::newRow("@font-face holds declarations") << "@font-face { fo|" << "property fo";
    QTest::newRow("value after :") << "p { text-align: ce|" << "value ce text-align";
    QTest::newRow("value right after : and a blank") << "p { Display: |" << "value  display";
    QTest::newRow("value after ; in a block") << "p { color: red; float:le|" << "value le float";
    QTest::newRow("selector at the top") << "h|" << "none";
    QTest::newRow("selector after a block") << "p { }\nh|" << "none";
    QTest::newRow("statement at the top") << "@import url(a.css);\nh|" << "none";
    QTest::newRow("rules inside @media") << "@media print { h|" << "none";
    QTest::newRow("in a comment") << "p { /* col|" << "none";
    QTest::newRow("in a closed comment") << "p { /* col| */ }" << "none";
    QTest::newRow("pseudo-class") << "a:ho|" << "none";
    QTest::newRow("a value has begun") << "p { font: bold it|" << "none";
    QTest::newRow("after a value") << "p { color: red |" << "none";
    QTest::newRow("middle of a word") << "p { col|or: red }" << "none";
    QTest::newRow("a length's unit") << "p { margin: 1e|" << "none";
    QTest::newRow("a class in a value") << "p { x: .ab|" << "none";
    QTest::newRow("; of a block after a closed one") << "a { b: c } d; e|" << "none";
    QTest::newRow("nothing typed") << "p { |" << "none";
}

void TestCompletion::context()
{
    QFETCH(QString, marked);
    QFETCH(QString, expected);
    const MarkedText t = parseMarked(marked);
    const CompletionContext c = CompletionContextAt(t.text, FindCommentMarkers(t.text), t.selStart);
    QString got = QStringLiteral("none");
    if (c.kind == CompletionContext::Property)
        got = QStringLiteral("property ") + c.word;
    else if (c.kind == CompletionContext::Value)
        got = QStringLiteral("value ") + c.word + u' ' + c.property;
    QCOMPARE(got, expected);
    if (c.kind != CompletionContext::None)
        QCOMPARE(t.text.mid(c.wordStart, c.word.size()), c.word);
}

void TestCompletion::candidates()
{
    const QStringList names{"margin-top", "margin", "margin-left", "color", "text-align", "Margin-bottom"};
    QCOMPARE(PropertyCandidates(names, u"marg"),
             (QStringList{"margin", "margin-top", "margin-left", "Margin-bottom"}));
    QCOMPARE(PropertyCandidates(names, u"TEXT"), QStringList{"text-align"});
    QCOMPARE(PropertyCandidates(names, u"z"), QStringList{});
    QCOMPARE(KeywordCandidates(QStringLiteral("<length>|left|right|center|justify"), u""),
             (QStringList{"left", "right", "center", "justify"}));
    QCOMPARE(KeywordCandidates(QStringLiteral("normal|italic|oblique"), u"I"), QStringList{"italic"});
    // A hint is not a list of keywords.
    QCOMPARE(KeywordCandidates(QStringLiteral("top right bottom left"), u""), QStringList{});
}

QTEST_APPLESS_MAIN(TestCompletion)
#include "tst_completion.moc"
