#include "editor/colouring.h"
#include "editor/colouringrules.h"
#include "editor/richedit.h"
#include "editor/rtf.h"
#include "support/colourcodes.h"
#include "support/files.h"

#include <QSignalSpy>
#include <QTest>
#include <QTextDocument>

using namespace sheetsmith;

namespace {

void prepare(Colouriser &colouriser)
{
    colouriser.setColours(testColours());
    colouriser.BuildColourTable();
}

QString lineCodes(const RichEdit &edit, int line)
{
    return editorColourCodes(edit).split(u'|').value(line);
}

// The colours of RTF content whose table holds the test colours, lines joined by "|".
QString contentCodes(const RtfContent &content)
{
    QString out;
    for (qsizetype i = 0; i < content.text.size(); ++i) {
        if (content.text[i] == u'\r') {
            out += u'|';
            ++i; // the LF
            continue;
        }
        out += colourCode(content.colours[size_t(i)]);
    }
    return out;
}

// An editor RTF document in the line layout, with hand-written text lines (the RTF form
// of each line's text, prefix left out).
QString rtfDocument(const QStringList &textLines)
{
    QString rtf = QStringLiteral("{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fnil Mono;}}\r\n"
                                 "\\viewkind4\\uc1\\pard\\f0\\fs20 ");
    rtf += textLines.join(QStringLiteral("\r\n\\par "));
    rtf += QStringLiteral("\r\n\\par }\r\n");
    return rtf;
}

} // namespace

class TestColouring : public QObject
{
    Q_OBJECT

private slots:
    void documentColours_data();
    void documentColours();
    void rtfLineRules_data();
    void rtfLineRules();
    void commentStateCarriesIntoNextDocument();
    void existingColourTableIsKept();
    void colourLineDispatch_data();
    void colourLineDispatch();
    void textLineColours_data();
    void textLineColours();
    void textLineColoursOpenCommentThroughBreak();
    void textLineLeavesCaretAndTypingColour();
    void textLineSetsColouringThroughout();
    void emptyLineIsNotTouched();
    void textLineFollowsEditsOfComments();
    void colouringLeavesUndoHistoryAlone();
    void corpusTextUnchanged_data();
    void corpusTextUnchanged();
    void newTextColoursAsTheDocumentPass_data();
    void newTextColoursAsTheDocumentPass();
};

// --- Whole-document colouring -------------------------------------------------------------

void TestColouring::documentColours_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");

    QTest::newRow("body then h1: selector with its blank, brace")
        << "body {\r\n  color: red;\r\n}\r\nh1 {\r\n}"
        << "sssssb|.............|b|sssb|b";
    QTest::newRow("brace-only line colours only the brace") << "p\r\n{\r\n}" << ".|b|b";
    QTest::newRow("closed comment resets the selector after it")
        << "/* c */ p { x }" << "ccccccc...b...b";
    QTest::newRow("braces inside a closed comment keep the comment colour")
        << "/* { x } */" << "ccccccccccc";
    QTest::newRow("comment over three lines")
        << "a /* one\r\ntwo\r\nthree */ b\r\nc" << "cccccccc|ccc|cccccccc..|.";
    QTest::newRow("two rules on a line: text between them in default colour")
        << "a { b {" << "ssb...b";
    // Colour words must end with a blank: a word glued to a blank or a digit after a
    // brace would swallow it or take it as its number.
    QTest::newRow("blank after a brace stays") << "h1 { x }" << "sssb...b";
    QTest::newRow("digit after a brace stays") << "a{1}2" << "sb.b.";
    // Replacements stay out of the line's prefix: a one-letter selector must not be
    // found inside "\par".
    QTest::newRow("one-letter selector on a later line")
        << "b {}\r\na {\r\nr {" << "ssbb|ssb|ssb";
    // The comment walk must not find a comment it has already wrapped again.
    QTest::newRow("two identical comments on one line")
        << "/* x */ a /* x */" << "ccccccc...ccccccc";
    QTest::newRow("identical comments around a rule")
        << "/* x */ p { } /* x */ /* x */" << "ccccccc...b.b.ccccccc.ccccccc";
    // Colour words taken out of a comment go with their blank.
    QTest::newRow("comment holding a coloured selector") << "a {/* a */" << "ssbccccccc";
    QTest::newRow("backslash before a brace") << "a\\{b\\}" << "ssb..b";
    QTest::newRow("non-ASCII selector")
        << QString::fromUtf8("\xC3\xA9t\xC3\xA9 {\r\n}") << "ssssb|b";
}

