#include "blocks/editcommands.h"
#include "blocks/root.h"
#include "blocks/scanner.h"
#include "editor/colouring.h"
#include "editor/richedit.h"
#include "editor/rtf.h"
#include "support/colourcodes.h"
#include "support/markedtext.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QHash>
#include <QMimeData>
#include <QTest>
#include <QTextDocument>

#include <functional>

using namespace sheetsmith;

namespace {

// An editor with its block list and colouriser, and the commands working on them.
struct Sheet
{
    RichEdit edit;
    Root blocks;
    Colouriser colouriser;
    EditCommands commands{edit, blocks, colouriser};

    Sheet() { colouriser.setColours(testColours()); }

    // Loads a marked text and scans its blocks, as caret tracking would have.
    void open(const QString &text)
    {
        loadMarked(edit, text);
        ScanBlocks(edit.model(), ElementNames(), blocks);
    }

    // Runs a command by its name; Indent and Unindent with the tab width given.
    void run(const QString &command, int tabWidth)
    {
        using Command = std::function<void(EditCommands &, int)>;
        const auto plain = [](void (EditCommands::*f)()) {
            return Command([f](EditCommands &c, int) { (c.*f)(); });
        };
        static const QHash<QString, Command> commandsByName = {
            {QStringLiteral("NextBlock"), plain(&EditCommands::NextBlock)},
            {QStringLiteral("PreviousBlock"), plain(&EditCommands::PreviousBlock)},
            {QStringLiteral("Indent"), &EditCommands::Indent},
            {QStringLiteral("Unindent"), &EditCommands::Unindent},
            {QStringLiteral("Comment"), plain(&EditCommands::Comment)},
            {QStringLiteral("SelectAll"), plain(&EditCommands::SelectAll)},
            {QStringLiteral("Cut"), plain(&EditCommands::Cut)},
            {QStringLiteral("Copy"), plain(&EditCommands::Copy)},
            {QStringLiteral("Paste"), plain(&EditCommands::Paste)},
        };
        const auto it = commandsByName.find(command);
        QVERIFY2(it != commandsByName.end(), qPrintable(command));
        (*it)(commands, tabWidth);
    }
};

void setClipboard(const QString &text)
{
    QGuiApplication::clipboard()->setText(text);
}

// The rules of a small sheet used by the navigation rows: blocks begin at the starts
// of lines 1, 3 and 5 (offsets 0, 15 and 29).
const QString kThreeBlocks = QStringLiteral("h1 { a: b }\r\n\r\np { c: d }\r\n\r\n.x { e: f }");

QString withCaret(const QString &text, qsizetype at)
{
    return QString(text).insert(at, u'|');
}

// One row of the commands table. A null clipboard leaves the clipboard as it is; a null
// expectation is not checked.
struct Row
{
    const char *name;
    QString command;
    QString text;     // marked
    QString expected; // marked
    int tabWidth = 4;
    int presses = 1;
    QString clipboard = QString();
    QString expectedClipboard = QString();
    // colourCode per character after the command, lines joined by "|".
    QString codes = QString();
};

void addRow(const Row &r)
{
    QTest::newRow(r.name) << r.command << r.text << r.expected << r.tabWidth << r.presses
                          << r.clipboard << r.expectedClipboard << r.codes;
}

} // namespace

class TestEditCommands : public QObject
{
    Q_OBJECT

private slots:
    void commands_data();
    void commands();
    void indentAndUnindentKeepColours_data();
    void indentAndUnindentKeepColours();
    void copyOffersTheSelectionAsRtf();
    void commandIsOneUndoStep_data();
    void commandIsOneUndoStep();
    void caretTrackingSeesTheFinalCaret_data();
    void caretTrackingSeesTheFinalCaret();
};

