#include "blocks/root.h"
#include "blocks/scanner.h"
#include "support/blocklists.h"
#include "support/files.h"
#include "support/literalrules.h"
#include "text/commentmarkers.h"
#include "text/textmodel.h"

#include <QTest>

using namespace sheetsmith;

namespace {

QStringList scan(const QString &text, const QStringList &names = ElementNames())
{
    return scannedBlocks(TextModel(text), names);
}

} // namespace

class TestScanner : public QObject
{
    Q_OBJECT

private slots:
    void scanBlocks_data();
    void scanBlocks();
    void kind_data();
    void kind();
    void scanUsesTheGivenElementNames();
    void scanClearsTheListFirst();
    void stripComments_data();
    void stripComments();
    void inComment_data();
    void inComment();
    void inCommentAgreesWithTheLiteralRuleOnAllSmallTexts();
    void scanMatchesLiteralRulesOnCorpus_data();
    void scanMatchesLiteralRulesOnCorpus();
};

void TestScanner::scanBlocks_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("empty text") << QString() << QStringList();
    QTest::newRow("no {, a stray } ignored") << QStringLiteral("p color: red;\r\n}") << QStringList();
    QTest::newRow("grouped selector, blanks removed")
        << QStringLiteral("H1, H2 {\r\n}") << QStringList{"H1,H2|Element|0|11"};
    QTest::newRow("CR LF counted in Begins and Ends")
        << QStringLiteral("\r\n\r\nbody {\r\n}") << QStringList{"body|Element|4|13"};
    QTest::newRow("selector on the line before its {")
        << QStringLiteral("h1\r\n{\r\n}") << QStringList{"|Element|4|8"};
    QTest::newRow("{ at the very start") << QStringLiteral("{ }") << QStringList{"|Element|0|3"};
    QTest::newRow("selector group over two lines gives its last line")
        << QStringLiteral("h1,\r\nh2 {\r\n}") << QStringList{"h2|Element|5|12"};
    QTest::newRow("whole rule in a comment on one line")
        << QStringLiteral("/* p { color: red } */") << QStringList();
    QTest::newRow("{ after a comment opened on an earlier line counts")
        << QStringLiteral("/* note\r\np { }\r\n*/") << QStringList{"p|Element|9|14"};
    QTest::newRow("comments before and inside the selector removed")
        << QStringLiteral("/* a *//* b */h1 /* c */ {}") << QStringList{"h1|Element|0|27"};
    QTest::newRow("blanks removed before comments, so / * opens one")
        << QStringLiteral("/ * x * / h1 {}") << QStringList{"h1|Element|0|15"};
    QTest::newRow("/*/ is a closed comment before the {")
        << QStringLiteral("p /*/ {}") << QStringList{"p|Element|0|8"};
    QTest::newRow("commented { skipped, the next on the line counts")
        << QStringLiteral("p /* { */ { }") << QStringList{"p|Element|0|13"};
    QTest::newRow("unclosed block has no end")
        << QStringLiteral("p {\r\ncolor: red;") << QStringList{"p|Element|0|0"};
    QTest::newRow("two blocks share the first }")
        << QStringLiteral("p { color: red;\r\nh1 { color: blue }")
        << QStringList{"p|Element|0|35", "h1|Element|17|35"};
    QTest::newRow("two rules on one line share the first selector")
        << QStringLiteral("p { } h1 { }") << QStringList{"p|Element|0|5", "p|Element|0|12"};
    QTest::newRow("commented-out } gives no end, later } not looked for")
        << QStringLiteral("p { color: red; /* } */\r\n}") << QStringList{"p|Element|0|0"};
    QTest::newRow("} under a comment opened on an earlier line is live")
        << QStringLiteral("p {\r\n/* x\r\n} */") << QStringList{"p|Element|0|12"};
    QTest::newRow("} before the { stays in the selector")
        << QStringLiteral("} p { }") << QStringList{"}p|Class|0|7"};
    QTest::newRow("a tab is no blank and stays")
        << QStringLiteral("\tp {}") << QStringList{"\tp|Class|0|5"};
    QTest::newRow("three blocks in document order")
        << QStringLiteral("a {}\r\n.b {}\r\n#c {}")
        << QStringList{"a|Element|0|4", ".b|Class|6|11", "#c|ID|13|18"};
}