void TestColouring::documentColours()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    RichEdit edit;
    edit.setText(text);
    Colouriser colouriser;
    prepare(colouriser);
    colouriser.ColourDocument(edit);
    QCOMPARE(edit.text(), text);
    QCOMPARE(editorColourCodes(edit), expected);
}

void TestColouring::rtfLineRules_data()
{
    // Text lines in RTF form as other writers may give them, with the colours they
    // must end in; the text read back must equal the text before.
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QString>("expected");

    QTest::newRow("plain blank after a brace") << QStringList{"h1 \\{ x \\}"} << "sssb...b";
    QTest::newRow("plain digit after a brace") << QStringList{"a\\{1\\}2"} << "sb.b.";
    QTest::newRow("selector u next to a unicode escape")
        << QStringList{"u\\{\\u233?u\\}"} << "sb.sb";
    QTest::newRow("selector ? next to a unicode fallback")
        << QStringList{"?\\{\\u233??\\}"} << "sb.sb";
    QTest::newRow("selector 0 next to a hex escape")
        << QStringList{"0 \\{\\'20 0 \\}"} << "ssb..ssb";
    QTest::newRow("selector ending in a hex escape")
        << QStringList{"x\\'41 \\{\\'41 \\}"} << "sssb..b";
    QTest::newRow("selector par on a later line")
        << QStringList{"p", "par \\{"} << ".|ssssb";
    QTest::newRow("tab word inside a comment")
        << QStringList{"/*\\tab x \\{*/ y \\{"} << "cccccccc...b";
    QTest::newRow("colour word in the text is text") << QStringList{"/* \\\\cf1 */"} << "cccccccccc";
    QTest::newRow("self-closing comment marker") << QStringList{"/*/ x */ y"} << "ccc.......";
    QTest::newRow("line that is only a blank") << QStringList{"p", ""} << ".|";
    QTest::newRow("group braces are not text braces")
        << QStringList{"a {\\b b} \\{"} << "ssssb";
}

void TestColouring::rtfLineRules()
{
    QFETCH(QStringList, lines);
    QFETCH(QString, expected);
    const QString rtf = rtfDocument(lines);
    const std::optional<RtfContent> before = readRtf(rtf);
    QVERIFY(before);

    bool commentOpen = false;
    const QString table = ColourTableText(colourToRtfDefinition(kSelector),
                                          colourToRtfDefinition(kBracket),
                                          colourToRtfDefinition(kComment));
    const std::optional<RtfContent> after = readRtf(ColourRtfText(rtf, table, commentOpen));
    QVERIFY(after);
    QCOMPARE(after->text, before->text);
    QCOMPARE(contentCodes(*after), expected);
    QCOMPARE(after->fontName, QStringLiteral("Mono"));
    QCOMPARE(after->fontHalfPoints, 20);
}

void TestColouring::commentStateCarriesIntoNextDocument()
{
    RichEdit edit;
    Colouriser colouriser;
    prepare(colouriser);
    QVERIFY(!colouriser.CommentOpen());

    edit.setText(QStringLiteral("a {\r\n/* open"));
    colouriser.ColourDocument(edit);
    QVERIFY(colouriser.CommentOpen());

    edit.setText(QStringLiteral("q\r\nr */ s\r\nt {"));
    colouriser.ColourDocument(edit);
    QCOMPARE(editorColourCodes(edit), QStringLiteral("c|cccc..|ssb"));
    QVERIFY(!colouriser.CommentOpen());

    // A comment opened and closed on one line leaves the state closed.
    edit.setText(QStringLiteral("/* a\r\n/* b */\r\nc"));
    colouriser.ColourDocument(edit);
    QCOMPARE(editorColourCodes(edit), QStringLiteral("cccc|ccccccc|."));
    QVERIFY(!colouriser.CommentOpen());
}

