#include "support/colourlines.h"
#include "text/colourspans.h"
#include "text/commentmarkers.h"
#include "text/csscolours.h"
#include "text/cssplaces.h"

#include <QColor>
#include <QTest>

using namespace sheetsmith;

namespace {

// A sheet with its colour values marked "«" and "»" (characters no test sheet holds),
// and the spans of the marked text.
std::pair<QString, QString> unmark(const QString &marked)
{
    QString text;
    QStringList spans;
    qsizetype open = -1;
    for (const QChar c : marked) {
        if (c == u'«') {
            open = text.size();
        } else if (c == u'»') {
            spans << QStringLiteral("%1+%2").arg(open).arg(text.size() - open);
        } else {
            text += c;
        }
    }
    return {text, spans.join(u' ')};
}

QString describe(const std::vector<ColourSpan> &spans)
{
    QStringList out;
    for (const ColourSpan &s : spans)
        out << QStringLiteral("%1+%2").arg(s.offset).arg(s.length);
    return out.join(u' ');
}

// "rrggbb" or "rrggbb/alpha" for a colour, "none" for no colour.
QString describe(const std::optional<CssColour> &c)
{
    if (!c)
        return QStringLiteral("none");
    QString out = QStringLiteral("%1%2%3")
                      .arg(colourRed(c->rgb), 2, 16, QLatin1Char('0'))
                      .arg(colourGreen(c->rgb), 2, 16, QLatin1Char('0'))
                      .arg(colourBlue(c->rgb), 2, 16, QLatin1Char('0'));
    if (c->alpha != 255)
        out += u'/' + QString::number(c->alpha);
    return out;
}

} // namespace

// Where a sheet's colour values are, what they are, and how a new colour is written
// back into one.
class TestColourSpans : public QObject
{
    Q_OBJECT

private slots:
    void positions_data();
    void positions();
    void reading_data();
    void reading();
    void namesAgreeWithQt();
    void writeBack_data();
    void writeBack();
    void places_data();
    void places();
};

void TestColourSpans::positions_data()
{
    QTest::addColumn<QString>("marked");
    QTest::addColumn<bool>("current");
    // The sixteen names, hex and rgb() of CSS1.
    QTest::newRow("a name") << "p { color: «red» }" << false;
    QTest::newRow("several in one value") << "p { border-color: «navy» «#f00» «#00FF00» «rgb(1, 2, 3)» }" << false;
    QTest::newRow("percentages") << "p{background:«rgb(100%,50%,0%)» url(x.png)}" << false;
    QTest::newRow("no blank before the value") << "p{color:«teal»}" << false;
    QTest::newRow("value on the next line") << "p {\n  color:\n    «silver»;\n}" << false;
    QTest::newRow("escaped name") << "p { color: «r\\65 d» }" << false;
    QTest::newRow("unterminated last declaration") << "p { color: «#abc»" << false;
    QTest::newRow("the value goes on after a line break") << "p { background: url(a.png)\n «white» repeat-x }" << false;
    // What is not a colour value.
    QTest::newRow("comment") << "p { color: /* red */ «blue» }" << false;
    QTest::newRow("comment over lines") << "/* p {\n color: red }\n*/ q { color: «lime» }" << false;
    QTest::newRow("string") << "p { font-family: \"red\"; content: 'blue' }" << false;
    QTest::newRow("url") << "p { background: url(red) }" << false;
    QTest::newRow("font family") << "p { font-family: red, blue; font: 12px navy }" << false;
    QTest::newRow("id and class selectors") << "#fff .red, a:hover red { color: «#000» }" << false;
    QTest::newRow("selector over lines") << "a:hover,\nred\n{ color: «olive» }" << false;
    QTest::newRow("nested rule with a pseudo-class") << "@media print { a:red { color: «black» } }" << false;
    QTest::newRow("media query") << "@media (color) and (min-color: 4) { p { color: «gray» } }" << false;
    QTest::newRow("at-rule statement") << "@import url(x.css) red;" << false;
    QTest::newRow("not five digits") << "p { color: #abcde; border-color: #ggg }" << false;
    QTest::newRow("important is no colour") << "p { color: «red» !important }" << false;
    QTest::newRow("mixed rgb") << "p { color: rgb(255, 50%, 0) }" << false;
    // Current forms only at the current level.
    QTest::newRow("current forms at CSS1") << "p { color: #f008; color: tomato; color: rgba(0,0,0,.5); "
                                              "color: hsl(0, 100%, 50%); color: transparent }"
                                           << false;
    QTest::newRow("current forms")
        << "p { color: «#f008»; color: «tomato»; color: «rgba(0,0,0,.5)»; color: «hsl(0, 100%, 50%)»; "
           "color: «transparent»; color: «rgb(0 128 255 / 50%)»; color: «hsl(120deg 50 25)» }"
        << true;
    QTest::newRow("names need a colour property")
        << "p { animation-name: tomato; --accent: «tomato»; -webkit-text-fill-color: «coral» }" << true;
    QTest::newRow("not read: currentcolor, var, hwb")
        << "p { color: currentcolor; color: rgb(var(--r), 0, 0); color: hwb(0 0% 0%); fill: «red» }" << true;
    // Far from any parenthesis: no url(...) can be open, and the line is read.
    QTest::newRow("a long sheet without parentheses")
        << QStringLiteral("p { margin: 0 }\n").repeated(20000) + QStringLiteral("q { color: «red» }") << false;
    QTest::newRow("a name inside a gradient") << "p { background-image: linear-gradient(«red», «#00f») }" << true;
}

