#include "check/valuegrammar.h"

#include <QTest>

using namespace sheetsmith;

// Which values CSS1 allows for its properties, and the colour faults found in any value.
class TestValueGrammar : public QObject
{
    Q_OBJECT

private slots:
    void singleValues_data();
    void singleValues();
    void shorthands_data();
    void shorthands();
    void faults_data();
    void faults();
    void everyProperty();
};

namespace {

const QStringList Properties{
    "font-family", "font-style", "font-variant", "font-weight", "font-size", "font", "color",
    "background-color", "background-image", "background-repeat", "background-attachment",
    "background-position", "background", "word-spacing", "letter-spacing", "text-decoration",
    "vertical-align", "text-transform", "text-align", "text-indent", "line-height", "margin-top",
    "margin-right", "margin-bottom", "margin-left", "margin", "padding-top", "padding-right",
    "padding-bottom", "padding-left", "padding", "border-top-width", "border-right-width",
    "border-bottom-width", "border-left-width", "border-width", "border-color", "border-style",
    "border-top", "border-right", "border-bottom", "border-left", "border", "width", "height",
    "float", "clear", "display", "white-space", "list-style-type", "list-style-image",
    "list-style-position", "list-style"};

// Rows of "property: value" and whether it is allowed.
void addRows(std::initializer_list<std::pair<const char *, bool>> rows)
{
    QTest::addColumn<QString>("property");
    QTest::addColumn<QString>("value");
    QTest::addColumn<bool>("allowed");
    for (const auto &[declaration, allowed] : rows) {
        const QString text = QString::fromUtf8(declaration);
        const qsizetype colon = text.indexOf(u':');
        QTest::newRow(declaration) << text.left(colon) << text.mid(colon + 1) << allowed;
    }
}

void checkRow()
{
    QFETCH(QString, property);
    QFETCH(QString, value);
    QFETCH(bool, allowed);
    const ValueJudgement j = JudgeCss1Value(property, value);
    QCOMPARE(j.faults.size(), 0);
    QCOMPARE(j.allowed, allowed);
}

} // namespace