void TestColouring::existingColourTableIsKept()
{
    const QString table = QStringLiteral("{\\colortbl ;\\red1\\green2\\blue3;}");
    const QString rtf = rtfDocument({QStringLiteral("a \\{")})
                            .replace(QStringLiteral("}}\r\n"), QStringLiteral("}}\r\n") + table
                                                                   + QStringLiteral("\r\n"));
    bool commentOpen = false;
    const QString coloured = ColourRtfText(rtf, ColourTableText(QString(), QString(), QString()),
                                           commentOpen);
    QCOMPARE(coloured.count(QStringLiteral("{\\colortbl ;")), 1);
    QCOMPARE(coloured.split(QStringLiteral("\r\n")).value(1), table);
    const std::optional<RtfContent> back = readRtf(coloured);
    QVERIFY(back);
    QCOMPARE(back->text, QStringLiteral("a {"));
    // Entry 1 of the kept table colours the selector; entry 2 does not exist.
    QCOMPARE(back->colours.front(), makeColour(1, 2, 3));
    QCOMPARE(back->colours.back(), kAutoColour);

    // Without a table, the table goes in as the second line.
    commentOpen = false;
    const QString added = ColourRtfText(rtfDocument({QStringLiteral("a")}), table, commentOpen);
    QCOMPARE(added.count(QStringLiteral("{\\colortbl ;")), 1);
    QCOMPARE(added.split(QStringLiteral("\r\n")).value(1), table);
}

void TestColouring::colourLineDispatch_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<qsizetype>("start");
    QTest::addColumn<QString>("mode");
    QTest::addColumn<bool>("changed");

    QTest::newRow("RTF mode with start -1") << "\\par a \\{" << qsizetype(-1) << "RTF" << true;
    QTest::newRow("RTF mode with start 0") << "\\par a \\{" << qsizetype(0) << "RTF" << false;
    QTest::newRow("mode compared exactly") << "\\par a \\{" << qsizetype(-1) << "rtf" << false;
    QTest::newRow("unknown mode") << "\\par a \\{" << qsizetype(-1) << "" << false;
    QTest::newRow("closing line left alone") << "\\par }" << qsizetype(-1) << "RTF" << false;
    QTest::newRow("line without a blank") << "\\par\\{" << qsizetype(-1) << "RTF" << false;
}

void TestColouring::colourLineDispatch()
{
    QFETCH(QString, line);
    QFETCH(qsizetype, start);
    QFETCH(QString, mode);
    QFETCH(bool, changed);
    Colouriser colouriser;
    prepare(colouriser);
    const QString before = line;
    colouriser.ColourLine(line, start, mode, nullptr);
    QCOMPARE(line != before, changed);
}

// --- Line colouring in the editor -----------------------------------------------------

