#include "editor/qtcolour.h"
#include "editor/richedit.h"

#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QSignalSpy>
#include <QTest>
#include <QTextBlock>
#include <QTextLayout>


using namespace sheetsmith;

namespace {

const ColourValue kBlue = makeColour(0, 0, 255);
const ColourValue kRed = makeColour(200, 0, 0);
const ColourValue kGreen = makeColour(0, 128, 0);

// The document's own text in the editor's CR LF form (tests use no characters that
// toPlainText rewrites).
QString documentText(const RichEdit &edit)
{
    return edit.toPlainText().replace(u'\n', QStringLiteral("\r\n"));
}

// Runs a script of editor actions, one "op:argument" per step.
void run(RichEdit &edit, const QStringList &script)
{
    for (const QString &step : script) {
        const qsizetype colon = step.indexOf(u':');
        const QString op = colon < 0 ? step : step.left(colon);
        const QString arg = colon < 0 ? QString() : step.mid(colon + 1);
        if (op == u"set") {
            edit.setText(arg);
        } else if (op == u"plain") {
            edit.setPlainText(arg);
        } else if (op == u"type") {
            QTest::keyClicks(&edit, arg);
        } else if (op == u"key") {
            const QKeyCombination key = QKeySequence::fromString(arg)[0];
            QTest::keyClick(&edit, key.key(), key.keyboardModifiers());
        } else if (op == u"caret") {
            edit.setSelStart(arg.toLongLong());
        } else if (op == u"select") {
            edit.setSelLength(arg.toLongLong());
        } else if (op == u"insert") {
            edit.setSelText(arg);
        } else if (op == u"paste") {
            QGuiApplication::clipboard()->setText(arg);
            QTest::keyClick(&edit, Qt::Key_V, Qt::ControlModifier);
        } else if (op == u"undo") {
            edit.undo();
        } else if (op == u"redo") {
            edit.redo();
        } else if (op == u"colour") {
            edit.setSelColor(arg.toInt());
        } else if (op == u"rtf") {
            edit.setTextRTF(edit.textRTF());
        } else if (op == u"find") {
            edit.find(arg);
        } else {
            QFAIL(qPrintable("unknown step " + step));
        }
    }
}

// The colour the highlighter painted on each character of a block.
std::vector<ColourValue> paintedColours(const QTextBlock &block)
{
    std::vector<ColourValue> out(size_t(block.length() - 1), kAutoColour);
    for (const QTextLayout::FormatRange &range : block.layout()->formats()) {
        for (int i = range.start; i < range.start + range.length && size_t(i) < out.size(); ++i)
            out[size_t(i)] = colourFromQColor(range.format.foreground().color());
    }
    return out;
}

std::vector<ColourValue> storedColours(const RichEdit &edit, const QTextBlock &block)
{
    std::vector<ColourValue> out;
    const qsizetype start = edit.model().fromQtPosition(block.position());
    for (qsizetype i = 0; i < block.length() - 1; ++i)
        out.push_back(edit.colourAt(start + i));
    return out;
}

} // namespace

class TestRichEdit : public QObject
{
    Q_OBJECT

private slots:
    void setColoursByCharacter();
    void modelFollowsEdits_data();
    void modelFollowsEdits();
    void selChangedOncePerChange_data();
    void selChangedOncePerChange();
    void selChangedSeesTheNewText_data();
    void selChangedSeesTheNewText();
    void selectionOffsets_data();
    void selectionOffsets();
    void setSelTextIsOneUndoStep();
    void replaceEachKeepsTheColoursBetween();
    void colouringLeavesUndoAndModifiedAlone();
    void insertedTextTakesPrecedingColour_data();
    void insertedTextTakesPrecedingColour();
    void colourForNewTyping();
    void formatChangeKeepsColours();
    void paintedColoursFollowTheLayer();
    void textRtfRoundTrip();
    void setTextRtfWithSameTextKeepsCaretAndUndo();
    void setTextRtfIgnoresWhatIsNotRtf();
    void selRtfRoundTrip();
    void findSelectsTheMatch();
    void lineOperations_data();
    void lineOperations();
    void lineOperationsOfTheCaret();
    void charFromPos();
    void keyDownCanConsume();
    void mouseUpReportsButtonAndPosition();
    void copyOffersRtf();
    void dragStartOffersRtf();
    void dropHandledByWindow();
};