void TestScanner::scanBlocks()
{
    QFETCH(QString, text);
    QFETCH(QStringList, expected);
    QCOMPARE(scan(text), expected);
}

void TestScanner::kind_data()
{
    QTest::addColumn<QString>("selector");
    QTest::addColumn<QString>("id");
    QTest::addColumn<QString>("kind");

    QTest::newRow("#main") << "#main" << "#main" << "ID";
    QTest::newRow("DIV#main") << "DIV#main" << "DIV#main" << "ID";
    QTest::newRow("# in a later group member") << "H1, #x" << "H1,#x" << "ID";
    QTest::newRow(".note") << ".note" << ".note" << "Class";
    QTest::newRow("P.note") << "P.note" << "P.note" << "Class";
    QTest::newRow("p, lower case") << "p" << "p" << "Element";
    QTest::newRow("body") << "body" << "body" << "Element";
    QTest::newRow("a:link") << "a:link" << "a:link" << "Element";
    QTest::newRow("A:hover") << "A:hover" << "A:hover" << "Class";
    QTest::newRow("HTML") << "HTML" << "HTML" << "Class";
    QTest::newRow("IMG") << "IMG" << "IMG" << "Class";
    QTest::newRow("LINK inside BLINK") << "LINK" << "LINK" << "Element";
    QTest::newRow("DRESS inside ADDRESS") << "DRESS" << "DRESS" << "Element";
    QTest::newRow("B inside BIG") << "b" << "b" << "Element";
    QTest::newRow("first member decides: element") << "em, .x" << "em,.x" << "Element";
    QTest::newRow("first member decides: class") << ".x, em" << ".x,em" << "Class";
    QTest::newRow("two neighbours with the joining ;") << "H1;H2" << "H1;H2" << "Element";
    QTest::newRow("no ; after the last name") << "VAR;" << "VAR;" << "Class";
    QTest::newRow("no ; before the first name") << ";A:link" << ";A:link" << "Class";
}

void TestScanner::kind()
{
    QFETCH(QString, selector);
    QFETCH(QString, id);
    QFETCH(QString, kind);
    QCOMPARE(ElementNames().size(), 45);
    const QString expected = QStringLiteral("%1|%2|0|%3").arg(id, kind).arg(selector.size() + 3);
    QCOMPARE(scan(selector + QStringLiteral(" {}")), QStringList{expected});
}

void TestScanner::scanUsesTheGivenElementNames()
{
    const QString text = QStringLiteral("foo {}\r\np {}");
    QCOMPARE(scan(text, {QStringLiteral("XFOOX"), QStringLiteral("Q")}),
             QStringList({"foo|Element|0|6", "p|Class|8|12"}));
}

void TestScanner::scanClearsTheListFirst()
{
    Root blocks;
    blocks.Add(QStringLiteral("old"), QStringLiteral("Class"), 99, 50, QStringLiteral("k"));
    ScanBlocks(TextModel(QStringLiteral("p {}")), ElementNames(), blocks);
    QCOMPARE(describeBlocks(blocks), QStringList{"p|Element|0|4"});
    ScanBlocks(TextModel(QString()), ElementNames(), blocks);
    QCOMPARE(blocks.Count(), 0);
}

void TestScanner::stripComments_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");

    QTest::newRow("empty") << QString() << QString();
    QTest::newRow("no comment") << "h1 { }" << "h1 { }";
    QTest::newRow("one comment") << "a/* x */b" << "ab";
    QTest::newRow("adjacent comments") << "/* a *//* b */x" << "x";
    QTest::newRow("/*/ is a whole comment") << "a/*/b" << "ab";
    QTest::newRow("/*/ then a close later") << "/*/x*/" << "x*/";
    QTest::newRow("empty comment") << "a/**/b" << "ab";
    QTest::newRow("comment at the end") << "h1/*x*/" << "h1";
    QTest::newRow("unclosed stays with the rest") << "a/* b" << "a/* b";
    QTest::newRow("closed, then unclosed") << "a/*x*/b/*c" << "ab/*c";
    QTest::newRow("a lone close stays") << "a*/b" << "a*/b";
    QTest::newRow("no nesting: first close ends") << "/* /* */ */x" << " */x";
    QTest::newRow("removal does not join a new opener") << "//**/*x" << "/*x";
}