void TestColouring::textLineColours_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("line");
    QTest::addColumn<QString>("expected");

    // Each case twice: alone, and followed by many lines. In a short document the
    // colours of a line with several runs go in through one rewrite of the document's
    // colours, in a long one run by run; both must give the same colours.
    QString padding;
    for (int i = 0; i < 1000; ++i)
        padding += QStringLiteral("\r\nx: 1;");
    const auto add = [&padding](const char *name, const QString &text, int line,
                                const QString &expected) {
        QTest::addRow("%s, short document", name) << text << line << expected;
        QTest::addRow("%s, long document", name) << text + padding << line << expected;
    };

    add("selector from the line's start", "body {", 0, "sssssb");
    add("brace-only line", "p\r\n{", 1, "b");
    add("closed comment, selector, braces", "/* c */ p { x }", 0, "cccccccsssbkkkb");
    add("each later brace recolours the earlier as selector", "a { b {", 0, "ssssssb");
    add("brace after an opener on the line is skipped", "p { /* } */", 0, "ssbkccccccc");
    add("comment opened before closes on the line", "/* a\r\nb */ c {", 1, "ccccsssb");
    add("line inside an open comment", "/* a\r\nb c", 1, "ccc");
    add("inside an open comment the last brace takes the comment colour", "/* a\r\nb {", 1,
        "ssc");
    add("opener left open recolours the last brace", "p { /* x", 0, "ssckkkkk");
    add("closed then open comment: whole line", "/* a */ b /* c", 0, "cccccccccccccc");
    add("two closed comments", "/* a */ b /* c */", 0, "ccccccckkkccccccc");
    add("closer at the line's first character is not seen", "/* a\r\n*/ b", 1, "kkkk");
    add("self-closing marker closes later on the line", "/*/ x */ y", 0, "cccccccckk");
    add("closing braces outside comments", "}\r\n/* } */ }", 1, "ccccccckb");
    add("comment open from an earlier line leaves the closing brace live", "/*\r\na { b }", 1,
        "ssckkkb");
    add("comment closed on an earlier line is over", "/* a */\r\nb {", 1, "ssb");
    add("non-ASCII selector", QString::fromUtf8("\r\n\xC3\xA9t\xC3\xA9 {"), 1, "ssssb");
}

void TestColouring::textLineColours()
{
    QFETCH(QString, text);
    QFETCH(int, line);
    QFETCH(QString, expected);
    RichEdit edit;
    edit.setText(text);
    Colouriser colouriser;
    prepare(colouriser);
    // The other lines carry colours of their own, which must stay.
    colouriser.ColourDocument(edit);
    const QString before = editorColourCodes(edit);

    QString lineText = edit.lineText(line);
    colouriser.ColourLine(lineText, edit.lineIndex(line) + 1, QStringLiteral("Text"), &edit);

    QCOMPARE(edit.text(), text);
    QCOMPARE(lineCodes(edit, line), expected);
    // Other lines keep their colours.
    QStringList others = before.split(u'|');
    QStringList now = editorColourCodes(edit).split(u'|');
    others.removeAt(line);
    now.removeAt(line);
    QCOMPARE(now, others);
}

void TestColouring::textLineColoursOpenCommentThroughBreak()
{
    // "x /*/": the last "*/" lies after the last "/*", but looking two past the opener
    // the line holds no closer: the comment runs to the line's end and its break.
    RichEdit edit;
    edit.setText(QStringLiteral("x /*/\r\ny"));
    Colouriser colouriser;
    prepare(colouriser);
    QString line = edit.lineText(0);
    colouriser.ColourLine(line, 1, QStringLiteral("Text"), &edit);
    QCOMPARE(lineCodes(edit, 0), QStringLiteral("kkccc"));
    QCOMPARE(edit.colourAt(5), kComment);
    QCOMPARE(edit.colourAt(6), kComment);
    QCOMPARE(edit.colourAt(7), kAutoColour);

    // A closed comment leaves the break alone.
    edit.setText(QStringLiteral("x /* a */\r\ny"));
    line = edit.lineText(0);
    colouriser.ColourLine(line, 1, QStringLiteral("Text"), &edit);
    QCOMPARE(edit.colourAt(9), kAutoColour);
}