void TestRichEdit::modelFollowsEdits_data()
{
    QTest::addColumn<QStringList>("script");
    QTest::addColumn<QString>("expected");
    QTest::newRow("typing") << QStringList{"type:abc"} << "abc";
    QTest::newRow("Enter splits a line") << QStringList{"set:abcd", "caret:2", "key:Return"} << "ab\r\ncd";
    QTest::newRow("Enter at the end") << QStringList{"set:ab", "caret:2", "key:Return", "type:c"} << "ab\r\nc";
    QTest::newRow("Backspace across a break")
        << QStringList{"set:ab\r\ncd", "caret:4", "key:Backspace"} << "abcd";
    QTest::newRow("Delete across a break") << QStringList{"set:ab\r\ncd", "caret:2", "key:Del"} << "abcd";
    QTest::newRow("Delete the last break") << QStringList{"set:ab\r\n", "caret:2", "key:Del"} << "ab";
    QTest::newRow("paste lines") << QStringList{"set:ad", "caret:1", "paste:b\nc\r\n"} << "ab\r\nc\r\nd";
    QTest::newRow("paste over a selection across lines")
        << QStringList{"set:ab\r\ncd\r\nef", "caret:1", "select:6", "paste:X\nY"} << "aX\r\nYef";
    QTest::newRow("select all and type") << QStringList{"set:a\r\nb\r\nc", "key:Ctrl+A", "type:z"} << "z";
    QTest::newRow("select all and delete") << QStringList{"set:a\r\nb", "key:Ctrl+A", "key:Del"} << "";
    QTest::newRow("undo a paste") << QStringList{"set:ad", "caret:1", "paste:b\nc", "undo"} << "ad";
    QTest::newRow("undo and redo typing")
        << QStringList{"set:x", "caret:1", "type:ab", "key:Return", "type:cd", "undo", "undo", "redo"}
        << "xab\r\n";
    QTest::newRow("undo everything") << QStringList{"type:a", "key:Return", "type:b", "undo", "undo", "undo",
                                                    "undo"}
                                     << "";
    QTest::newRow("setText takes any break form") << QStringList{"set:a\nb\rc\r\nd"} << "a\r\nb\r\nc\r\nd";
    QTest::newRow("base class setPlainText") << QStringList{"set:old\r\ntext", "plain:new\ntext\n"}
                                             << "new\r\ntext\r\n";
    QTest::newRow("base class setPlainText with same start")
        << QStringList{"set:abc\r\nd", "plain:abc\r\ne", "type:x"} << "xabc\r\ne";
    QTest::newRow("setSelText multi-line") << QStringList{"set:ab", "caret:1", "insert:1\r\n2\n3"}
                                           << "a1\r\n2\r\n3b";
    QTest::newRow("non-ASCII and non-BMP") << QStringList{"set:\xC3\xA9", "caret:1", "insert:\xF0\x9F\x98\x80\n",
                                                          "key:Backspace", "key:Backspace"}
                                           << QString::fromUtf8("\xC3\xA9");
}

void TestRichEdit::modelFollowsEdits()
{
    QFETCH(QStringList, script);
    QFETCH(QString, expected);
    RichEdit edit;
    edit.show();
    for (const QString &step : script) {
        run(edit, {step});
        QCOMPARE(edit.text(), documentText(edit));
    }
    QCOMPARE(edit.text(), expected);
    const TextModel fresh(expected);
    QCOMPARE(edit.lineCount(), fresh.lineCount());
    for (int i = 0; i < fresh.lineCount(); ++i)
        QCOMPARE(edit.lineIndex(i), fresh.lineStart(i));
}

void TestRichEdit::selChangedOncePerChange_data()
{
    QTest::addColumn<QStringList>("setup");
    QTest::addColumn<QStringList>("action");
    QTest::addColumn<int>("count");
    const QStringList base = {"set:abc\r\ndef", "caret:1"};
    QTest::newRow("typing a character") << base << QStringList{"type:x"} << 1;
    QTest::newRow("Delete, caret stays") << base << QStringList{"key:Del"} << 1;
    QTest::newRow("Backspace across a break") << QStringList{"set:abc\r\ndef", "caret:5"}
                                              << QStringList{"key:Backspace"} << 1;
    QTest::newRow("Enter") << base << QStringList{"key:Return"} << 1;
    QTest::newRow("arrow key") << base << QStringList{"key:Right"} << 1;
    QTest::newRow("arrow key that cannot move") << QStringList{"set:abc", "caret:3"} << QStringList{"key:Right"}
                                                << 0;
    QTest::newRow("Shift+Right") << base << QStringList{"key:Shift+Right"} << 1;
    QTest::newRow("Ctrl+A") << base << QStringList{"key:Ctrl+A"} << 1;
    QTest::newRow("undo of typing") << QStringList{"set:abc", "caret:3", "type:xy"} << QStringList{"undo"} << 1;
    QTest::newRow("redo") << QStringList{"set:abc", "caret:3", "type:xy", "undo"} << QStringList{"redo"} << 1;
    QTest::newRow("undo of a Delete, caret moves after the edit") << QStringList{"set:abc", "caret:1", "key:Del"}
                                                                  << QStringList{"undo"} << 1;
    QTest::newRow("Ctrl+Z") << QStringList{"set:abc", "caret:3", "type:xy"} << QStringList{"key:Ctrl+Z"} << 1;
    QTest::newRow("paste") << base << QStringList{"paste:p\nq"} << 1;
    QTest::newRow("program moves the caret") << base << QStringList{"caret:4"} << 1;
    QTest::newRow("program puts the caret where it is") << base << QStringList{"caret:1"} << 0;
    QTest::newRow("program selects") << base << QStringList{"select:3"} << 1;
    QTest::newRow("program inserts") << base << QStringList{"insert:zz"} << 1;
    QTest::newRow("program replaces a selection") << QStringList{"set:abc", "caret:0", "select:2"}
                                                  << QStringList{"insert:Q"} << 1;
    QTest::newRow("program sets the text") << base << QStringList{"set:other"} << 1;
    QTest::newRow("program sets the same text, caret at 0") << QStringList{"set:abc", "caret:0"}
                                                            << QStringList{"set:abc"} << 1;
    QTest::newRow("each program step reports") << base << QStringList{"caret:0", "select:2", "caret:2"} << 3;
    QTest::newRow("find that selects") << base << QStringList{"find:def"} << 1;
    QTest::newRow("find that fails") << base << QStringList{"find:zzz"} << 0;
    QTest::newRow("colouring a selection") << QStringList{"set:abc", "caret:0", "select:2"}
                                           << QStringList{"colour:255"} << 0;
    QTest::newRow("colour for new typing") << base << QStringList{"colour:255"} << 0;
    QTest::newRow("rewriting the RTF") << base << QStringList{"rtf"} << 0;
}

