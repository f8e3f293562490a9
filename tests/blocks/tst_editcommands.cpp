#include "blocks/editcommands.h"
#include "blocks/root.h"
#include "blocks/scanner.h"
#include "editor/colouring.h"
#include "editor/richedit.h"
#include "editor/rtf.h"
#include "settings/settingskeys.h"
#include "settings/settingsstore.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QHash>
#include <QMimeData>
#include <QTemporaryDir>
#include "support/colourcodes.h"

#include <QTest>
#include <QTextDocument>

#include <functional>

using namespace sheetsmith;

namespace {

// Text with its selection marked: "|" for the caret with nothing selected, "[" and "]"
// around a selection. Test texts hold none of these characters themselves.
void load(RichEdit &edit, QString marked)
{
    qsizetype start = 0;
    qsizetype end = 0;
    if (const qsizetype caret = marked.indexOf(u'|'); caret >= 0) {
        marked.remove(caret, 1);
        start = end = caret;
    } else if (marked.contains(u'[')) {
        start = marked.indexOf(u'[');
        marked.remove(start, 1);
        end = marked.indexOf(u']');
        marked.remove(end, 1);
    }
    edit.setText(marked);
    edit.setSelStart(start);
    edit.setSelLength(end - start);
}

QString marked(const RichEdit &edit)
{
    QString text = edit.text();
    const qsizetype start = edit.selStart();
    const qsizetype length = edit.selLength();
    if (length == 0)
        return text.insert(start, u'|');
    text.insert(start + length, u']');
    return text.insert(start, u'[');
}

// An editor with its block list, colouriser and a settings store of its own, and the
// commands working on them.
struct Sheet
{
    QTemporaryDir dir;
    SettingsStore settings{dir.filePath(QStringLiteral("settings.ini"))};
    RichEdit edit;
    Root blocks;
    Colouriser colouriser;
    EditCommands commands{edit, blocks, colouriser, settings};

    Sheet() { colouriser.setColours(testColourSettings()); }

    void setTabWidth(const QString &value)
    {
        settings.write(keys::editor::Section, keys::editor::TabWidth, value);
    }

    // Loads a marked text and scans its blocks, as caret tracking would have.
    void open(const QString &text)
    {
        load(edit, text);
        ScanBlocks(edit.model(), ElementNames(), blocks);
    }

    void run(const QString &command)
    {
        static const QHash<QString, std::function<void(EditCommands &)>> commandsByName = {
            {QStringLiteral("NextBlock"), &EditCommands::NextBlock},
            {QStringLiteral("PreviousBlock"), &EditCommands::PreviousBlock},
            {QStringLiteral("Indent"), &EditCommands::Indent},
            {QStringLiteral("Unindent"), &EditCommands::Unindent},
            {QStringLiteral("Comment"), &EditCommands::Comment},
            {QStringLiteral("SelectAll"), &EditCommands::SelectAll},
            {QStringLiteral("Cut"), &EditCommands::Cut},
            {QStringLiteral("Copy"), &EditCommands::Copy},
            {QStringLiteral("Paste"), &EditCommands::Paste},
        };
        const auto it = commandsByName.find(command);
        QVERIFY2(it != commandsByName.end(), qPrintable(command));
        (*it)(commands);
    }
};

void setClipboard(const QString &text)
{
    QGuiApplication::clipboard()->setText(text);
}

// The rules of a small sheet used by the navigation tests: blocks begin at the starts
// of lines 1, 3 and 5 (offsets 0, 15 and 29).
const QString kThreeBlocks = QStringLiteral("h1 { a: b }\r\n\r\np { c: d }\r\n\r\n.x { e: f }");

QString withCaret(const QString &text, qsizetype at)
{
    return QString(text).insert(at, u'|');
}

} // namespace

