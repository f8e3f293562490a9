#include "check/sheetcheck.h"

#include "check/cssdefinitions.h"

#include <QTest>

#include <random>

using namespace sheetsmith;

// The check of a sheet: each kind of problem where it stands, against CSS level 1 alone
// and at each level with current CSS known, no false alarm on a sheet written in CSS1,
// and a recheck after edits that agrees with a whole check.
class TestSheetCheck : public QObject
{
    Q_OBJECT

private slots:
    void findsEachProblemWhereItStands_data();
    void findsEachProblemWhereItStands();
    void judgesAtEachLevel_data();
    void judgesAtEachLevel();
    void aSheetWrittenInCss1HasNoProblem();
    void recheckAfterEditsAgreesWithAWholeCheck();
    void recheckOfABlockCutShortAcrossAComment();
    void summaryCountsEachKind();
};

namespace {

// "line:column+length Kind: message", one per problem.
QStringList described(const QString &text, const std::vector<Problem> &problems)
{
    QStringList out;
    for (const Problem &p : problems) {
        const qsizetype lineStart = p.offset == 0 ? 0 : text.lastIndexOf(u'\n', p.offset - 1) + 1;
        const int line = int(text.left(p.offset).count(u'\n')) + 1;
        out << QStringLiteral("%1:%2+%3 %4: %5")
                   .arg(line)
                   .arg(p.offset - lineStart + 1)
                   .arg(p.length)
                   .arg(ProblemKindName(p.kind), p.message);
    }
    return out;
}

} // namespace

void TestSheetCheck::findsEachProblemWhereItStands_data()
{
    QTest::addColumn<QString>("sheet");
    QTest::addColumn<QStringList>("problems");
    const auto row = [](const char *name, const char *sheet, QStringList problems) {
        QTest::newRow(name) << QString::fromUtf8(sheet) << problems;
    };
    row("missing brace at the end", "P { color: red;\n", {"1:3+1 Error: This block has no closing '}'"});
    row("missing brace before a rule", "P { color: red;\nH1 { color: blue }",
        {"1:3+1 Error: This block has no closing '}'"});
    row("open comment", "P { }\n/* left open", {"1:3+1 Warning: Empty rule", "2:1+2 Error: This comment is never closed"});
    row("open string", "P { font-family: \"Times\n}", {"1:18+6 Error: This string is never closed"});
    row("no colon", "P {\n  color red;\n}", {"2:3+9 Error: Declaration without ':'"});
    row("no value", "P { color: ; margin: 0 }", {"1:5+6 Error: 'color' has no value"});
    row("hex digits", "P { color: #12 }", {"1:12+3 Error: Colour '#12' needs 3 or 6 hexadecimal digits"});
    row("rgb arguments", "P { color: rgb(1, 2) }", {"1:12+9 Error: rgb() takes three numbers or three percentages"});
    row("stray brace", "P { }\n}", {"1:3+1 Warning: Empty rule", "2:1+1 Error: '}' with no block open"});
    row("unknown near", "P { colr: red }", {"1:5+4 Warning: Unknown property 'colr', did you mean 'color'?"});
    row("unknown far", "P { zoom: 2 }", {"1:5+4 Warning: Unknown property 'zoom'"});
    row("value not allowed", "P { display: inline-block }",
        {"1:14+12 Warning: CSS1 does not allow 'inline-block' for 'display'"});
    row("set twice", "P { color: red; COLOR: blue }", {"1:17+5 Warning: 'color' is set twice in this rule"});
    row("child selector", "UL > LI { color: red }", {"1:4+1 Note: Selector syntax '>' is not CSS1"});
    row("attribute selector", "A[href] { color: red }", {"1:2+6 Note: Selector syntax '[href]' is not CSS1"});
    row("hover", "A:hover { color: red }", {"1:2+6 Note: Selector syntax ':hover' is not CSS1"});
    row("media rules checked", "@media print {\n  P { colr: red }\n}",
        {"1:1+6 Note: At-rule '@media' is not CSS1", "2:7+4 Warning: Unknown property 'colr', did you mean 'color'?"});
    row("font-face passed over", "@font-face { src: url(x.woff) }", {"1:1+10 Note: At-rule '@font-face' is not CSS1"});
    row("important and comments", "P { color: red ! IMPORTANT; margin: /* none */ 0 }", {});
    row("import", "@import url(base.css);\nA:link { color: navy }", {});
}