void TestRichEdit::selChangedOncePerChange()
{
    QFETCH(QStringList, setup);
    QFETCH(QStringList, action);
    QFETCH(int, count);
    RichEdit edit;
    edit.show();
    run(edit, setup);
    QSignalSpy spy(&edit, &RichEdit::selChanged);
    run(edit, action);
    QCOMPARE(spy.count(), count);
}

void TestRichEdit::selChangedSeesTheNewText_data()
{
    QTest::addColumn<bool>("focused");
    QTest::newRow("shown") << false;
    // With the focus, Qt asks the editor about input methods from inside its own
    // document edits: no report may come out of those.
    QTest::newRow("focused in the active window") << true;
}

void TestRichEdit::selChangedSeesTheNewText()
{
    QFETCH(bool, focused);
    RichEdit edit;
    edit.show();
    if (focused) {
        edit.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&edit));
        edit.setFocus();
        QVERIFY(edit.hasFocus());
    }
    QStringList problems;
    int calls = 0;
    connect(&edit, &RichEdit::selChanged, this, [&] {
        ++calls;
        if (edit.text() != documentText(edit))
            problems << "text differs: " + edit.text();
        const int line = edit.lineFromChar(edit.selStart());
        if (line != edit.textCursor().blockNumber() && !edit.textCursor().hasSelection())
            problems << QStringLiteral("caret line %1").arg(line);
        if (edit.lineCount() != edit.document()->blockCount())
            problems << QStringLiteral("line count %1").arg(edit.lineCount());
    });
    run(edit, {"type:ab", "key:Return", "type:c", "key:Backspace", "key:Backspace", "key:Return", "undo",
               "redo", "paste:x\ny\n", "key:Up", "key:Del", "key:Ctrl+A", "key:Del", "type:zz", "set:a\r\nb", "insert:q\r\n"});
    QVERIFY(calls >= 15);
    QCOMPARE(problems, QStringList());
}

void TestRichEdit::selectionOffsets_data()
{
    QTest::addColumn<qsizetype>("start");
    QTest::addColumn<qsizetype>("length");
    QTest::addColumn<qsizetype>("selStart");
    QTest::addColumn<qsizetype>("selLength");
    QTest::addColumn<QString>("selText");
    // Text: "ab" CR LF "cd"
    QTest::newRow("caret on CR") << qsizetype(2) << qsizetype(0) << qsizetype(2) << qsizetype(0) << "";
    QTest::newRow("caret between CR and LF goes to line end")
        << qsizetype(3) << qsizetype(0) << qsizetype(2) << qsizetype(0) << "";
    QTest::newRow("caret past the end clamps") << qsizetype(99) << qsizetype(0) << qsizetype(6) << qsizetype(0)
                                               << "";
    QTest::newRow("negative caret clamps") << qsizetype(-3) << qsizetype(0) << qsizetype(0) << qsizetype(0) << "";
    QTest::newRow("a break counts two") << qsizetype(1) << qsizetype(3) << qsizetype(1) << qsizetype(3)
                                        << "b\r\n";
    QTest::newRow("end between CR and LF takes the break")
        << qsizetype(1) << qsizetype(2) << qsizetype(1) << qsizetype(3) << "b\r\n";
    QTest::newRow("length past the end clamps") << qsizetype(0) << qsizetype(100) << qsizetype(0) << qsizetype(6)
                                                << "ab\r\ncd";
    QTest::newRow("negative length is none") << qsizetype(1) << qsizetype(-1) << qsizetype(1) << qsizetype(0)
                                             << "";
}

void TestRichEdit::selectionOffsets()
{
    QFETCH(qsizetype, start);
    QFETCH(qsizetype, length);
    QFETCH(qsizetype, selStart);
    QFETCH(qsizetype, selLength);
    QFETCH(QString, selText);
    RichEdit edit;
    edit.setText(QStringLiteral("ab\r\ncd"));
    edit.setSelStart(start);
    edit.setSelLength(length);
    QCOMPARE(edit.selStart(), selStart);
    QCOMPARE(edit.selLength(), selLength);
    QCOMPARE(edit.selText(), selText);
}