void TestColourSpans::positions()
{
    QFETCH(QString, marked);
    QFETCH(bool, current);
    const auto [text, expected] = unmark(marked);
    const CommentMarkerPositions markers = FindCommentMarkers(text);
    const ColourForms forms = current ? ColourForms::Current : ColourForms::Css1;
    QCOMPARE(describe(ColourSpans(text, markers, 0, text.size(), forms)), expected);
    // Line by line, as the editor asks for the lines it shows, the same spans.
    QCOMPARE(describe(ColourSpansByLine(text, markers, forms)), expected);
}

void TestColourSpans::reading_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<bool>("current");
    QTest::addColumn<QString>("expected");
    QTest::newRow("short hex") << "#0aF" << false << "00aaff";
    QTest::newRow("long hex") << "#8000FF" << false << "8000ff";
    QTest::newRow("short hex with alpha") << "#0af8" << true << "00aaff/136";
    QTest::newRow("long hex with alpha") << "#00aaff80" << true << "00aaff/128";
    QTest::newRow("alpha hex at CSS1") << "#0af8" << false << "none";
    QTest::newRow("name in capitals") << "NAVY" << false << "000080";
    QTest::newRow("a later name at CSS1") << "rebeccapurple" << false << "none";
    QTest::newRow("a later name") << "rebeccapurple" << true << "663399";
    QTest::newRow("rgb numbers, clipped") << "rgb(300, -5, 128)" << false << "ff0080";
    QTest::newRow("rgb percentages") << "rgb( 100% , 50% , 0% )" << false << "ff8000";
    QTest::newRow("rgb with a comment") << "rgb(0,/* g */0,255)" << false << "0000ff";
    QTest::newRow("rgb mixed between commas") << "rgb(255, 50%, 0)" << true << "none";
    QTest::newRow("rgb mixed between blanks") << "rgb(255 50% 0)" << true << "ff8000";
    QTest::newRow("rgba at CSS1") << "rgba(0,0,0,0.5)" << false << "none";
    QTest::newRow("rgba") << "RGBA(0,0,0,0.5)" << true << "000000/128";
    QTest::newRow("rgb with a slash alpha") << "rgb(0 0 0 / 25%)" << true << "000000/64";
    QTest::newRow("commas and a slash") << "rgb(0, 0, 0 / 25%)" << true << "none";
    QTest::newRow("two values") << "rgb(0, 0)" << false << "none";
    QTest::newRow("unclosed") << "rgb(0, 0, 0" << false << "none";
    QTest::newRow("something after") << "rgb(0,0,0) x" << false << "none";
    QTest::newRow("hsl red") << "hsl(0, 100%, 50%)" << true << "ff0000";
    QTest::newRow("hsl in turns") << "hsl(0.5turn 100% 25%)" << true << "008080";
    QTest::newRow("hsl hue past a turn") << "hsl(480, 100%, 50%)" << true << "00ff00";
    QTest::newRow("hsla") << "hsla(240, 100%, 50%, 0)" << true << "0000ff/0";
    QTest::newRow("hsl needs percentages between commas") << "hsl(0, 100, 50)" << true << "none";
    QTest::newRow("transparent") << "transparent" << true << "000000/0";
}

void TestColourSpans::reading()
{
    QFETCH(QString, value);
    QFETCH(bool, current);
    QFETCH(QString, expected);
    QCOMPARE(describe(ReadCssColour(value, current ? ColourForms::Current : ColourForms::Css1)), expected);
}

void TestColourSpans::namesAgreeWithQt()
{
    // Qt's table of named colours is the same list but for the newest name.
    const QStringList names = QColor::colorNames();
    QCOMPARE(names.size(), 148);
    for (const QString &name : names) {
        const std::optional<CssColour> ours = NamedColour(name, ColourForms::Current);
        QVERIFY2(ours, qPrintable(name));
        const QColor theirs = QColor::fromString(name);
        QCOMPARE(ours->rgb, makeColour(theirs.red(), theirs.green(), theirs.blue()));
        QCOMPARE(ours->alpha, theirs.alpha());
    }
}