class TestEditCommands : public QObject
{
    Q_OBJECT

private slots:
    void nextBlock_data();
    void nextBlock();
    void previousBlock_data();
    void previousBlock();
    void indent_data();
    void indent();
    void unindent_data();
    void unindent();
    void tabWidthIsReadAtEachCommand();
    void indentAndUnindentKeepColours_data();
    void indentAndUnindentKeepColours();
    void comment_data();
    void comment();
    void selectAll_data();
    void selectAll();
    void cutAndCopy_data();
    void cutAndCopy();
    void copyOffersTheSelectionAsRtf();
    void paste_data();
    void paste();
    void pasteColoursEveryLineItTouches_data();
    void pasteColoursEveryLineItTouches();
    void commandIsOneUndoStep_data();
    void commandIsOneUndoStep();
    void caretTrackingSeesTheFinalCaret_data();
    void caretTrackingSeesTheFinalCaret();
};

// --- Navigation --------------------------------------------------------------------------

void TestEditCommands::nextBlock_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("presses");
    QTest::addColumn<QString>("expected");

    const QString commentFirst = QStringLiteral("/* x */\r\nh1 { }\r\np { }");
    QTest::newRow("before the first block: to the first block's line")
        << withCaret(commentFirst, 0) << 1 << withCaret(commentFirst, 9);
    QTest::newRow("inside the first block: to the second block's line")
        << withCaret(kThreeBlocks, 6) << 1 << withCaret(kThreeBlocks, 15);
    QTest::newRow("between two blocks: to the next block's line")
        << withCaret(kThreeBlocks, 13) << 1 << withCaret(kThreeBlocks, 15);
    QTest::newRow("at the start of the last block's line: to 0")
        << withCaret(kThreeBlocks, 29) << 1 << withCaret(kThreeBlocks, 0);
    QTest::newRow("after the last block: to 0")
        << withCaret(kThreeBlocks, kThreeBlocks.size()) << 1 << withCaret(kThreeBlocks, 0);
    QTest::newRow("no blocks: to 0") << QStringLiteral("/* none */|") << 1 << QStringLiteral("|/* none */");
    QTest::newRow("three presses visit both blocks, then 0")
        << withCaret(commentFirst, 0) << 3 << withCaret(commentFirst, 0);
    QTest::newRow("a fourth press starts over") << withCaret(commentFirst, 0) << 4 << withCaret(commentFirst, 9);
}

void TestEditCommands::nextBlock()
{
    QFETCH(QString, text);
    QFETCH(int, presses);
    QFETCH(QString, expected);

    Sheet sheet;
    sheet.open(text);
    for (int i = 0; i < presses; ++i)
        sheet.commands.NextBlock();
    QCOMPARE(marked(sheet.edit), expected);
}

void TestEditCommands::previousBlock_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");

    QTest::newRow("inside the first block: to the start of its line")
        << withCaret(kThreeBlocks, 7) << withCaret(kThreeBlocks, 0);
    QTest::newRow("inside the second block: to the first block's line")
        << withCaret(kThreeBlocks, 20) << withCaret(kThreeBlocks, 0);
    QTest::newRow("inside the third block: to the second block's line")
        << withCaret(kThreeBlocks, 35) << withCaret(kThreeBlocks, 15);
    QTest::newRow("just before the third block's closing brace: still inside it")
        << withCaret(kThreeBlocks, kThreeBlocks.size() - 1) << withCaret(kThreeBlocks, 15);
    QTest::newRow("between two blocks: to 0") << withCaret(kThreeBlocks, 27) << withCaret(kThreeBlocks, 0);
    QTest::newRow("at the very start of a block's line, not inside it: to 0")
        << withCaret(kThreeBlocks, 29) << withCaret(kThreeBlocks, 0);
    QTest::newRow("no blocks: to 0") << QStringLiteral("a|b") << QStringLiteral("|ab");
}

void TestEditCommands::previousBlock()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);

    Sheet sheet;
    sheet.open(text);
    sheet.commands.PreviousBlock();
    QCOMPARE(marked(sheet.edit), expected);
}

// --- Indent and Unindent ----------------------------------------------------------------