void TestRichEdit::setSelTextIsOneUndoStep()
{
    RichEdit edit;
    edit.show();
    run(edit, {"type:ab", "insert:X\nY", "type:c"});
    QCOMPARE(edit.text(), QStringLiteral("abX\r\nYc"));
    QCOMPARE(edit.selStart(), 7);
    edit.undo();
    QCOMPARE(edit.text(), QStringLiteral("abX\r\nY"));
    edit.undo();
    QCOMPARE(edit.text(), QStringLiteral("ab"));
    edit.undo();
    QCOMPARE(edit.text(), QString());
}

void TestRichEdit::replaceEachKeepsTheColoursBetween()
{
    RichEdit edit;
    edit.setText(QStringLiteral("a.b\r\n.c."));
    edit.setColours(0, {1, 2, 3, 4, 4, 6, 7, 8});
    QSignalSpy reports(&edit, &RichEdit::textEdited);
    edit.replaceEach({1, 5, 7}, 1, QStringLiteral("--"));
    QCOMPARE(edit.text(), QStringLiteral("a--b\r\n--c--"));
    QCOMPARE(reports.count(), 1);
    // Each replacement in the colour before it, the rest as it was.
    QList<ColourValue> colours;
    for (qsizetype i = 0; i < edit.text().size(); ++i)
        colours << edit.colourAt(i);
    QCOMPARE(colours, (QList<ColourValue>{1, 1, 1, 3, 4, 4, 4, 4, 7, 7, 7}));
    QCOMPARE(edit.selStart(), edit.text().size());
    edit.undo();
    QCOMPARE(edit.text(), QStringLiteral("a.b\r\n.c."));
}

void TestRichEdit::colouringLeavesUndoAndModifiedAlone()
{
    RichEdit edit;
    edit.show();
    run(edit, {"set:a {\r\n}", "caret:3", "type:xy"});
    const int undoSteps = edit.document()->availableUndoSteps();
    const bool modified = edit.document()->isModified();
    QVERIFY(undoSteps > 0);

    run(edit, {"caret:0", "select:3", "colour:255"});
    edit.setSelColor(kBlue);
    edit.setSelStart(1);
    edit.setSelColor(kRed);
    RtfContent recoloured = *readRtf(edit.textRTF());
    recoloured.colours.assign(recoloured.colours.size(), kGreen);
    edit.setTextRTF(writeRtf(recoloured));
    QCOMPARE(edit.colourAt(0), kGreen);

    QCOMPARE(edit.document()->availableUndoSteps(), undoSteps);
    QCOMPARE(edit.document()->isModified(), modified);
    // Undo takes back the typing, not a colour.
    edit.undo();
    QCOMPARE(edit.text(), QStringLiteral("a {\r\n}"));
    QCOMPARE(edit.colourAt(0), kGreen);
}

void TestRichEdit::insertedTextTakesPrecedingColour_data()
{
    QTest::addColumn<QStringList>("action");
    QTest::addColumn<qsizetype>("from");
    QTest::addColumn<qsizetype>("count");
    QTest::addColumn<int>("colour");
    // "ab" blue, the break automatic, "cd" red
    QTest::newRow("typing after a coloured character") << QStringList{"caret:2", "type:x"} << qsizetype(2)
                                                       << qsizetype(1) << kBlue;
    QTest::newRow("typing at a line start takes the break's") << QStringList{"caret:4", "type:x"} << qsizetype(4)
                                                              << qsizetype(1) << kAutoColour;
    QTest::newRow("typing at the text start takes the first's") << QStringList{"caret:0", "type:x"}
                                                                << qsizetype(0) << qsizetype(1) << kBlue;
    QTest::newRow("Enter inside coloured text") << QStringList{"caret:1", "key:Return"} << qsizetype(1)
                                                << qsizetype(2) << kBlue;
    QTest::newRow("program insertion") << QStringList{"caret:5", "insert:zz"} << qsizetype(5) << qsizetype(2)
                                       << kRed;
    QTest::newRow("paste over a selection") << QStringList{"caret:5", "select:1", "paste:QQ"} << qsizetype(5)
                                            << qsizetype(2) << kRed;
    QTest::newRow("unchanged text keeps its colour") << QStringList{"caret:0", "type:x"} << qsizetype(5)
                                                     << qsizetype(2) << kRed;
}

void TestRichEdit::insertedTextTakesPrecedingColour()
{
    QFETCH(QStringList, action);
    QFETCH(qsizetype, from);
    QFETCH(qsizetype, count);
    QFETCH(int, colour);
    RichEdit edit;
    edit.show();
    edit.setText(QStringLiteral("ab\r\ncd"));
    edit.setSelStart(0);
    edit.setSelLength(2);
    edit.setSelColor(kBlue);
    edit.setSelStart(4);
    edit.setSelLength(2);
    edit.setSelColor(kRed);
    run(edit, action);
    for (qsizetype i = from; i < from + count; ++i)
        QCOMPARE(edit.colourAt(i), colour);
}

