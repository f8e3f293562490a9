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
    void selectorContext_data();
    void selectorContext();
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

void TestCompletion::selectorContext_data()
{
    QTest::addColumn<QString>("marked"); // the caret at "|"
    QTest::addColumn<QString>("expected"); // "kind word", or "none"
    QTest::newRow("class right after .") << "p.|" << "class ";
    QTest::newRow("class typed") << ".car|" << "class car";
    QTest::newRow("class with digits and _") << "div.col_md-6|" << "class col_md-6";
    QTest::newRow("class in a compound") << "div.card.ti|" << "class ti";
    QTest::newRow("class after a block") << "p { color: red }\n.|" << "class ";
    QTest::newRow("id right after #") << "#|" << "id ";
    QTest::newRow("id typed after a combinator") << "ul > #ma|" << "id ma";
    QTest::newRow("element at the start") << "h|" << "element h";
    QTest::newRow("element with a digit") << "p { }\nh1|" << "element h1";
    QTest::newRow("element after a descendant blank") << "div s|" << "element s";
    QTest::newRow("element after >") << "ul>l|" << "element l";
    QTest::newRow("element after a comma") << "h1, h|" << "element h";
    QTest::newRow("element in :not(") << "a:not(sp|" << "element sp";
    QTest::newRow("class in :is(") << "a:is(.b|" << "class b";
    QTest::newRow("rules inside @media") << "@media print {\n  .a|" << "class a";
    QTest::newRow("after a rule inside @media") << "@media print { a { } #|" << "id ";
    QTest::newRow("after @import") << "@import url(a.css);\n.x|" << "class x";
    QTest::newRow("after a closed comment") << "/* a */ .x|" << "class x";
    QTest::newRow("in a declaration block") << "p { .a|" << "none";
    QTest::newRow("a colour in a value") << "p { color: #ab|" << "none";
    QTest::newRow("@font-face holds declarations") << "@font-face { .a|" << "none";
    QTest::newRow("keyframes hold no selectors") << "@keyframes k { fr|" << "none";
    QTest::newRow("an at-rule's prelude") << "@media pr|" << "none";
    QTest::newRow("an attribute selector") << "a[cl|" << "none";
    QTest::newRow("an attribute's value") << "a[title=\".b|" << "none";
    QTest::newRow("in a comment") << "/* .a|" << "none";
    QTest::newRow("pseudo-class") << "a:ho|" << "none";
    QTest::newRow("inside :nth-child(") << "li:nth-child(o|" << "none";
    QTest::newRow("an escape in the name") << ".a\\31|" << "none";
    QTest::newRow("middle of a class") << ".ca|rd" << "none";
    QTest::newRow("; of a rule's declarations") << "a { b: c; .d|" << "none";
    QTest::newRow("; not ending an at-rule") << "a { } d; .e|" << "none";
}

void TestCompletion::selectorContext()
{
    QFETCH(QString, marked);
    QFETCH(QString, expected);
    const MarkedText t = parseMarked(marked);
    const CompletionContext c = CompletionContextAt(t.text, FindCommentMarkers(t.text), t.selStart);
    const QHash<int, QString> kinds{{CompletionContext::None, QStringLiteral("none")},
                                    {CompletionContext::Property, QStringLiteral("property ")},
                                    {CompletionContext::Value, QStringLiteral("value ")},
                                    {CompletionContext::Element, QStringLiteral("element ")},
                                    {CompletionContext::Class, QStringLiteral("class ")},
                                    {CompletionContext::Id, QStringLiteral("id ")}};
    QCOMPARE(kinds.value(c.kind) + (c.kind == CompletionContext::None ? QString() : c.word), expected);
    if (c.kind != CompletionContext::None) {
        QCOMPARE(t.text.mid(c.wordStart, c.word.size()), c.word);
        QCOMPARE(c.wordStart + c.word.size(), qsizetype(t.selStart));
    }
}

QTEST_APPLESS_MAIN(TestCompletion)
#include "tst_completion.moc"