void TestEditCommands::commands_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<int>("tabWidth");
    QTest::addColumn<int>("presses");
    QTest::addColumn<QString>("clipboard");
    QTest::addColumn<QString>("expectedClipboard");
    QTest::addColumn<QString>("codes");

    // --- Next Block: to the start of the line of the next block's "{", else to 0.
    const QString commentFirst = QStringLiteral("/* x */\r\nh1 { }\r\np { }");
    const QString next = QStringLiteral("NextBlock");
    addRow({"NextBlock before the first block: to the first block's line", next,
            withCaret(commentFirst, 0), withCaret(commentFirst, 9)});
    addRow({"NextBlock inside the first block: to the second block's line", next,
            withCaret(kThreeBlocks, 6), withCaret(kThreeBlocks, 15)});
    addRow({"NextBlock between two blocks: to the next block's line", next,
            withCaret(kThreeBlocks, 13), withCaret(kThreeBlocks, 15)});
    addRow({"NextBlock at the start of the last block's line: to 0", next,
            withCaret(kThreeBlocks, 29), withCaret(kThreeBlocks, 0)});
    addRow({"NextBlock after the last block: to 0", next,
            withCaret(kThreeBlocks, kThreeBlocks.size()), withCaret(kThreeBlocks, 0)});
    addRow({"NextBlock with no blocks: to 0", next, "/* none */|", "|/* none */"});
    addRow({"NextBlock three presses visit both blocks, then 0", next,
            withCaret(commentFirst, 0), withCaret(commentFirst, 0), 4, 3});
    addRow({"NextBlock a fourth press starts over", next,
            withCaret(commentFirst, 0), withCaret(commentFirst, 9), 4, 4});

    // --- Previous Block
    const QString previous = QStringLiteral("PreviousBlock");
    addRow({"PreviousBlock inside the first block: to the start of its line", previous,
            withCaret(kThreeBlocks, 7), withCaret(kThreeBlocks, 0)});
    addRow({"PreviousBlock inside the second block: to the first block's line", previous,
            withCaret(kThreeBlocks, 20), withCaret(kThreeBlocks, 0)});
    addRow({"PreviousBlock inside the third block: to the second block's line", previous,
            withCaret(kThreeBlocks, 35), withCaret(kThreeBlocks, 15)});
    addRow({"PreviousBlock just before the third block's closing brace: still inside it", previous,
            withCaret(kThreeBlocks, kThreeBlocks.size() - 1), withCaret(kThreeBlocks, 15)});
    addRow({"PreviousBlock between two blocks: to 0", previous,
            withCaret(kThreeBlocks, 27), withCaret(kThreeBlocks, 0)});
    addRow({"PreviousBlock at the very start of a block's line, not inside it: to 0", previous,
            withCaret(kThreeBlocks, 29), withCaret(kThreeBlocks, 0)});
    addRow({"PreviousBlock with no blocks: to 0", previous, "a|b", "|ab"});

    // --- Indent
    const QString indent = QStringLiteral("Indent");
    addRow({"Indent with no selection, in the middle of a word: splits it", indent,
            "col|or", "col    |or", 4});
    addRow({"Indent three lines selected up to the start of the fourth: four lines", indent,
            "[a\r\nb\r\nc\r\n]d\r\ne", "[  a\r\n  b\r\n  c\r\n  d]\r\ne", 2});
    addRow({"Indent a selection inside one line: that line, selected to its end", indent,
            "ab[c]d\r\ne", "  [abcd]\r\ne", 2});
    addRow({"Indent restarts the selection at its old offset, inside the added blanks", indent,
            "ab[c\r\nd]e", "  [  abc\r\n    de]", 4});
    addRow({"Indent of a last line without a break: the selection ends at the text's end", indent,
            "[a\r\nbc]", "[ a\r\n bc]", 1});
    addRow({"Indent of a selection ending on an empty last line: that line too", indent,
            "[a\r\n]", "[  a\r\n  ]", 2});
    addRow({"Indent repeated: the same lines again, not one more", indent,
            "[a\r\nb\r\n]c\r\nd", "[  a\r\n  b\r\n  c]\r\nd", 1, 2});
    addRow({"Indent: a tab is no blank, the blanks go before it", indent, "[\ta]", "[  \ta]", 2});
    addRow({"Indent with tab width 0 and no selection: nothing", indent, "a|b", "a|b", 0});
    addRow({"Indent with tab width 0 and a selection: text kept, selected to the line's end",
            indent, "[a]b\r\nc", "[ab]\r\nc", 0});

    // --- Unindent
    const QString unindent = QStringLiteral("Unindent");
    addRow({"Unindent by 4 of six, four, two and no blanks: two, none, none, none", unindent,
            "[      a\r\n    b\r\n  c\r\nd]", "[  a\r\nb\r\nc\r\nd]", 4});
    addRow({"Unindent by 8 of three blanks: unchanged", unindent, "   |a", "   |a", 8});
    addRow({"Unindent by 8 of five blanks: all five", unindent, "|     a", "|a", 8});
    addRow({"Unindent by 4 of one blank: that one", unindent, "| a", "|a", 4});
    addRow({"Unindent by 1: one blank of two", unindent, "|  a", "| a", 1});
    addRow({"Unindent of a line starting with text keeps its later blanks", unindent,
            "|x   y", "|x   y", 4});
    addRow({"Unindent of blanks then text: only the blanks go", unindent, "|  xy", "|xy", 4});
    addRow({"Unindent: a tab is no blank, the line is kept", unindent, "|\t  a", "|\t  a", 4});
    addRow({"Unindent with no selection: only the caret's line", unindent,
            "  a\r\n|  b\r\n  c", "  a\r\n|b\r\n  c", 2});
    addRow({"Unindent of a selection ending at the start of a line: that line too", unindent,
            "[  a\r\n]  b", "[a\r\nb]", 2});
    addRow({"Unindent with the selection start past the shortened line: only the caret",
            unindent, "    ab[c]", "abc|", 4});
    addRow({"Unindent repeated: the same lines again, not one more", unindent,
            "[    a\r\n    b\r\n]    c\r\n    d", "[a\r\nb\r\nc]\r\n    d", 2, 2});
    addRow({"Unindent with tab width 0: nothing removed", unindent, "    a|", "    a|", 0});

    // --- Comment
    const QString comment = QStringLiteral("Comment");
    addRow({"Comment: a: b becomes a comment, selected, in the comment colour", comment,
            "x [a: b] y", "x [/*a: b*/] y", 4, 1, {}, {}, "..cccccccc.."});
    addRow({"Comment of a selection over two lines", comment, "[a\r\nb]", "[/*a\r\nb*/]", 4, 1,
            {}, {}, "ccc|ccc"});
    addRow({"Comment with no selection: /* */ with the caret after /*, not recoloured", comment,
            "a|b", "a/*| */b", 4, 1, {}, {}, "......."});

    // --- Select All
    const QString selectAll = QStringLiteral("SelectAll");
    addRow({"SelectAll of an empty text: nothing selected", selectAll, "|", "|"});
    addRow({"SelectAll with the caret in the middle: everything, breaks included", selectAll,
            "a|b\r\nc\r\n", "[ab\r\nc\r\n]"});
    addRow({"SelectAll with a selection already: everything", selectAll, "a[b]c", "[abc]"});

    // --- Cut and Copy
    const QString kept = QStringLiteral("kept");
    addRow({"Copy with no selection: clipboard and text kept", "Copy", "a|b", "a|b", 4, 1,
            kept, kept});
    addRow({"Cut with no selection: clipboard and text kept", "Cut", "a|b", "a|b", 4, 1,
            kept, kept});
    addRow({"Copy: the selection with LF breaks, text kept", "Copy", "a[b\r\nc]d", "a[b\r\nc]d",
            4, 1, kept, "b\nc"});
    addRow({"Cut: the selection goes to the clipboard and from the text", "Cut", "a[b\r\nc]d",
            "a|d", 4, 1, kept, "b\nc"});

    // --- Paste: the text with CR LF breaks, every line it touches recoloured.
    const QString paste = QStringLiteral("Paste");
    addRow({"Paste of one word in the middle of a line: no break", paste, "co|lor", "cox|lor",
            4, 1, "x"});
    addRow({"Paste of two lines ending with CR LF: both lines and the final break, no more",
            paste, "a|b", "ax\r\ny\r\n|b", 4, 1, "x\r\ny\r\n"});
    addRow({"Paste: the first line replaces the selection", paste, "a[bc]d", "aX\r\nY|d", 4, 1,
            "X\r\nY"});
    addRow({"Paste: LF breaks go in as CR LF", paste, "|", "x\r\ny|", 4, 1, "x\ny"});
    addRow({"Paste: CR breaks go in as CR LF", paste, "|", "x\r\ny|", 4, 1, "x\ry"});
    addRow({"Paste of mixed breaks, an empty line kept", paste, "|", "a\r\n\r\nb\r\nc|", 4, 1,
            "a\r\n\nb\rc"});
    addRow({"Paste of only a break", paste, "a|b", "a\r\n|b", 4, 1, "\n"});
    addRow({"Paste of an empty clipboard: nothing, the selection kept", paste, "a[b]c", "a[b]c",
            4, 1, ""});
    addRow({"Paste of a rule and a comment into an empty text: both lines coloured", paste, "|",
            "h1 { }\r\n/* c */|", 4, 1, "h1 { }\r\n/* c */", {}, "sssbkb|ccccccc"});
    addRow({"Paste into the middle of a line: coloured with the text around it", paste, "x|}",
            "xa {|}", 4, 1, "a {", {}, "sssbb"});
    addRow({"Paste of a brace and a break after a selector: both lines coloured", paste, "h1|",
            "h1{\r\n}|", 4, 1, "{\r\n}", {}, "ssb|b"});
    addRow({"Paste: lines the paste does not reach keep their colours", paste,
            "a {\r\n|\r\nb {", "a {\r\nx|\r\nb {", 4, 1, "x", {}, "...|k|..."});
}