void TestRichEdit::colourForNewTyping()
{
    RichEdit edit;
    edit.show();
    edit.setText(QStringLiteral("ab"));
    edit.setSelStart(1);
    edit.setSelColor(kGreen);
    QCOMPARE(edit.colourAt(1), kAutoColour);
    QTest::keyClicks(&edit, QStringLiteral("xy"));
    QCOMPARE(edit.text(), QStringLiteral("axyb"));
    QCOMPARE(edit.colourAt(0), kAutoColour);
    QCOMPARE(edit.colourAt(1), kGreen);
    QCOMPARE(edit.colourAt(2), kGreen);
    QCOMPARE(edit.colourAt(3), kAutoColour);

    // A colour for new typing is forgotten once the caret moves.
    edit.setSelStart(0);
    edit.setSelColor(kRed);
    edit.setSelStart(1);
    edit.setSelStart(0);
    QTest::keyClicks(&edit, QStringLiteral("z"));
    QCOMPARE(edit.colourAt(0), kAutoColour);
}

void TestRichEdit::formatChangeKeepsColours()
{
    // Qt reports a format change as the range removed and added again; the text is
    // the same, so no colour may change.
    RichEdit edit;
    edit.setText(QStringLiteral("xabc\r\ny"));
    const std::vector<ColourValue> colours = {kBlue, kRed, kGreen};
    for (int i = 0; i < 3; ++i) {
        edit.setSelStart(1 + i);
        edit.setSelLength(1);
        edit.setSelColor(colours[size_t(i)]);
    }
    QSignalSpy spy(&edit, &RichEdit::selChanged);
    QTextCursor range(edit.document());
    range.setPosition(1);
    range.setPosition(6, QTextCursor::KeepAnchor);
    QTextCharFormat bold;
    bold.setFontWeight(QFont::Bold);
    range.mergeCharFormat(bold);
    QCOMPARE(edit.text(), QStringLiteral("xabc\r\ny"));
    for (int i = 0; i < 3; ++i)
        QCOMPARE(edit.colourAt(1 + i), colours[size_t(i)]);
    QCOMPARE(edit.colourAt(0), kAutoColour);
    QCOMPARE(spy.count(), 0);
}

void TestRichEdit::paintedColoursFollowTheLayer()
{
    // Colours reach the layouts of the lines on screen when the editor paints.
    RichEdit edit;
    edit.resize(300, 200);
    edit.show();
    QVERIFY(QTest::qWaitForWindowExposed(&edit));
    run(edit, {"set:h1 {\r\n  x\r\n}", "caret:0", "select:3"});
    edit.setSelColor(kBlue);
    run(edit, {"caret:3", "select:1"});
    edit.setSelColor(kRed);
    run(edit, {"caret:2", "type:2", "caret:7", "key:Return", "type:yy"});
    edit.repaint();
    for (QTextBlock block = edit.document()->begin(); block.isValid(); block = block.next())
        QCOMPARE(paintedColours(block), storedColours(edit, block));
    QCOMPARE(paintedColours(edit.document()->firstBlock()).at(2), kBlue);

    RtfContent whole = *readRtf(edit.textRTF());
    whole.colours[whole.colours.size() - 1] = kGreen;
    edit.setTextRTF(writeRtf(whole));
    edit.repaint();
    for (QTextBlock block = edit.document()->begin(); block.isValid(); block = block.next())
        QCOMPARE(paintedColours(block), storedColours(edit, block));
    QCOMPARE(edit.colourAt(2), kBlue);
    QCOMPARE(edit.colourAt(4), kRed);
    QCOMPARE(edit.colourAt(edit.text().size() - 1), kGreen);
}

void TestRichEdit::textRtfRoundTrip()
{
    RichEdit source;
    source.setText(QString::fromUtf8("h1 {\r\n\tcolor: red; /* \xC3\xA9 \\ */\r\n\r\n}\r\n"));
    source.setEditorFont(QStringLiteral("DejaVu Sans Mono"), 11.5);
    source.setSelStart(0);
    source.setSelLength(3);
    source.setSelColor(kBlue);
    source.setSelStart(3);
    source.setSelLength(1);
    source.setSelColor(kRed);
    source.setSelStart(20);
    source.setSelLength(12);
    source.setSelColor(kGreen);

    RichEdit target;
    target.setTextRTF(source.textRTF());
    QCOMPARE(target.text(), source.text());
    QCOMPARE(target.fontName(), QStringLiteral("DejaVu Sans Mono"));
    QCOMPARE(target.fontSize(), 11.5);
    for (qsizetype i = 0; i < source.text().size(); ++i)
        QCOMPARE(target.colourAt(i), source.colourAt(i));
    QCOMPARE(target.textRTF(), source.textRTF());
}

void TestRichEdit::setTextRtfWithSameTextKeepsCaretAndUndo()
{
    RichEdit edit;
    edit.show();
    run(edit, {"type:a {", "key:Return", "type:}", "caret:2"});
    const int undoSteps = edit.document()->availableUndoSteps();
    RtfContent content = *readRtf(edit.textRTF());
    content.colours.assign(content.colours.size(), kRed);
    content.fontHalfPoints = 30;
    edit.setTextRTF(writeRtf(content));
    QCOMPARE(edit.selStart(), 2);
    QCOMPARE(edit.document()->availableUndoSteps(), undoSteps);
    QCOMPARE(edit.colourAt(0), kRed);
    QCOMPARE(edit.fontSize(), 15.0);

    // Other text replaces everything, caret at the start.
    content.text = QStringLiteral("b {\r\n\r\n}");
    content.colours.assign(size_t(content.text.size()), kBlue);
    edit.setTextRTF(writeRtf(content));
    QCOMPARE(edit.text(), content.text);
    QCOMPARE(edit.selStart(), 0);
    QCOMPARE(edit.colourAt(6), kBlue);
}

