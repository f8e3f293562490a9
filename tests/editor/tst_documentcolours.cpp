#include "editor/colouring.h"
#include "editor/documentcolours.h"
#include "editor/richedit.h"
#include "support/colourcodes.h"
#include "support/files.h"

#include <QAbstractTextDocumentLayout>
#include <QSignalSpy>
#include <QTest>
#include <QTextBlock>
#include <QTextLayout>

using namespace sheetsmith;

namespace {

Colouriser testColouriser(const SyntaxColours &colours = testColours())
{
    Colouriser colouriser;
    colouriser.setColours(colours);
    colouriser.BuildColourTable();
    return colouriser;
}

// The colours, font and comment state the two ways of opening a text leave.
struct Opened
{
    QString codes;
    bool commentOpen = false;
    QString fontName;
    double fontSize = 0;
};

// Opens text in a new editor one way or the other, after a sheet that left a comment
// open when commentOpenBefore: by setting it and colouring the whole document over its
// RTF form, or as a new text coloured from the plain text.
Opened open(const QString &text, bool commentOpenBefore, const SyntaxColours &colours, bool asNewText)
{
    RichEdit edit;
    edit.setEditorFont(QStringLiteral("Mono;{x}"), 10.3);
    Colouriser colouriser = testColouriser(colours);
    if (commentOpenBefore) {
        edit.setText(QStringLiteral("/*"));
        colouriser.ColourDocument(edit);
    }
    if (asNewText) {
        colouriser.ColourNewText(edit, text);
        if (edit.text() != TextModel::toCrLf(text))
            return {};
    } else {
        edit.setText(text);
        colouriser.ColourDocument(edit);
    }
    return {editorColourCodes(edit), colouriser.CommentOpen(), edit.fontName(), edit.fontSize()};
}

Opened openByDocumentPass(const QString &text, bool commentOpenBefore, const SyntaxColours &colours)
{
    return open(text, commentOpenBefore, colours, false);
}

Opened openAsNewText(const QString &text, bool commentOpenBefore, const SyntaxColours &colours)
{
    return open(text, commentOpenBefore, colours, true);
}

} // namespace

class TestDocumentColours : public QObject
{
    Q_OBJECT

private slots:
    void newTextColoursAsTheRtfRoundTrip_data();
    void newTextColoursAsTheRtfRoundTrip();
    void colourTableColours_data();
    void colourTableColours();
    void linesColouredTogetherAsOneByOne_data();
    void linesColouredTogetherAsOneByOne();
    void recolouringWithTheSameColoursKeepsTheLayout();
};

void TestDocumentColours::newTextColoursAsTheRtfRoundTrip_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("commentOpenBefore");

    // The quirks of the RTF rewrite that the plain-text reading must follow.
    QTest::newRow("rules and a comment") << "body {\r\n  color: red; /* x */\r\n}" << false;
    QTest::newRow("a copy of the selector later on the line") << "a {a b" << false;
    QTest::newRow("a copy of the selector splits a comment opener") << "b/{b/*" << false;
    QTest::newRow("a blank after a brace is another unit than a blank") << "a { a { x" << false;
    QTest::newRow("a digit after a brace is another unit than a digit") << "1{1 {1" << false;
    QTest::newRow("a closer alone keeps the colour words before it") << "a } b */ c { d" << false;
    QTest::newRow("closers alone, the last one counts") << "x */ y */ z" << false;
    QTest::newRow("a comment closing on itself") << "/*/ x { y" << false;
    QTest::newRow("an unclosed comment runs on") << "a /* b {\r\nc { d\r\ne */ f {" << false;
    QTest::newRow("a comment carried from the document before") << "a { b\r\nc */ d {" << true;
    QTest::newRow("an empty line inside an open comment") << "/* a\r\n\r\nb */" << false;
    QTest::newRow("braces inside comments, two on a line") << "/* { */ p { } /* } */" << false;
    QTest::newRow("nested braces before the last one") << "a{b{c{d" << false;
    QTest::newRow("tabs, backslashes and control characters")
        << QString::fromUtf8("a\t{\\ \x01 }\t\\{") << false;
    QTest::newRow("characters outside ASCII and outside the plane")
        << QString::fromUtf8("\xC3\xA9 { \xF0\x9F\x98\x80 } \xC3\xA9 {") << false;
    QTest::newRow("a text ending in a break") << "p {\r\n}\r\n" << false;
    QTest::newRow("an empty text") << "" << true;
    QTest::newRow("breaks of other forms") << "a {\nb }\rc" << false;
}

void TestDocumentColours::newTextColoursAsTheRtfRoundTrip()
{
    QFETCH(QString, text);
    QFETCH(bool, commentOpenBefore);
    const Opened viaRtf = openByDocumentPass(text, commentOpenBefore, testColours());
    const Opened direct = openAsNewText(text, commentOpenBefore, testColours());
    QCOMPARE(direct.codes, viaRtf.codes);
    QCOMPARE(direct.commentOpen, viaRtf.commentOpen);
    QCOMPARE(direct.fontName, viaRtf.fontName);
    QCOMPARE(direct.fontSize, viaRtf.fontSize);

    // A colour table in another form goes the RTF way, with the same result.
    SyntaxColours odd = testColours();
    odd.commentDefinition = QStringLiteral("\\red0 \\green128\\blue0");
    QCOMPARE(openAsNewText(text, commentOpenBefore, odd).codes,
             openByDocumentPass(text, commentOpenBefore, odd).codes);
}