void TestColouring::textLineLeavesCaretAndTypingColour()
{
    RichEdit edit;
    edit.setText(QStringLiteral("a {\r\nb {\r\nc"));
    Colouriser colouriser;
    prepare(colouriser);

    edit.setSelStart(0);
    QString line = edit.lineText(1);
    colouriser.ColourLine(line, 6, QStringLiteral("Text"), &edit);
    QCOMPARE(edit.selStart(), qsizetype(8));
    QCOMPARE(edit.selLength(), qsizetype(0));
    // New typing at the caret is black, not the brace colour before it.
    QTest::keyClicks(&edit, QStringLiteral("x"));
    QCOMPARE(edit.text(), QStringLiteral("a {\r\nb {x\r\nc"));
    QCOMPARE(edit.colourAt(8), ColourValue(0));

    // On the last line the caret goes to the end of the text.
    line = edit.lineText(2);
    colouriser.ColourLine(line, 12, QStringLiteral("Text"), &edit);
    QCOMPARE(edit.selStart(), qsizetype(12));
}

void TestColouring::textLineSetsColouringThroughout()
{
    RichEdit edit;
    edit.setText(QStringLiteral("x\r\na { b } /* c */"));
    Colouriser colouriser;
    prepare(colouriser);
    QList<bool> seen;
    connect(&edit, &RichEdit::selChanged, this, [&seen, &edit] { seen << edit.colouring(); });

    QString line = edit.lineText(1);
    colouriser.ColourLine(line, 4, QStringLiteral("Text"), &edit);
    QVERIFY(!seen.isEmpty());
    QVERIFY(!seen.contains(false));
    QVERIFY(!edit.colouring());

    // Both colourings give back the value they found: inside a caller's own scope (a
    // paste recolouring its lines) the flag stays set to the caller's end.
    {
        const ColouringScope outer(edit);
        line = edit.lineText(1);
        colouriser.ColourLine(line, 4, QStringLiteral("Text"), &edit);
        QVERIFY(edit.colouring());
        colouriser.ColourDocument(edit);
        QVERIFY(edit.colouring());
    }
    QVERIFY(!edit.colouring());
    colouriser.ColourDocument(edit);
    QVERIFY(!edit.colouring());
}

void TestColouring::emptyLineIsNotTouched()
{
    RichEdit edit;
    edit.setText(QStringLiteral("a {\r\n\r\nb"));
    Colouriser colouriser;
    prepare(colouriser);
    edit.setSelStart(1);
    QSignalSpy spy(&edit, &RichEdit::selChanged);

    QString empty;
    colouriser.ColourLine(empty, 6, QStringLiteral("Text"), &edit);
    QVERIFY(!edit.colouring());
    {
        const ColouringScope outer(edit);
        colouriser.ColourLine(empty, 6, QStringLiteral("Text"), &edit);
        QVERIFY(edit.colouring());
    }
    // A start of 0 or another mode does nothing either.
    QString line = edit.lineText(0);
    colouriser.ColourLine(line, 0, QStringLiteral("Text"), &edit);
    colouriser.ColourLine(line, 1, QStringLiteral("text"), &edit);

    QCOMPARE(spy.count(), 0);
    QCOMPARE(edit.selStart(), qsizetype(1));
    QCOMPARE(editorColourCodes(edit), QStringLiteral("...||."));
}

void TestColouring::textLineFollowsEditsOfComments()
{
    RichEdit edit;
    edit.setText(QStringLiteral("a\r\nb {\r\nc"));
    Colouriser colouriser;
    prepare(colouriser);
    QString line = edit.lineText(1);
    colouriser.ColourLine(line, 4, QStringLiteral("Text"), &edit);
    QCOMPARE(lineCodes(edit, 1), QStringLiteral("ssb"));

    // An opener typed on the line before puts the line inside a comment.
    edit.setSelStart(0);
    edit.setSelText(QStringLiteral("/* "));
    line = edit.lineText(1);
    colouriser.ColourLine(line, 7, QStringLiteral("Text"), &edit);
    QCOMPARE(lineCodes(edit, 1), QStringLiteral("ssc"));

    // Closing it on the line itself: the line's start through "*/".
    edit.setSelStart(7);
    edit.setSelText(QStringLiteral("*/"));
    line = edit.lineText(1);
    colouriser.ColourLine(line, 7, QStringLiteral("Text"), &edit);
    QCOMPARE(lineCodes(edit, 1), QStringLiteral("cccsb"));

    // Undoing both edits brings the first state back.
    edit.undo();
    edit.undo();
    QCOMPARE(edit.text(), QStringLiteral("a\r\nb {\r\nc"));
    line = edit.lineText(1);
    colouriser.ColourLine(line, 4, QStringLiteral("Text"), &edit);
    QCOMPARE(lineCodes(edit, 1), QStringLiteral("ssb"));
}