void TestEditCommands::commands()
{
    QFETCH(QString, command);
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QFETCH(int, tabWidth);
    QFETCH(int, presses);
    QFETCH(QString, clipboard);
    QFETCH(QString, expectedClipboard);
    QFETCH(QString, codes);

    Sheet sheet;
    sheet.open(text);
    if (!clipboard.isNull())
        setClipboard(clipboard);
    for (int i = 0; i < presses; ++i)
        sheet.run(command, tabWidth);
    QCOMPARE(marked(sheet.edit), expected);
    if (!expectedClipboard.isNull())
        QCOMPARE(QGuiApplication::clipboard()->text(), expectedClipboard);
    if (!codes.isNull())
        QCOMPARE(editorColourCodes(sheet.edit), codes);
    // A command's own marking of its changes ends with it.
    QVERIFY(!sheet.edit.colouring());
}

void TestEditCommands::indentAndUnindentKeepColours_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("text");

    QTest::newRow("Indent over three lines") << "Indent" << "[h1 {\r\n  a: b;\r\n]}";
    QTest::newRow("Indent from the start of the text") << "Indent" << "|p { }";
    QTest::newRow("Unindent over three lines") << "Unindent" << "[    h1 {\r\n  a: b;\r\n]   }";
    QTest::newRow("Unindent of one line among others") << "Unindent" << "x\r\n|    y {\r\nz";
}