void TestRichEdit::setTextRtfIgnoresWhatIsNotRtf()
{
    RichEdit edit;
    edit.setText(QStringLiteral("keep"));
    edit.setSelStart(2);
    edit.setSelColor(kRed);
    edit.setEditorFont(QStringLiteral("Mono"), 9);
    const QString before = edit.textRTF();
    QSignalSpy spy(&edit, &RichEdit::selChanged);
    edit.setTextRTF(QStringLiteral("plain text {\\rtf1 x}"));
    edit.setSelRTF(QString());
    QCOMPARE(edit.textRTF(), before);
    QCOMPARE(edit.selStart(), 2);
    QCOMPARE(spy.count(), 0);
}

void TestRichEdit::selRtfRoundTrip()
{
    RichEdit source;
    source.setText(QStringLiteral("a {b}\r\nc"));
    source.setSelStart(2);
    source.setSelLength(3);
    source.setSelColor(kRed);
    source.setSelStart(1);
    source.setSelLength(6);
    const std::optional<RtfContent> selection = readRtf(source.selRTF());
    QVERIFY(selection);
    QCOMPARE(selection->text, QStringLiteral(" {b}\r\n"));
    const std::vector<ColourValue> expected = {kAutoColour, kRed, kRed, kRed, kAutoColour, kAutoColour};
    QCOMPARE(selection->colours, expected);

    RichEdit target;
    target.show();
    run(target, {"type:xy", "caret:1", "select:1"});
    target.setSelRTF(source.selRTF());
    QCOMPARE(target.text(), QStringLiteral("x {b}\r\n"));
    QCOMPARE(target.selStart(), 7);
    QCOMPARE(target.colourAt(2), kRed);
    QCOMPARE(target.colourAt(1), kAutoColour);
    // One undo step takes the whole insertion back.
    target.undo();
    QCOMPARE(target.text(), QStringLiteral("xy"));
    target.undo();
    QCOMPARE(target.text(), QString());
}

void TestRichEdit::findSelectsTheMatch()
{
    // The rule itself is tested on plain text (tst_words); here the editor's own
    // selection as the range, the match selected, and the options passed on.
    // "abc ABC xabc abc" CR LF "abc": matches of abc at 0, 4 (case), 9 (in a word), 13, 18.
    RichEdit edit;
    edit.setText(QStringLiteral("abc ABC xabc abc\r\nabc"));
    edit.setSelStart(8);
    edit.setSelLength(8);
    QCOMPARE(edit.find(QStringLiteral("abc")), qsizetype(9));
    QCOMPARE(edit.selStart(), qsizetype(9));
    QCOMPARE(edit.selText(), QStringLiteral("abc"));

    QCOMPARE(edit.find(QStringLiteral("zzz")), qsizetype(-1));
    QCOMPARE(edit.selStart(), qsizetype(9));
    QCOMPARE(edit.selLength(), qsizetype(3));

    const int options = RichEdit::FindWholeWord | RichEdit::FindMatchCase;
    QCOMPARE(edit.find(QStringLiteral("abc"), 12, 0, options), qsizetype(0));
    QCOMPARE(edit.selStart(), qsizetype(0));

    QCOMPARE(edit.find(QStringLiteral("abc"), 17), qsizetype(18));
    QCOMPARE(edit.selText(), QStringLiteral("abc"));
}

void TestRichEdit::lineOperations_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("operation");
    QTest::addColumn<qsizetype>("argument");
    QTest::addColumn<QString>("result");
    const QString t = QStringLiteral("ab\r\n\r\ncde"); // lines "ab", "", "cde" at 0, 4, 6
    QTest::newRow("count") << t << "count" << qsizetype(0) << "3";
    QTest::newRow("count of empty text") << "" << "count" << qsizetype(0) << "1";
    QTest::newRow("count with final break") << "a\r\n" << "count" << qsizetype(0) << "2";
    QTest::newRow("index of first line") << t << "index" << qsizetype(0) << "0";
    QTest::newRow("index of empty line") << t << "index" << qsizetype(1) << "4";
    QTest::newRow("index of last line") << t << "index" << qsizetype(2) << "6";
    QTest::newRow("index past the last line") << t << "index" << qsizetype(3) << "-1";
    QTest::newRow("index of empty text") << "" << "index" << qsizetype(0) << "0";
    QTest::newRow("index after final break") << "a\r\n" << "index" << qsizetype(1) << "3";
    QTest::newRow("length at a line start") << t << "length" << qsizetype(0) << "2";
    QTest::newRow("length on a CR") << t << "length" << qsizetype(2) << "2";
    QTest::newRow("length on a LF") << t << "length" << qsizetype(3) << "2";
    QTest::newRow("length of empty line") << t << "length" << qsizetype(4) << "0";
    QTest::newRow("length from LF of empty line") << t << "length" << qsizetype(5) << "0";
    QTest::newRow("length of last line at text end") << t << "length" << qsizetype(9) << "3";
    QTest::newRow("length past the text") << t << "length" << qsizetype(10) << "0";
    QTest::newRow("length in empty text") << "" << "length" << qsizetype(0) << "0";
    QTest::newRow("text of a line") << t << "text" << qsizetype(0) << "ab";
    QTest::newRow("text of empty line") << t << "text" << qsizetype(1) << "";
    QTest::newRow("text of last line") << t << "text" << qsizetype(2) << "cde";
    QTest::newRow("text past the last line") << t << "text" << qsizetype(3) << "";
    QTest::newRow("line of a LF") << t << "line" << qsizetype(3) << "0";
    QTest::newRow("line of empty line") << t << "line" << qsizetype(4) << "1";
    QTest::newRow("line of LF of empty line") << t << "line" << qsizetype(5) << "1";
    QTest::newRow("line of text end") << t << "line" << qsizetype(9) << "2";
    QTest::newRow("line past the end") << t << "line" << qsizetype(50) << "2";
    QTest::newRow("line in empty text") << "" << "line" << qsizetype(0) << "0";
}