void TestEditCommands::indent_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("tabWidth");
    QTest::addColumn<int>("presses");
    QTest::addColumn<QString>("expected");

    QTest::newRow("no selection, in the middle of a word: splits it")
        << "col|or" << "4" << 1 << "col    |or";
    QTest::newRow("three lines selected up to the start of the fourth: four lines")
        << "[a\r\nb\r\nc\r\n]d\r\ne" << "2" << 1 << "[  a\r\n  b\r\n  c\r\n  d]\r\ne";
    QTest::newRow("selection inside one line: that line, selected to its end")
        << "ab[c]d\r\ne" << "2" << 1 << "  [abcd]\r\ne";
    QTest::newRow("selection restarts at its old offset, inside the added blanks")
        << "ab[c\r\nd]e" << "4" << 1 << "  [  abc\r\n    de]";
    QTest::newRow("last line without a break: the selection ends at the text's end")
        << "[a\r\nbc]" << "1" << 1 << "[ a\r\n bc]";
    QTest::newRow("selection ending on an empty last line: that line too")
        << "[a\r\n]" << "2" << 1 << "[  a\r\n  ]";
    QTest::newRow("repeated: the same lines again, not one more")
        << "[a\r\nb\r\n]c\r\nd" << "1" << 2 << "[  a\r\n  b\r\n  c]\r\nd";
    QTest::newRow("a tab is no blank: the blanks go before it")
        << "[\ta]" << "2" << 1 << "[  \ta]";
    QTest::newRow("tab width 0 without a selection: nothing") << "a|b" << "0" << 1 << "a|b";
    QTest::newRow("tab width 0 with a selection: text kept, selected to the line's end")
        << "[a]b\r\nc" << "0" << 1 << "[ab]\r\nc";
    QTest::newRow("malformed tab width: the store's default")
        << "|a" << "wide" << 1 << QString(keys::defaults::TabWidth, u' ') + "|a";
    QTest::newRow("negative tab width: the store's default")
        << "|a" << "-2" << 1 << QString(keys::defaults::TabWidth, u' ') + "|a";
}

void TestEditCommands::indent()
{
    QFETCH(QString, text);
    QFETCH(QString, tabWidth);
    QFETCH(int, presses);
    QFETCH(QString, expected);

    Sheet sheet;
    sheet.setTabWidth(tabWidth);
    sheet.open(text);
    for (int i = 0; i < presses; ++i)
        sheet.commands.Indent();
    QCOMPARE(marked(sheet.edit), expected);
    QCOMPARE(Colouring, false);
}

void TestEditCommands::unindent_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("tabWidth");
    QTest::addColumn<int>("presses");
    QTest::addColumn<QString>("expected");

    QTest::newRow("tab width 4 on six, four, two and no blanks: two, none, none, none")
        << "[      a\r\n    b\r\n  c\r\nd]" << "4" << 1 << "[  a\r\nb\r\nc\r\nd]";
    QTest::newRow("tab width 8 on three blanks: unchanged") << "   |a" << "8" << 1 << "   |a";
    QTest::newRow("tab width 8 on five blanks: all five") << "|     a" << "8" << 1 << "|a";
    QTest::newRow("tab width 4 on one blank: that one") << "| a" << "4" << 1 << "|a";
    QTest::newRow("tab width 1: one blank of two") << "|  a" << "1" << 1 << "| a";
    QTest::newRow("a line starting with text keeps its later blanks") << "|x   y" << "4" << 1 << "|x   y";
    QTest::newRow("blanks then text: only the blanks go") << "|  xy" << "4" << 1 << "|xy";
    QTest::newRow("a tab is no blank: the line is kept") << "|\t  a" << "4" << 1 << "|\t  a";
    QTest::newRow("no selection: only the caret's line")
        << "  a\r\n|  b\r\n  c" << "2" << 1 << "  a\r\n|b\r\n  c";
    QTest::newRow("selection ending at the start of a line: that line too")
        << "[  a\r\n]  b" << "2" << 1 << "[a\r\nb]";
    QTest::newRow("selection start past the shortened line: only the caret")
        << "    ab[c]" << "4" << 1 << "abc|";
    QTest::newRow("repeated: the same lines again, not one more")
        << "[    a\r\n    b\r\n]    c\r\n    d" << "2" << 2 << "[a\r\nb\r\nc]\r\n    d";
    QTest::newRow("tab width 0: nothing removed") << "    a|" << "0" << 1 << "    a|";
}