// Without definitions of current CSS (as when they cannot be read), against CSS level 1
// alone.
void TestSheetCheck::findsEachProblemWhereItStands()
{
    QFETCH(QString, sheet);
    QFETCH(QStringList, problems);
    QCOMPARE(described(sheet, CheckSheet(sheet, CheckLevel::Css1, CssDefinitions())), problems);
}

// With current CSS known: what is wrong in any CSS is a warning or an error at both
// levels; what is valid but not CSS1 a note at level css1 only, naming where it is
// defined; a name one browser engine gives its own features is never a mistake.
void TestSheetCheck::judgesAtEachLevel_data()
{
    QTest::addColumn<QString>("sheet");
    QTest::addColumn<QStringList>("css1");
    QTest::addColumn<QStringList>("current");
    const auto row = [](const char *name, const char *sheet, QStringList css1, QStringList current) {
        QTest::newRow(name) << QString::fromUtf8(sheet) << css1 << current;
    };
    row("later property", "P { position: absolute }",
        {"1:5+8 Note: 'position' is not CSS1 (defined in CSS Positioned Layout Module Level 3)"}, {});
    row("later value", "P { display: inline-block }",
        {"1:14+12 Note: 'inline-block' is not a CSS1 value for 'display' (valid in current CSS)"}, {});
    row("later colour", "P { color: orange; background: #3366ffcc }",
        {"1:12+6 Note: 'orange' is not a CSS1 colour (valid in current CSS)",
         "1:32+9 Note: '#3366ffcc' is not a CSS1 colour (valid in current CSS)"},
        {});
    row("wrong everywhere", "P { display: blok; position: absolut }",
        {"1:14+4 Warning: CSS1 does not allow 'blok' for 'display'",
         "1:20+8 Note: 'position' is not CSS1 (defined in CSS Positioned Layout Module Level 3)",
         "1:30+7 Warning: 'absolut' is not a valid value for 'position'"},
        {"1:14+4 Warning: 'blok' is not a valid value for 'display'",
         "1:30+7 Warning: 'absolut' is not a valid value for 'position'"});
    row("bad hex colour", "P { color: #abcde }", {"1:12+6 Error: Colour '#abcde' needs 3 or 6 hexadecimal digits"},
        {"1:12+6 Error: Colour '#abcde' needs 3, 4, 6 or 8 hexadecimal digits"});
    row("unknown everywhere", "P { colr: red; positon: static }",
        {"1:5+4 Warning: Unknown property 'colr', did you mean 'color'?",
         "1:16+7 Warning: Unknown property 'positon', did you mean 'position'?"},
        {"1:5+4 Warning: Unknown property 'colr', did you mean 'color'?",
         "1:16+7 Warning: Unknown property 'positon', did you mean 'position'?"});
    row("custom properties, one note a rule", "P { --bg: #fff; --gap: ; color: var(--bg) }",
        {"1:5+4 Note: Custom properties are not CSS1 (valid in current CSS)",
         "1:33+9 Note: 'var(--bg)' is not a CSS1 value for 'color'"},
        {});
    row("vendor names", "P { -webkit-box-flex: 1; display: -moz-box }\n::-webkit-scrollbar { width: 0 }",
        {"1:5+16 Note: '-webkit-box-flex' is specific to one browser engine",
         "1:35+8 Note: '-moz-box' is a value specific to one browser engine",
         "2:1+19 Note: '::-webkit-scrollbar' is specific to one browser engine"},
        {});
    row("selectors", "A:hover, B:hovr, P::befor { color: red }",
        {"1:2+6 Note: Selector syntax ':hover' is not CSS1", "1:11+5 Warning: Unknown pseudo-class ':hovr'",
         "1:19+7 Warning: Unknown pseudo-element '::befor'"},
        {"1:11+5 Warning: Unknown pseudo-class ':hovr'", "1:19+7 Warning: Unknown pseudo-element '::befor'"});
    row("at-rules", "@supports (display: grid) { P { color: red } }\n@mediaa print { }",
        {"1:1+9 Note: At-rule '@supports' is not CSS1 (defined in CSS Conditional Rules Module Level 3)",
         "2:1+7 Warning: Unknown at-rule '@mediaa'"},
        {"2:1+7 Warning: Unknown at-rule '@mediaa'"});
    row("keyframes are rules", "@keyframes spin { to { transform: rotat(1turn) } }",
        {"1:1+10 Note: At-rule '@keyframes' is not CSS1 (defined in CSS Animations Level 1)",
         "1:24+9 Note: 'transform' is not CSS1 (defined in CSS Transforms Module Level 1)",
         "1:35+12 Warning: 'rotat(1turn)' is not a valid value for 'transform'"},
        {"1:35+12 Warning: 'rotat(1turn)' is not a valid value for 'transform'"});
    row("nested rule", "P { color: red; B { color: blue } }",
        {"1:17+1 Note: Nested rules are not CSS1 (valid in current CSS)"}, {});
    row("set twice as a fallback", "P { display: block; display: flex; color: red; color: red }",
        {"1:30+4 Note: 'flex' is not a CSS1 value for 'display' (valid in current CSS)",
         "1:48+5 Warning: 'color' is set twice in this rule"},
        {"1:48+5 Warning: 'color' is set twice in this rule"});
    row("value not judged", "P { width: calc(100% - var(--x)) }",
        {"1:12+21 Note: 'calc(100% - var(--x))' is not a CSS1 value for 'width'"}, {});
}