void TestValueGrammar::singleValues_data()
{
    addRows({
        {"color: red", true}, {"color: RED", true}, {"color: #F00", true}, {"color: #ff0000", true},
        {"color: rgb(255,0,0)", true}, {"color: rgb(100%, 0%, 0%)", true},
        {"color: rgb( -10 , +300 , 0 )", true}, {"color: rgb(12.5%,0%,100%)", true},
        {"color: bleu", false}, {"color: inherit", false}, {"color: orange", false},
        {"color: rgba(0,0,0,0)", false}, {"color: red blue", false},
        {"background-color: transparent", true}, {"background-color: none", false},
        {"background-image: url(marble.png)", true}, {"background-image: URL( \"a b.png\" )", true},
        {"background-image: url('x.png')", true}, {"background-image: url(a\\)b.png)", true},
        {"background-image: none", true}, {"background-image: url()", false},
        {"background-image: url(a b.png)", false}, {"background-image: url(\"a.png)", false},
        {"background-repeat: repeat-y", true}, {"background-repeat: space", false},
        {"background-attachment: fixed", true}, {"background-attachment: local", false},
        {"background-position: 100% 100%", true}, {"background-position: 1cm -2cm", true},
        {"background-position: center", true}, {"background-position: right top", true},
        {"background-position: top left", true}, {"background-position: center center", true},
        {"background-position: left 10px", false}, {"background-position: left right", false},
        {"background-position: top bottom", false}, {"background-position: 1px 2px 3px", false},
        {"font-family: gill, helvetica, sans-serif", true},
        {"font-family: \"new century schoolbook\", serif", true},
        {"font-family: new century schoolbook", true}, {"font-family: Arial,", false},
        {"font-family: ,Arial", false}, {"font-family: a,,serif", false},
        {"font-family: \"a\" b", false}, {"font-family: 12px", false},
        {"font-family: inherit", false},
        {"font-style: oblique", true}, {"font-style: bold", false},
        {"font-variant: small-caps", true}, {"font-variant: all-small-caps", false},
        {"font-weight: 900", true}, {"font-weight: bolder", true}, {"font-weight: 450", false},
        {"font-weight: 100.0", false}, {"font-weight: 1000", false},
        {"font-size: 12pt", true}, {"font-size: larger", true}, {"font-size: 150%", true},
        {"font-size: 1.5EM", true}, {"font-size: 0", true}, {"font-size: -1em", false},
        {"font-size: 12", false}, {"font-size: 12 px", false}, {"font-size: 12q", false},
        {"font-size: 2rem", false},
        {"word-spacing: -0.5em", true}, {"letter-spacing: normal", true},
        {"letter-spacing: 5%", false},
        {"vertical-align: text-bottom", true}, {"vertical-align: -50%", true},
        {"vertical-align: 10px", false},
        {"text-transform: capitalize", true}, {"text-transform: full-width", false},
        {"text-align: justify", true}, {"text-align: start", false},
        {"text-indent: -3em", true}, {"text-indent: 10%", true}, {"text-indent: auto", false},
        {"line-height: 1.2", true}, {"line-height: 1.2em", true}, {"line-height: 120%", true},
        {"line-height: normal", true}, {"line-height: -1", false}, {"line-height: -1px", false},
        {"margin-top: 0", true}, {"margin-left: -1em", true}, {"margin-right: auto", true},
        {"margin: 1em 2em", true}, {"margin: 0 auto 10% -2px", true}, {"margin: 1 2", false},
        {"margin: 1px 2px 3px 4px 5px", false}, {"margin: 1px,2px", false}, {"margin:", false},
        {"margin:   ", false},
        {"padding-top: .3em", true}, {"padding: 1em 2em", true}, {"padding: -1px", false},
        {"padding: -0px", true},
        {"padding: auto", false},
        {"border-top-width: thick", true}, {"border-width: thin thick medium 1px", true},
        {"border-width: -1px", false}, {"border-style: dashed double none", true},
        {"border-style: hidden", false}, {"border-color: red #0f0 rgb(0,0,255)", true},
        {"border-color: transparent", false},
        {"width: 100px", true}, {"width: 50%", true}, {"width: auto", true}, {"width: 10", false},
        {"width: -10px", false}, {"width: calc(1px)", false},
        {"height: 50px", true}, {"height: 10%", false}, {"height: -1em", false},
        {"float: left", true}, {"float: center", false}, {"clear: both", true},
        {"display: list-item", true}, {"display: inline-block", false}, {"display: table", false},
        {"white-space: pre", true}, {"white-space: pre-wrap", false},
        {"list-style-type: upper-alpha", true}, {"list-style-type: lower-greek", false},
        {"list-style-image: url(ellipse.png)", true}, {"list-style-position: outside", true},
        {"list-style-position: none", false},
        {"text-decoration: underline", true}, {"text-decoration: underline overline", true},
        {"text-decoration: blink line-through underline overline", true},
        {"text-decoration: none", true}, {"text-decoration: none underline", false},
        {"text-decoration: underline underline", false},
        {"color: r\\65 d", true}, {"color: -red", false}, {"color: red;", false},
    });
}

void TestValueGrammar::singleValues()
{
    checkRow();
}

void TestValueGrammar::shorthands_data()
{
    addRows({
        {"font: 12pt/14pt sans-serif", true}, {"font: 80% sans-serif", true},
        {"font: x-large/110% \"new century schoolbook\", serif", true},
        {"font: bold italic large Palatino, serif", true},
        {"font: normal small-caps 120%/120% fantasy", true},
        {"font: bold 12px/1.5 Arial, sans-serif", true}, {"font: normal normal 12px serif", true},
        {"font: normal normal normal 12px serif", true}, {"font: 12px / normal serif", true},
        {"font: italic 900 small-caps 0 Times New Roman", true},
        {"font: normal normal normal normal 12px serif", false},
        {"font: bold italic bold 12px serif", false}, {"font: bold", false},
        {"font: 12px", false}, {"font: bold 12px", false}, {"font: 12px/ serif", false},
        {"font: 12px/1.5/2 serif", false}, {"font: serif 12px", false},
        {"font: 12px serif,", false}, {"font: caption", false},
        {"background: url(chess.png) gray 50% repeat fixed", true},
        {"background: red url(a.png) no-repeat 0 0", true}, {"background: yellow", true},
        {"background: none", true}, {"background: 0 0", true}, {"background: left red", true},
        {"background: top left fixed transparent", true},
        {"background: red blue", false}, {"background: url(a.png) url(b.png)", false},
        {"background: top red left", false}, {"background: 10px left", false},
        {"background: repeat repeat-x", false},
        {"border: solid red", true}, {"border: 1px solid", true},
        {"border-top: thick solid red", true}, {"border-bottom: #00f dotted medium", true},
        {"border-left: 0", true}, {"border: none", true},
        {"border: 1px 2px solid", false}, {"border: solid dashed", false},
        {"border: -1px solid", false}, {"border-right: red red", false},
        {"list-style: upper-roman inside", true}, {"list-style: circle outside", true},
        {"list-style: url(\"bullet.png\") disc", true}, {"list-style: none", true},
        {"list-style: none none", true}, {"list-style: none disc", true},
        {"list-style: none none none", false}, {"list-style: disc square", false},
        {"list-style: inside outside", false},
    });
}