void TestRichEdit::lineOperations()
{
    QFETCH(QString, text);
    QFETCH(QString, operation);
    QFETCH(qsizetype, argument);
    QFETCH(QString, result);
    RichEdit edit;
    edit.setText(text);
    QString actual;
    if (operation == u"count")
        actual = QString::number(edit.lineCount());
    else if (operation == u"index")
        actual = QString::number(edit.lineIndex(int(argument)));
    else if (operation == u"length")
        actual = QString::number(edit.lineLength(argument));
    else if (operation == u"text")
        actual = edit.lineText(int(argument));
    else if (operation == u"line")
        actual = QString::number(edit.lineFromChar(argument));
    QCOMPARE(actual, result);
}

void TestRichEdit::lineOperationsOfTheCaret()
{
    RichEdit edit;
    edit.setText(QStringLiteral("ab\r\ncdef\r\ng"));
    edit.setSelStart(6);
    QCOMPARE(edit.lineIndex(-1), 4);
    QCOMPARE(edit.lineFromChar(-1), 1);
    QCOMPARE(edit.lineLength(-1), 4);
    // Selection "ef" CR LF "g": "cd" of line 1 and nothing of line 2 unselected.
    edit.setSelLength(5);
    QCOMPARE(edit.selText(), QStringLiteral("ef\r\ng"));
    QCOMPARE(edit.lineIndex(-1), 4);
    QCOMPARE(edit.lineLength(-1), 2);
    // Within one line: the rest of the line.
    edit.setSelStart(5);
    edit.setSelLength(2);
    QCOMPARE(edit.lineLength(-1), 2);
}

void TestRichEdit::charFromPos()
{
    RichEdit edit;
    edit.resize(400, 300);
    edit.show();
    edit.setText(QStringLiteral("abc\r\ndefg\r\n\r\nh"));
    for (const qsizetype offset : {qsizetype(0), qsizetype(2), qsizetype(6), qsizetype(11), qsizetype(13)}) {
        QTextCursor cursor(edit.document());
        cursor.setPosition(int(edit.model().toQtPosition(offset)));
        QCOMPARE(edit.charFromPos(edit.cursorRect(cursor).center()), offset);
    }
}

void TestRichEdit::keyDownCanConsume()
{
    RichEdit edit;
    edit.show();
    QList<int> seen;
    connect(&edit, &RichEdit::keyDown, this, [&seen](QKeyEvent *event, bool *consumed) {
        if (event->key() != Qt::Key_Control)
            seen << event->key();
        if (event->key() == Qt::Key_X || (event->key() == Qt::Key_V && event->modifiers() == Qt::ControlModifier))
            *consumed = true;
    });
    QGuiApplication::clipboard()->setText(QStringLiteral("pasted"));
    QTest::keyClicks(&edit, QStringLiteral("axb"));
    QTest::keyClick(&edit, Qt::Key_V, Qt::ControlModifier);
    QTest::keyClick(&edit, Qt::Key_Tab);
    QCOMPARE(edit.text(), QStringLiteral("ab\t"));
    QCOMPARE(seen, (QList<int>{Qt::Key_A, Qt::Key_X, Qt::Key_B, Qt::Key_V, Qt::Key_Tab}));
}

void TestRichEdit::mouseUpReportsButtonAndPosition()
{
    RichEdit edit;
    edit.resize(300, 200);
    edit.show();
    QSignalSpy spy(&edit, &RichEdit::mouseUp);
    QTest::mouseClick(edit.viewport(), Qt::RightButton, Qt::ShiftModifier, QPoint(20, 10));
    QTest::mouseClick(edit.viewport(), Qt::LeftButton, {}, QPoint(7, 5));
    QCOMPARE(spy.count(), 2);
    QCOMPARE(spy.at(0).at(0).value<Qt::MouseButton>(), Qt::RightButton);
    QCOMPARE(spy.at(0).at(1).value<Qt::KeyboardModifiers>(), Qt::KeyboardModifiers(Qt::ShiftModifier));
    QCOMPARE(spy.at(0).at(2).toPoint(), QPoint(20, 10));
    QCOMPARE(spy.at(1).at(0).value<Qt::MouseButton>(), Qt::LeftButton);
}