void TestEditCommands::unindent()
{
    QFETCH(QString, text);
    QFETCH(QString, tabWidth);
    QFETCH(int, presses);
    QFETCH(QString, expected);

    Sheet sheet;
    sheet.setTabWidth(tabWidth);
    sheet.open(text);
    for (int i = 0; i < presses; ++i)
        sheet.commands.Unindent();
    QCOMPARE(marked(sheet.edit), expected);
    QCOMPARE(Colouring, false);
}

void TestEditCommands::tabWidthIsReadAtEachCommand()
{
    Sheet sheet;
    sheet.open(QStringLiteral("|a"));
    sheet.setTabWidth(QStringLiteral("1"));
    sheet.commands.Indent();
    sheet.setTabWidth(QStringLiteral("3"));
    sheet.commands.Indent();
    QCOMPARE(marked(sheet.edit), QStringLiteral("    |a"));

    sheet.edit.setSelStart(0);
    sheet.setTabWidth(QStringLiteral("2"));
    sheet.commands.Unindent();
    QCOMPARE(sheet.edit.text(), QStringLiteral("  a"));
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
    sheet.setTabWidth(QStringLiteral("4"));
    sheet.open(text);
    // Every character coloured by its own code, so that a colour landing on another
    // character shows.
    const QString before = sheet.edit.text();
    std::vector<ColourValue> colours;
    for (const QChar c : before)
        colours.push_back(c.unicode());
    sheet.edit.setColours(0, colours);

    sheet.run(command);
    const QString after = sheet.edit.text();
    QVERIFY(after != before);
    for (qsizetype i = 0; i < after.size(); ++i) {
        if (after[i] != u' ' && after[i] != u'\n')
            QCOMPARE(sheet.edit.colourAt(i), ColourValue(after[i].unicode()));
    }
}

// --- Comment ---------------------------------------------------------------------------------

void TestEditCommands::comment_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<QString>("codes");

    QTest::newRow("selected a: b becomes a comment, selected, in the comment colour")
        << "x [a: b] y" << "x [/*a: b*/] y" << "ssccccccccss";
    QTest::newRow("selection over two lines") << "[a\r\nb]" << "[/*a\r\nb*/]" << "ccc|ccc";
    QTest::newRow("no selection: /* */ with the caret after /*, not recoloured")
        << "a|b" << "a/*| */b" << "sssssss";
}

void TestEditCommands::comment()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QFETCH(QString, codes);

    Sheet sheet;
    sheet.open(text);
    sheet.edit.setColours(0, std::vector<ColourValue>(size_t(sheet.edit.text().size()), kSelector));
    sheet.commands.Comment();
    QCOMPARE(marked(sheet.edit), expected);
    QCOMPARE(editorColourCodes(sheet.edit), codes);
    QCOMPARE(Colouring, false);
}

// --- Selection and clipboard --------------------------------------------------------------

void TestEditCommands::selectAll_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");

    QTest::newRow("empty text: nothing selected") << "|" << "|";
    QTest::newRow("caret in the middle: everything, breaks included") << "a|b\r\nc\r\n" << "[ab\r\nc\r\n]";
    QTest::newRow("a selection already: everything") << "a[b]c" << "[abc]";
}

void TestEditCommands::selectAll()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);

    Sheet sheet;
    sheet.open(text);
    sheet.commands.SelectAll();
    QCOMPARE(marked(sheet.edit), expected);
}

void TestEditCommands::cutAndCopy_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expectedText");
    QTest::addColumn<QString>("expectedClipboard");

    QTest::newRow("Copy with no selection: clipboard and text kept") << "Copy" << "a|b" << "a|b" << "kept";
    QTest::newRow("Cut with no selection: clipboard and text kept") << "Cut" << "a|b" << "a|b" << "kept";
    QTest::newRow("Copy: the selection with LF breaks, text kept")
        << "Copy" << "a[b\r\nc]d" << "a[b\r\nc]d" << "b\nc";
    QTest::newRow("Cut: the selection goes to the clipboard and from the text")
        << "Cut" << "a[b\r\nc]d" << "a|d" << "b\nc";
}