void TestValueGrammar::shorthands()
{
    checkRow();
}

void TestValueGrammar::faults_data()
{
    QTest::addColumn<QString>("property");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("expected"); // "kind offset length", one per fault

    QTest::newRow("two hex digits") << "color" << "#12" << "hex 0 3";
    QTest::newRow("five hex digits") << "color" << "#12345" << "hex 0 6";
    QTest::newRow("offset past leading blanks") << "color" << "  #ggg " << "hex 2 4";
    QTest::newRow("a lone hash") << "color" << "#" << "hex 0 1";
    QTest::newRow("fault whatever the property") << "margin" << "#1234" << "hex 0 5";
    QTest::newRow("fault for an unknown property") << "outline" << "1px #1234567" << "hex 4 8";
    QTest::newRow("two numbers") << "color" << "rgb(1,2)" << "rgb 0 8";
    QTest::newRow("four numbers") << "color" << "rgb(1,2,3,4)" << "rgb 0 12";
    QTest::newRow("numbers and percentages mixed") << "color" << "rgb(1%, 2, 3)" << "rgb 0 13";
    QTest::newRow("a fraction without %") << "color" << "rgb(1.5,2,3)" << "rgb 0 12";
    QTest::newRow("no commas") << "color" << "rgb(1 2 3)" << "rgb 0 10";
    QTest::newRow("a trailing comma") << "color" << "rgb(1,2,3,)" << "rgb 0 11";
    QTest::newRow("a length argument") << "color" << "RGB(1px,2,3)" << "rgb 0 12";
    QTest::newRow("empty") << "color" << "rgb()" << "rgb 0 5";
    QTest::newRow("not closed runs to the end") << "color" << " rgb(1,2,3 " << "rgb 1 10";
    QTest::newRow("faults in text order") << "border" << "#12 solid rgb(1)" << "hex 0 3,rgb 10 6";
    QTest::newRow("hash inside url") << "background" << "url(a.png#12)" << "";
    QTest::newRow("hash inside a string") << "font-family" << "\"#12\"" << "";
    QTest::newRow("inside another function") << "color" << "foo(#12)" << "";
}

void TestValueGrammar::faults()
{
    QFETCH(QString, property);
    QFETCH(QString, value);
    QFETCH(QString, expected);
    const ValueJudgement j = JudgeCss1Value(property, value);
    QStringList found;
    for (const ValueFault &f : j.faults) {
        found << QStringLiteral("%1 %2 %3")
                     .arg(f.kind == ValueFault::BadHexColour ? "hex" : "rgb")
                     .arg(f.offset)
                     .arg(f.length);
    }
    QCOMPARE(found.join(u','), expected);
    if (!j.faults.isEmpty())
        QCOMPARE(j.allowed, false);
}

// Every one of the 53 names is known and has a grammar of its own: none takes an empty
// value or "inherit", while names outside CSS1 take anything.
void TestValueGrammar::everyProperty()
{
    QCOMPARE(Properties.size(), 53);
    for (const QString &p : Properties) {
        QVERIFY2(IsCss1Property(p), qPrintable(p));
        QVERIFY2(!JudgeCss1Value(p, u"").allowed, qPrintable(p));
        QVERIFY2(!JudgeCss1Value(p, u" inherit ").allowed, qPrintable(p));
    }
    for (const char *other : {"outline", "min-width", "font-stretch", "colour", "", "margin-"}) {
        QVERIFY2(!IsCss1Property(QString::fromLatin1(other)), other);
        QVERIFY(JudgeCss1Value(QString::fromLatin1(other), u"anything at all").allowed);
    }
}

QTEST_APPLESS_MAIN(TestValueGrammar)
#include "tst_valuegrammar.moc"