void TestScanner::stripComments()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(StripComments(text), expected);
}

void TestScanner::inComment_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<qsizetype>("b");
    QTest::addColumn<qsizetype>("lineStart");
    QTest::addColumn<bool>("expected");

    QTest::newRow("no comment") << "p {" << qsizetype(3) << qsizetype(1) << false;
    QTest::newRow("brace position 0") << "/* {" << qsizetype(0) << qsizetype(1) << false;
    QTest::newRow("open comment before brace") << "/* {" << qsizetype(4) << qsizetype(1) << true;
    QTest::newRow("opener touching the brace") << "/*{" << qsizetype(3) << qsizetype(1) << true;
    QTest::newRow("comment closed before brace") << "/* x */ {" << qsizetype(9) << qsizetype(1) << false;
    QTest::newRow("close after the brace does not count")
        << "/* { */" << qsizetype(4) << qsizetype(1) << true;
    QTest::newRow("opener on an earlier line not seen")
        << "/* x\r\n{" << qsizetype(7) << qsizetype(7) << false;
    QTest::newRow("opener at the line start counts")
        << "x\r\n/*{" << qsizetype(6) << qsizetype(4) << true;
    QTest::newRow("/*/ closes itself") << "/*/ {" << qsizetype(5) << qsizetype(1) << false;
    QTest::newRow("*/* closes then opens") << "x */* {" << qsizetype(7) << qsizetype(1) << true;
    QTest::newRow("later opener after a closed comment")
        << "/**/ /* {" << qsizetype(9) << qsizetype(1) << true;
}

void TestScanner::inComment()
{
    QFETCH(QString, text);
    QFETCH(qsizetype, b);
    QFETCH(qsizetype, lineStart);
    QFETCH(bool, expected);
    QCOMPARE(InComment(b, lineStart, text), expected);
    QCOMPARE(CommentMarkers(text).inComment(b, lineStart), expected);
}

void TestScanner::inCommentAgreesWithTheLiteralRuleOnAllSmallTexts()
{
    // Every text of up to seven characters over "/", "*" and "x", at every position and
    // several line starts: the backward search and the precomputed markers must answer
    // as the rule read word for word does.
    const QChar alphabet[] = {u'/', u'*', u'x'};
    for (int len = 0; len <= 7; ++len) {
        int combos = 1;
        for (int i = 0; i < len; ++i)
            combos *= 3;
        for (int code = 0; code < combos; ++code) {
            QString text;
            for (int i = 0, c = code; i < len; ++i, c /= 3)
                text += alphabet[c % 3];
            const CommentMarkers markers(text);
            for (qsizetype b = 0; b <= len + 1; ++b) {
                for (qsizetype s : {1, 2, 4}) {
                    const bool expected = literal::inComment(b, s, text);
                    if (markers.inComment(b, s) != expected || InComment(b, s, text) != expected)
                        QFAIL(qPrintable(QStringLiteral("text \"%1\" b %2 line start %3")
                                             .arg(text).arg(b).arg(s)));
                }
            }
        }
    }
}

void TestScanner::scanMatchesLiteralRulesOnCorpus_data()
{
    addCorpusRows();
}

void TestScanner::scanMatchesLiteralRulesOnCorpus()
{
    QFETCH(QString, path);
    const TextModel model(editorText(path));
    QVERIFY2(model.length() > 0, qPrintable(path));

    Root blocks;
    ScanBlocks(model, ElementNames(), blocks);
    const QStringList expected = literal::describe(literal::scan(model.text(), ElementNames()));
    QVERIFY(!expected.isEmpty());
    QCOMPARE(describeBlocks(blocks), expected);
}

QTEST_APPLESS_MAIN(TestScanner)
#include "tst_scanner.moc"