void TestColouring::colouringLeavesUndoHistoryAlone()
{
    RichEdit edit;
    edit.setText(QStringLiteral("p {\r\n}"));
    edit.setSelStart(3);
    QTest::keyClicks(&edit, QStringLiteral(" x"));
    const int steps = edit.document()->availableUndoSteps();
    const bool modified = edit.document()->isModified();
    QVERIFY(steps > 0);

    Colouriser colouriser;
    prepare(colouriser);
    colouriser.ColourDocument(edit);
    QString line = edit.lineText(0);
    colouriser.ColourLine(line, 1, QStringLiteral("Text"), &edit);
    QCOMPARE(edit.document()->availableUndoSteps(), steps);
    QCOMPARE(edit.document()->isModified(), modified);
    QCOMPARE(edit.document()->availableRedoSteps(), 0);

    // Undo takes back the typing, not a colouring.
    edit.undo();
    QCOMPARE(edit.text(), QStringLiteral("p {\r\n}"));
}

// --- Real sheets -----------------------------------------------------------------------

void TestColouring::corpusTextUnchanged_data()
{
    addCorpusRows();
}

void TestColouring::corpusTextUnchanged()
{
    QFETCH(QString, path);
    const QString text = editorText(path);
    QVERIFY(!text.isEmpty());
    RichEdit edit;
    edit.setText(text);
    Colouriser colouriser;
    prepare(colouriser);
    colouriser.ColourDocument(edit);
    const QString after = edit.text();
    if (after != text) {
        qsizetype at = 0;
        while (at < after.size() && at < text.size() && after[at] == text[at])
            ++at;
        QFAIL(qPrintable(QStringLiteral("text changed at %1: \"%2\" became \"%3\"")
                             .arg(at)
                             .arg(text.mid(std::max<qsizetype>(at - 20, 0), 40),
                                  after.mid(std::max<qsizetype>(at - 20, 0), 40))));
    }

    // Every brace ends in the brace colour or, inside a closed comment, the comment
    // colour; a brace in the default colour means a brace was not wrapped.
    qsizetype braces = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != u'{' && text[i] != u'}')
            continue;
        ++braces;
        const ColourValue colour = edit.colourAt(i);
        if (colour != kBracket && colour != kComment)
            QFAIL(qPrintable(QStringLiteral("brace at %1 has colour %2").arg(i).arg(colour)));
    }
    QVERIFY(braces > 0);
}

void TestColouring::newTextColoursAsTheDocumentPass_data()
{
    corpusTextUnchanged_data();
}

void TestColouring::newTextColoursAsTheDocumentPass()
{
    QFETCH(QString, path);
    const QString text = editorText(path);
    // Opening with a comment left open by an earlier document, so the carried state
    // is compared too.
    RichEdit viaDocument;
    Colouriser first;
    prepare(first);
    viaDocument.setText(QStringLiteral("/* open"));
    first.ColourDocument(viaDocument);
    viaDocument.setText(text);
    first.ColourDocument(viaDocument);

    RichEdit viaNewText;
    Colouriser second;
    prepare(second);
    viaNewText.setText(QStringLiteral("/* open"));
    second.ColourDocument(viaNewText);
    second.ColourNewText(viaNewText, text);

    QCOMPARE(viaNewText.text(), text);
    QCOMPARE(second.CommentOpen(), first.CommentOpen());
    QVERIFY(editorColourCodes(viaNewText) == editorColourCodes(viaDocument));
    QCOMPARE(viaNewText.selStart(), 0);
}

QTEST_MAIN(TestColouring)
#include "tst_colouring.moc"