void TestColourSpans::writeBack_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("colour"); // rrggbb
    QTest::addColumn<QString>("expected");
    QTest::newRow("short hex stays short") << "#fff" << "aabbcc" << "#abc";
    QTest::newRow("short hex grows when it must") << "#fff" << "12abcd" << "#12abcd";
    QTest::newRow("long hex stays long") << "#ffffff" << "aabbcc" << "#aabbcc";
    QTest::newRow("letter case kept") << "#FFF" << "aabbcc" << "#ABC";
    QTest::newRow("digits only: lower case") << "#000" << "aabbc0" << "#aabbc0";
    QTest::newRow("alpha kept, short") << "#fff8" << "aabbcc" << "#abc8";
    QTest::newRow("alpha kept, grown") << "#fff8" << "12abcd" << "#12abcd88";
    QTest::newRow("alpha kept, long") << "#ffffff80" << "aabbcc" << "#aabbcc80";
    QTest::newRow("rgb numbers") << "rgb(255, 255, 255)" << "0a141e" << "rgb(10, 20, 30)";
    QTest::newRow("rgb spacing kept") << "RGB( 0,0 ,0 )" << "0a141e" << "RGB( 10,20 ,30 )";
    QTest::newRow("rgb percentages") << "rgb(0%, 0%, 0%)" << "ff8000" << "rgb(100%, 50%, 0%)";
    QTest::newRow("rgb percentages needing decimals") << "rgb(0%, 0%, 0%)" << "010203" << "rgb(0.4%, 0.8%, 1.2%)";
    QTest::newRow("rgba alpha kept") << "rgba(0, 0, 0, .5)" << "ff0000" << "rgba(255, 0, 0, .5)";
    QTest::newRow("blank form with alpha") << "rgb(0 0% 0 / 50%)" << "ff8000" << "rgb(255 50% 0 / 50%)";
    QTest::newRow("hsl") << "hsl(0, 0%, 0%)" << "00ff00" << "hsl(120, 100%, 50%)";
    QTest::newRow("hsl needing decimals") << "hsl(0, 0%, 0%)" << "123456" << "hsl(210, 65.4%, 20.4%)";
    QTest::newRow("hsl hue unit kept") << "hsl(0deg 0% 0%)" << "0000ff" << "hsl(240deg 100% 50%)";
    QTest::newRow("name to a CSS1 name") << "tomato" << "000080" << "navy";
    QTest::newRow("name to hex") << "red" << "ff6347" << "#ff6347";
    QTest::newRow("transparent to hex") << "transparent" << "112233" << "#112233";
    QTest::newRow("same colour: unchanged") << "tomato" << "ff6347" << "tomato";
    QTest::newRow("no colour") << "bold" << "ff0000" << "";
}

void TestColourSpans::writeBack()
{
    QFETCH(QString, value);
    QFETCH(QString, colour);
    QFETCH(QString, expected);
    const int rgb = colour.toInt(nullptr, 16);
    const ColourValue c = makeColour(rgb >> 16, (rgb >> 8) & 0xFF, rgb & 0xFF);
    const std::optional<QString> written = RewriteCssColour(value, c);
    QCOMPARE(written.value_or(QString()), expected);
    if (written)
        QCOMPARE(describe(ReadCssColour(*written, ColourForms::Current)).left(6), colour);
}

void TestColourSpans::places_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("at"); // the text the offset is at the start of
    QTest::addColumn<QString>("expected");
    const QString sheet = "a.nav:hover, #top > li { font-weight: bold; /* x */ }\n@media print { p { color: red } }";
    QTest::newRow("property") << sheet << "font-weight" << "Property font-weight";
    QTest::newRow("value") << sheet << "bold" << "Value font-weight";
    QTest::newRow("selector member") << sheet << "nav" << "Selector a.nav:hover";
    QTest::newRow("second member") << sheet << "li" << "Selector #top > li";
    QTest::newRow("comment") << sheet << "/* x" << "Other";
    QTest::newRow("blank") << sheet << " bold" << "Other";
    QTest::newRow("media prelude") << sheet << "print" << "Other";
    QTest::newRow("nested value") << sheet << "red" << "Value color";
}

void TestColourSpans::places()
{
    QFETCH(QString, text);
    QFETCH(QString, at);
    QFETCH(QString, expected);
    const CssTokenPlace found = CssPlaceAt(text, FindCommentMarkers(text), text.indexOf(at));
    const char *kinds[] = {"Other", "Selector", "Property", "Value"};
    QString got = QString::fromLatin1(kinds[found.place.kind]);
    if (found.place.kind == CssPlace::Selector)
        got += u' ' + text.mid(found.place.selectorFrom, found.place.selectorTo - found.place.selectorFrom);
    else if (!found.place.property.isEmpty())
        got += u' ' + found.place.property;
    QCOMPARE(got, expected);
}

QTEST_APPLESS_MAIN(TestColourSpans)
#include "tst_colourspans.moc"