void TestSheetCheck::judgesAtEachLevel()
{
    QFETCH(QString, sheet);
    QFETCH(QStringList, css1);
    QFETCH(QStringList, current);
    QVERIFY2(CheckDataProblem().isEmpty(), qPrintable(CheckDataProblem()));
    QCOMPARE(described(sheet, CheckSheet(sheet, CheckLevel::Css1)), css1);
    QCOMPARE(described(sheet, CheckSheet(sheet, CheckLevel::Current)), current);
}

void TestSheetCheck::aSheetWrittenInCss1HasNoProblem()
{
    // Every property, every shorthand form, the examples of CSS1 itself.
    const QString sheet = QStringLiteral(R"(@import "mystyle.css";
@import url(other.css);
<!--
BODY { font-family: "new century schoolbook", Georgia, serif; font-size: 12pt; color: black;
  background: white url(paper.gif) repeat-y fixed 0% 0%; margin: 1em 2em; line-height: 1.2 }
H1, H2 { font: bold italic large Palatino, serif; text-transform: uppercase; letter-spacing: 0.1em }
H3 { font: x-large/110% "new century schoolbook", serif; word-spacing: normal }
H4 { font: normal small-caps 120%/120% fantasy; text-decoration: underline overline }
P.note { font: 12pt/14pt sans-serif; text-indent: 3em; text-align: justify; white-space: normal }
P#first { font: 80% sans-serif; vertical-align: -10%; margin-left: -1cm }
EM { font-style: italic; font-variant: small-caps; font-weight: 700; background-color: transparent }
STRONG { font-weight: bolder; background-color: #FF0; color: rgb(255, 0, 0) }
A:link { color: #00f } A:visited { color: rgb(50%, 0%, 100%) } A:active { color: Red }
P:first-line { text-transform: capitalize } P:first-letter { font-size: 200%; float: left }
DIV { background-image: url("bg.png"); background-repeat: no-repeat; background-attachment: scroll;
  background-position: 100% 100%; padding: 1px 2px 3px 4px; border: 1px solid; width: 50%; height: auto }
TD { background-position: top left; background: url(chess.png) gray 50% repeat fixed; clear: both }
UL { list-style: upper-roman inside; list-style-type: disc; list-style-image: none; list-style-position: outside }
LI { display: list-item; margin-top: auto; margin-right: 0; margin-bottom: 2ex; padding-top: 0.5in }
IMG { float: right; border-width: thin medium thick 2px; border-color: red green blue;
  border-style: dotted dashed solid double; border-top: thick groove; border-right: ridge 3mm silver;
  border-bottom: inset; border-left: outset 1pc maroon; padding-left: 10pt; vertical-align: text-top }
PRE { white-space: pre; font-family: monospace; text-decoration: none; word-spacing: 1px !important }
BLOCKQUOTE { border-top-width: 1px; border-right-width: thin; border-bottom-width: 0; border-left-width: medium;
  padding-right: 5%; padding-bottom: 1em; line-height: normal; text-align: center; display: block }
SPAN { display: inline; font-size: larger; vertical-align: super; letter-spacing: normal }
-->
)");
    QCOMPARE(described(sheet, CheckSheet(sheet)), QStringList());
    QCOMPARE(described(sheet, CheckSheet(sheet, CheckLevel::Current)), QStringList());
    QCOMPARE(described(sheet, CheckSheet(sheet, CheckLevel::Css1, CssDefinitions())), QStringList());
}

void TestSheetCheck::recheckAfterEditsAgreesWithAWholeCheck()
{
    const QStringList bits{"P { color: red }\n", "{", "}", ";", ":", "/*", "*/", "\"", "@media x {", "colr: 1px;",
                           "#12", "rgb(1,2)", " ", "\n", "A:hover", "@import 'x';", "--x: 1;", "B { }"};
    std::mt19937 random(11);
    for (const QString &start : {QString(), QStringLiteral("@media print { H1 { } }\n/* x */ A:hover > B { zoom: 1 }\n")}) {
        QString text = start;
        for (int i = 0; i < 60; ++i)
            text += QStringLiteral(".r%1 { margin: %1px; colr: red }\n").arg(i);
        // Each start at a level of its own.
        const CheckLevel level = start.isEmpty() ? CheckLevel::Css1 : CheckLevel::Current;
        SheetCheck check(level);
        check.checkAll(text);
        for (int round = 0; round < 300; ++round) {
            EditedRange edited;
            for (int e = 1 + int(random() % 3); e > 0; --e) {
                const qsizetype at = qsizetype(random() % (text.size() + 1));
                const qsizetype gone = qMin<qsizetype>(text.size() - at, random() % 4 == 0 ? random() % 30 : 0);
                const QString added = random() % 4 == 0 ? QString() : bits[random() % bits.size()];
                text.replace(at, gone, added);
                edited.add({at, gone, added.size()});
            }
            check.recheck(text, edited);
            QCOMPARE(described(text, check.problems()), described(text, CheckSheet(text, level)));
        }
    }
}

void TestSheetCheck::recheckOfABlockCutShortAcrossAComment()
{
    // The first block ends where the next rule's "{" shows its "}" is missing; with a
    // comment between them, an edit of that "{" must still reach the first block.
    QString text = QStringLiteral("P { color: red;\n/* note */\nH1 { }\n");
    SheetCheck check;
    check.checkAll(text);
    const qsizetype brace = text.indexOf(QStringLiteral("H1 {")) + 3;
    text[brace] = u'}';
    EditedRange edited;
    edited.add({brace, 1, 1});
    check.recheck(text, edited);
    QCOMPARE(described(text, check.problems()), described(text, CheckSheet(text)));
}

void TestSheetCheck::summaryCountsEachKind()
{
    QCOMPARE(ProblemSummary(CheckSheet(u"P { color: red }")), QStringLiteral("No problems"));
    QCOMPARE(ProblemSummary(CheckSheet(u"P { colr: red; color: #1 } A:hover { } }")),
             QStringLiteral("2 errors, 2 warnings, 1 note"));
}

QTEST_APPLESS_MAIN(TestSheetCheck)
#include "tst_sheetcheck.moc"