void TestEditCommands::indentAndUnindentKeepColours()
{
    QFETCH(QString, command);
    QFETCH(QString, text);

    Sheet sheet;
    sheet.open(text);
    // Every character coloured by its own code, so that a colour landing on another
    // character shows.
    const QString before = sheet.edit.text();
    std::vector<ColourValue> colours;
    for (const QChar c : before)
        colours.push_back(c.unicode());
    sheet.edit.setColours(0, colours);

    sheet.run(command, 4);
    const QString after = sheet.edit.text();
    QVERIFY(after != before);
    for (qsizetype i = 0; i < after.size(); ++i) {
        if (after[i] != u' ' && after[i] != u'\n')
            QCOMPARE(sheet.edit.colourAt(i), ColourValue(after[i].unicode()));
    }
}

void TestEditCommands::copyOffersTheSelectionAsRtf()
{
    Sheet sheet;
    sheet.open(QStringLiteral("a[b {\r\n}]c"));
    sheet.edit.setColours(1, {kSelector, kSelector, kBracket, kAutoColour, kAutoColour, kBracket});
    sheet.commands.Copy();

    const QMimeData *data = QGuiApplication::clipboard()->mimeData();
    QVERIFY(data);
    QVERIFY(data->hasFormat(QStringLiteral("text/rtf")));
    const std::optional<RtfContent> content = readRtf(QString::fromLatin1(data->data(QStringLiteral("text/rtf"))));
    QVERIFY(content);
    QCOMPARE(content->text, QStringLiteral("b {\r\n}"));
    const std::vector<ColourValue> expected = {kSelector, kSelector, kBracket, kAutoColour, kAutoColour, kBracket};
    QCOMPARE(content->colours, expected);
}