void TestDocumentColours::colourTableColours_data()
{
    QTest::addColumn<QString>("table");
    QTest::addColumn<bool>("plain");
    QTest::addColumn<QList<ColourValue>>("colours");

    QTest::newRow("three colours")
        << "{\\colortbl ;\\red0\\green0\\blue255;\\red255\\green0\\blue0;\\red0\\green128\\blue0;}" << true
        << QList<ColourValue>{kAutoColour, kSelector, kBracket, kComment};
    QTest::newRow("empty definitions are automatic")
        << "{\\colortbl ;;\\blue255;;}" << true
        << QList<ColourValue>{kAutoColour, kAutoColour, makeColour(0, 0, 255), kAutoColour};
    QTest::newRow("components above 255 are cut") << "{\\colortbl ;\\red300;;;}" << true
                                                  << QList<ColourValue>{kAutoColour, makeColour(255, 0, 0),
                                                                        kAutoColour, kAutoColour};
    QTest::newRow("a blank in a definition") << "{\\colortbl ;\\red1 ;;;}" << false << QList<ColourValue>{};
    QTest::newRow("a brace in a definition") << "{\\colortbl ;\\red1};;;}" << false << QList<ColourValue>{};
    QTest::newRow("two entries only") << "{\\colortbl ;;;}" << false << QList<ColourValue>{};
}

void TestDocumentColours::colourTableColours()
{
    QFETCH(QString, table);
    QFETCH(bool, plain);
    QFETCH(QList<ColourValue>, colours);
    const auto found = ColourTableColours(table);
    QCOMPARE(found.has_value(), plain);
    if (found)
        QCOMPARE(QList<ColourValue>(found->begin(), found->end()), colours);
}

void TestDocumentColours::linesColouredTogetherAsOneByOne_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("last");

    QTest::newRow("rules, comments, empty lines")
        << "a { b }\r\n\r\n/* c\r\nd { */ e {\r\nx /*/\r\n\r\n}" << 1 << 7;
    QTest::newRow("a part, ending on an empty line") << "p {\r\n/* q\r\n\r\n}" << 2 << 3;
    QTest::newRow("one line") << "x { y" << 1 << 1;
    QTest::newRow("empty lines only") << "a {\r\n\r\n\r\n}" << 2 << 3;
    const QString sample = editorText(corpusDir() + QStringLiteral("/css/normalize.css"));
    QTest::newRow("a sample sheet") << sample << 1 << int(sample.count(QStringLiteral("\r\n")) + 1);
}

void TestDocumentColours::linesColouredTogetherAsOneByOne()
{
    // Colouring lines together must leave the colours, the caret and the colour of new
    // typing that colouring them one after the other leaves.
    QFETCH(QString, text);
    QFETCH(int, first);
    QFETCH(int, last);
    Colouriser colouriser = testColouriser();
    RichEdit together;
    together.setText(text);
    RichEdit oneByOne;
    oneByOne.setText(text);

    colouriser.ColourTextLines(first, last, together);
    for (int n = first; n <= last; ++n) {
        QString line = oneByOne.lineText(n - 1);
        colouriser.ColourLine(line, oneByOne.lineIndex(n - 1) + 1, QStringLiteral("Text"), &oneByOne);
    }
    QCOMPARE(editorColourCodes(together), editorColourCodes(oneByOne));
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (together.colourAt(i) != oneByOne.colourAt(i))
            QFAIL(qPrintable(QStringLiteral("colour at %1").arg(i)));
    }
    QCOMPARE(together.selStart(), oneByOne.selStart());
    QTest::keyClicks(&together, QStringLiteral("z"));
    QTest::keyClicks(&oneByOne, QStringLiteral("z"));
    QCOMPARE(together.colourAt(together.selStart() - 1), oneByOne.colourAt(oneByOne.selStart() - 1));
}

void TestDocumentColours::recolouringWithTheSameColoursKeepsTheLayout()
{
    // Leaving a line that was not edited recolours it with the colours it has: Qt must
    // not lay the line out again (on a minified sheet's long line that is most of the
    // cost of a caret move).
    RichEdit edit;
    edit.resize(400, 200);
    edit.show();
    QVERIFY(QTest::qWaitForWindowExposed(&edit));
    QString line;
    for (int i = 0; i < 200; ++i)
        line += QStringLiteral(".r%1{color:red}/* c */").arg(i);
    edit.setText(line + QStringLiteral("\r\nnext"));
    Colouriser colouriser = testColouriser();
    colouriser.ColourLine(line, 1, QStringLiteral("Text"), &edit);
    edit.repaint();
    const QTextBlock block = edit.document()->firstBlock();
    QVERIFY(block.layout()->lineCount() > 0);
    const QList<QTextLayout::FormatRange> painted = block.layout()->formats();
    QVERIFY(!painted.isEmpty());

    QSignalSpy relaidOut(edit.document()->documentLayout(), &QAbstractTextDocumentLayout::update);
    colouriser.ColourLine(line, 1, QStringLiteral("Text"), &edit);
    edit.repaint();
    QCOMPARE(relaidOut.count(), 0);
    QCOMPARE(block.layout()->formats().size(), painted.size());

    // A colour that does change is painted, and only then is the line laid out again.
    edit.setSelStart(0);
    edit.setSelLength(1);
    edit.setSelColor(makeColour(1, 2, 3));
    edit.repaint();
    QVERIFY(relaidOut.count() > 0);
    QCOMPARE(block.layout()->formats().first().format.foreground().color(), QColor(1, 2, 3));
}

QTEST_MAIN(TestDocumentColours)
#include "tst_documentcolours.moc"