void TestRichEdit::copyOffersRtf()
{
    RichEdit edit;
    edit.setText(QStringLiteral("x {y}"));
    edit.setSelStart(2);
    edit.setSelLength(3);
    edit.setSelColor(kRed);
    edit.copy();
    const QMimeData *data = QGuiApplication::clipboard()->mimeData();
    QVERIFY(data);
    QCOMPARE(data->text(), QStringLiteral("{y}"));
    for (const QString &format : {QStringLiteral("text/rtf"), QStringLiteral("application/rtf")}) {
        QVERIFY(data->hasFormat(format));
        const std::optional<RtfContent> content = readRtf(QString::fromLatin1(data->data(format)));
        QVERIFY(content);
        QCOMPARE(content->text, QStringLiteral("{y}"));
        QCOMPARE(content->colours, std::vector<ColourValue>(3, kRed));
    }
}

void TestRichEdit::dragStartOffersRtf()
{
    RichEdit edit;
    edit.resize(300, 200);
    edit.show();
    edit.setText(QStringLiteral("hello\r\nworld"));
    edit.setSelStart(0);
    edit.setSelLength(9);
    QStringList formats;
    QString text;
    connect(&edit, &RichEdit::dragStarting, this, [&](QMimeData *data) {
        formats = data->formats();
        text = readRtf(QString::fromLatin1(data->data(QStringLiteral("text/rtf"))))->text;
    });
    QTextCursor inside(edit.document());
    inside.setPosition(2);
    const QPoint from = edit.cursorRect(inside).center();
    const QPoint to = from + QPoint(QApplication::startDragDistance() + 20, 0);
    QTest::mousePress(edit.viewport(), Qt::LeftButton, {}, from);
    QMouseEvent move(QEvent::MouseMove, to, edit.viewport()->mapToGlobal(to), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QCoreApplication::sendEvent(edit.viewport(), &move);
    QVERIFY(formats.contains(QStringLiteral("text/rtf")));
    QVERIFY(formats.contains(QStringLiteral("application/rtf")));
    QVERIFY(formats.contains(QStringLiteral("text/plain")));
    QCOMPARE(text, QStringLiteral("hello\r\nwo"));
}

void TestRichEdit::dropHandledByWindow()
{
    RichEdit edit;
    edit.resize(300, 200);
    edit.show();
    edit.setText(QStringLiteral("ab"));
    bool handle = true;
    int drops = 0;
    connect(&edit, &RichEdit::dropped, this, [&](QDropEvent *event, bool *handled) {
        ++drops;
        *handled = handle;
        if (handle)
            event->acceptProposedAction();
    });
    QMimeData data;
    data.setText(QStringLiteral("Z"));
    QTextCursor end(edit.document());
    end.movePosition(QTextCursor::End);
    const QPointF at = edit.cursorRect(end).center();
    // A drop goes to the widget the drag entered last.
    QDragEnterEvent enter(at.toPoint(), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(edit.viewport(), &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent handledDrop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(edit.viewport(), &handledDrop);
    QCOMPARE(drops, 1);
    QCOMPARE(edit.text(), QStringLiteral("ab"));

    handle = false;
    QCoreApplication::sendEvent(edit.viewport(), &enter);
    QDropEvent ordinaryDrop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(edit.viewport(), &ordinaryDrop);
    QCOMPARE(drops, 2);
    QCOMPARE(edit.text(), QStringLiteral("abZ"));
}

void TestRichEdit::setColoursByCharacter()
{
    RichEdit edit;
    edit.setText(QStringLiteral("ab\r\ncd"));
    edit.setSelStart(1);
    const int undoSteps = edit.document()->availableUndoSteps();
    QSignalSpy changes(&edit, &RichEdit::selChanged);
    // From the LF of the break on: the LF's colour (7) is not used, the break keeps
    // the colour it had, and "cd" take 8 and automatic.
    edit.setColours(1, {5, 6, 7, 8, kAutoColour, 9});
    QCOMPARE(edit.colourAt(0), kAutoColour);
    QCOMPARE(edit.colourAt(1), ColourValue(5));
    QCOMPARE(edit.colourAt(2), ColourValue(6)); // CR: the break
    QCOMPARE(edit.colourAt(4), ColourValue(8));
    QCOMPARE(edit.colourAt(5), kAutoColour);
    edit.setColours(3, {1, 2});
    QCOMPARE(edit.colourAt(2), ColourValue(6)); // starting on the LF leaves the break
    QCOMPARE(edit.colourAt(4), ColourValue(2));
    QCOMPARE(edit.selStart(), qsizetype(1));
    QCOMPARE(changes.count(), 0);
    QCOMPARE(edit.document()->availableUndoSteps(), undoSteps);
    QCOMPARE(edit.text(), QStringLiteral("ab\r\ncd"));
}

QTEST_MAIN(TestRichEdit)
#include "tst_richedit.moc"