void TestEditCommands::cutAndCopy()
{
    QFETCH(QString, command);
    QFETCH(QString, text);
    QFETCH(QString, expectedText);
    QFETCH(QString, expectedClipboard);

    Sheet sheet;
    sheet.open(text);
    setClipboard(QStringLiteral("kept"));
    sheet.run(command);
    QCOMPARE(marked(sheet.edit), expectedText);
    QCOMPARE(QGuiApplication::clipboard()->text(), expectedClipboard);
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

// --- Paste -------------------------------------------------------------------------------------

void TestEditCommands::paste_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("clipboard");
    QTest::addColumn<QString>("expected");

    QTest::newRow("one word in the middle of a line: no break") << "co|lor" << "x" << "cox|lor";
    QTest::newRow("two lines ending with CR LF: both lines and the final break, no more")
        << "a|b" << "x\r\ny\r\n" << "ax\r\ny\r\n|b";
    QTest::newRow("the first line replaces the selection") << "a[bc]d" << "X\r\nY" << "aX\r\nY|d";
    QTest::newRow("LF breaks go in as CR LF") << "|" << "x\ny" << "x\r\ny|";
    QTest::newRow("CR breaks go in as CR LF") << "|" << "x\ry" << "x\r\ny|";
    QTest::newRow("mixed breaks, an empty line kept") << "|" << "a\r\n\nb\rc" << "a\r\n\r\nb\r\nc|";
    QTest::newRow("only a break") << "a|b" << "\n" << "a\r\n|b";
    QTest::newRow("empty clipboard: nothing, the selection kept") << "a[b]c" << "" << "a[b]c";
}

void TestEditCommands::paste()
{
    QFETCH(QString, text);
    QFETCH(QString, clipboard);
    QFETCH(QString, expected);

    Sheet sheet;
    sheet.open(text);
    setClipboard(clipboard);
    sheet.commands.Paste();
    QCOMPARE(marked(sheet.edit), expected);
    QCOMPARE(Colouring, false);
}

void TestEditCommands::pasteColoursEveryLineItTouches_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("clipboard");
    QTest::addColumn<QString>("codes");

    QTest::newRow("a rule and a comment into an empty text")
        << "|" << "h1 { }\r\n/* c */" << "sssbkb|ccccccc";
    QTest::newRow("into the middle of a line: coloured with the text around it")
        << "x|}" << "a {" << "sssbb";
    QTest::newRow("a brace and a break after a selector: both lines")
        << "h1|" << "{\r\n}" << "ssb|b";
    QTest::newRow("lines the paste does not reach keep their colours")
        << "a {\r\n|\r\nb {" << "x" << "...|k|...";
}

void TestEditCommands::pasteColoursEveryLineItTouches()
{
    QFETCH(QString, text);
    QFETCH(QString, clipboard);
    QFETCH(QString, codes);

    Sheet sheet;
    sheet.open(text);
    setClipboard(clipboard);
    sheet.commands.Paste();
    QCOMPARE(editorColourCodes(sheet.edit), codes);
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
    sheet.setTabWidth(QStringLiteral("2"));
    sheet.open(text); // a new text: no undo history
    setClipboard(clipboard);
    const QTextDocument *document = sheet.edit.document();
    const QString before = sheet.edit.text();

    sheet.run(command);
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
    sheet.setTabWidth(QStringLiteral("2"));
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
        seen.append({Colouring, sheet.edit.selStart(), sheet.edit.selLength()});
    });
    sheet.run(command);

    QVERIFY(!seen.isEmpty());
    for (const Seen &s : seen)
        QCOMPARE(s.colouring, marksItsChanges);
    QCOMPARE(seen.last().start, sheet.edit.selStart());
    QCOMPARE(seen.last().length, sheet.edit.selLength());
    QCOMPARE(Colouring, false);
}

QTEST_MAIN(TestEditCommands)
#include "tst_editcommands.moc"