// --- Undo and caret tracking -----------------------------------------------------------

void TestEditCommands::commandIsOneUndoStep_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("clipboard");
    QTest::addColumn<bool>("edits");

    QTest::newRow("Indent over three lines") << "Indent" << "[a\r\nb\r\n]c" << "" << true;
    QTest::newRow("Unindent over three lines") << "Unindent" << "[  a\r\n  b\r\n]  c" << "" << true;
    QTest::newRow("Paste of three lines") << "Paste" << "x|y" << "1\r\n2\r\n3" << true;
    QTest::newRow("Comment of a selection") << "Comment" << "[a: b]" << "" << true;
    QTest::newRow("Cut of two lines") << "Cut" << "[a\r\nb]" << "" << true;
    QTest::newRow("Unindent with no blanks to remove: no step") << "Unindent" << "[a\r\nb]" << "" << false;
}

void TestEditCommands::commandIsOneUndoStep()
{
    QFETCH(QString, command);
    QFETCH(QString, text);
    QFETCH(QString, clipboard);
    QFETCH(bool, edits);

    Sheet sheet;
    sheet.open(text); // a new text: no undo history
    setClipboard(clipboard);
    const QTextDocument *document = sheet.edit.document();
    const QString before = sheet.edit.text();

    sheet.run(command, 2);
    const QString after = sheet.edit.text();
    QCOMPARE(document->isUndoAvailable(), edits);
    if (!edits)
        return;
    QVERIFY(after != before);
    sheet.edit.undo();
    QCOMPARE(sheet.edit.text(), before);
    QCOMPARE(document->isUndoAvailable(), false);
    sheet.edit.redo();
    QCOMPARE(sheet.edit.text(), after);
}

void TestEditCommands::caretTrackingSeesTheFinalCaret_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("marksItsChanges");

    QTest::newRow("Indent") << "Indent" << "[a\r\nb\r\n]c" << true;
    QTest::newRow("Unindent") << "Unindent" << "  a\r\n  b|" << true;
    QTest::newRow("Comment") << "Comment" << "a[b]c" << true;
    QTest::newRow("Paste") << "Paste" << "a|b" << true;
    QTest::newRow("Next Block moves as the author does") << "NextBlock" << kThreeBlocks + "|" << false;
    QTest::newRow("Select All moves as the author does") << "SelectAll" << "a\r\n|b" << false;
}

void TestEditCommands::caretTrackingSeesTheFinalCaret()
{
    QFETCH(QString, command);
    QFETCH(QString, text);
    QFETCH(bool, marksItsChanges);

    Sheet sheet;
    sheet.open(text);
    setClipboard(QStringLiteral("x {\r\n}"));

    struct Seen
    {
        bool colouring;
        qsizetype start;
        qsizetype length;
    };
    QList<Seen> seen;
    connect(&sheet.edit, &RichEdit::selChanged, this, [&] {
        seen.append({sheet.edit.colouring(), sheet.edit.selStart(), sheet.edit.selLength()});
    });
    sheet.run(command, 2);

    QVERIFY(!seen.isEmpty());
    for (const Seen &s : seen)
        QCOMPARE(s.colouring, marksItsChanges);
    QCOMPARE(seen.last().start, sheet.edit.selStart());
    QCOMPARE(seen.last().length, sheet.edit.selLength());
    QVERIFY(!sheet.edit.colouring());
}

QTEST_MAIN(TestEditCommands)
#include "tst_editcommands.moc"
