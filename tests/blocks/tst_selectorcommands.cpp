#include "blocks/root.h"
#include "blocks/scanner.h"
#include "blocks/selectorcommands.h"
#include "editor/richedit.h"
#include "support/markedtext.h"

#include <QTest>
#include <QTextDocument>

using namespace sheetsmith;

// The sheet edits of the selector tree on a bare editor: where a new rule goes, what
// Delete removes, what Rename replaces and where a jump lands, each with the caret it
// leaves and as one undo step.
class TestSelectorCommands : public QObject
{
    Q_OBJECT

private slots:
    void commands_data();
    void commands();
    void caretMovesOnTheWayAreThePrograms_data();
    void caretMovesOnTheWayAreThePrograms();

private:
    // Runs a command on a marked sheet; the block is given by its 1-based index.
    static bool run(RichEdit &edit, const QString &command, int block, const QString &argument);
};

bool TestSelectorCommands::run(RichEdit &edit, const QString &command, int block,
                               const QString &argument)
{
    Root blocks;
    ScanBlocks(edit.model(), ElementNames(), blocks);
    if (command == u"Insert") {
        InsertRule(edit, blocks, argument);
        return true;
    }
    if (command == u"Jump")
        return JumpToSelector(edit, blocks, argument);
    if (block < 1 || block > blocks.Count())
        return false;
    if (command == u"Delete")
        return DeleteBlock(edit, blocks.Item(block));
    RenameSelector(edit, blocks.Item(block), argument);
    return true;
}

void TestSelectorCommands::commands_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("sheet"); // marked
    QTest::addColumn<int>("block");
    QTest::addColumn<QString>("argument");
    QTest::addColumn<QString>("expected"); // marked
    QTest::addColumn<bool>("done");

    const QString two = QStringLiteral("a {\n}\nb {\n}\n"); // a's "}" ends at 7, b's at 15
    const auto at = [](QString text, qsizetype caret) {
        return QString(text.replace(QStringLiteral("\n"), QStringLiteral("\r\n"))).insert(caret, u'|');
    };

    QTest::newRow("Insert inside the first block: after its }")
        << "Insert" << at(two, 3) << 0 << ".note" << "a {\r\n}\r\n.note {\r\n|\r\n\r\n}\r\nb {\r\n}\r\n"
        << true;
    QTest::newRow("Insert between two blocks: after the next one")
        << "Insert" << at(two, 9) << 0 << "#main" << "a {\r\n}\r\nb {\r\n}\r\n#main {\r\n|\r\n\r\n}\r\n"
        << true;
    QTest::newRow("Insert after the last block: at the very start")
        << "Insert" << at(two, 16) << 0 << "H1" << "\r\nH1 {\r\n|\r\n\r\n}a {\r\n}\r\nb {\r\n}\r\n" << true;
    QTest::newRow("Insert into an empty sheet") << "Insert" << "|" << 0 << "p" << "\r\np {\r\n|\r\n\r\n}"
                                                << true;

    QTest::newRow("Delete from the selector's line through its }")
        << "Delete" << "a {\n  color: red;\n}\n.b {\n  margin: 0;\n}\n|#c {\n}" << 2 << ""
        << "a {\r\n  color: red;\r\n}\r\n|\r\n#c {\r\n}" << true;
    QTest::newRow("Delete of a rule whose } is commented out: nothing")
        << "Delete" << "|a {\n}\n.b {\n  margin: 0; /* } */\n" << 2 << ""
        << "|a {\r\n}\r\n.b {\r\n  margin: 0; /* } */\r\n" << false;
    QTest::newRow("Delete of a rule without }: nothing")
        << "Delete" << "|a {\n  color: red;" << 1 << "" << "|a {\r\n  color: red;" << false;

    QTest::newRow("Rename at the line start") << "Rename" << "h1 {\n}|" << 1 << "h2" << "|h2 {\r\n}" << true;
    QTest::newRow("Rename of an indented group with blanks: the whole group")
        << "Rename" << "  h1 , h3 {\n}|" << 1 << "h2" << "|  h2 {\r\n}" << true;
    QTest::newRow("Rename keeps what follows the {")
        << "Rename" << "p { color: red }|" << 1 << "div" << "|div { color: red }" << true;
    QTest::newRow("Rename of a selector written on the line before: set apart from the {")
        << "Rename" << "h1\n{\n}|" << 1 << "h2" << "h1\r\n|h2 {\r\n}" << true;
    QTest::newRow("Rename takes a comment in the selector with it")
        << "Rename" << "a /* x */ {\n}|" << 1 << "b" << "|b {\r\n}" << true;

    QTest::newRow("Jump to the first rule with the label")
        << "Jump" << "|a {\n}\n.note {\n}\n.note {\n}\n" << 0 << ".note"
        << "a {\r\n}\r\n|.note {\r\n}\r\n.note {\r\n}\r\n" << true;
    QTest::newRow("Jump: the label must match exactly")
        << "Jump" << "a {\n}\n.note {\n}|" << 0 << ".NOTE" << "a {\r\n}\r\n.note {\r\n}|" << false;
}

void TestSelectorCommands::commands()
{
    QFETCH(QString, command);
    QFETCH(QString, sheet);
    QFETCH(int, block);
    QFETCH(QString, argument);
    QFETCH(QString, expected);
    QFETCH(bool, done);

    RichEdit edit;
    loadMarked(edit, sheet);
    const QString before = edit.text();
    QCOMPARE(run(edit, command, block, argument), done);
    QCOMPARE(marked(edit), expected);
    QVERIFY(!edit.colouring());
    // An edit is one undo step; a refused one or a jump edits nothing.
    if (edit.text() != before) {
        edit.undo();
        QCOMPARE(edit.text(), before);
    }
    QVERIFY(!edit.document()->isUndoAvailable());
}

void TestSelectorCommands::caretMovesOnTheWayAreThePrograms_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<int>("block");
    QTest::addColumn<QString>("argument");
    // Whether the notifications of the command's first caret move come while the
    // editor marks the change as the program's own (caret tracking then ignores them).
    QTest::addColumn<bool>("firstMoveMarked");

    QTest::newRow("Insert: the move to the block's end") << "Insert" << 0 << ".x" << true;
    QTest::newRow("Jump: the detour by the text's end") << "Jump" << 0 << "b" << true;
    QTest::newRow("Delete is the author's edit") << "Delete" << 1 << "" << false;
    QTest::newRow("Rename is the author's edit") << "Rename" << 1 << "c" << false;
}

void TestSelectorCommands::caretMovesOnTheWayAreThePrograms()
{
    QFETCH(QString, command);
    QFETCH(int, block);
    QFETCH(QString, argument);
    QFETCH(bool, firstMoveMarked);

    RichEdit edit;
    loadMarked(edit, QStringLiteral("a {\n}\nb {\n}|"));
    QList<bool> seen;
    connect(&edit, &RichEdit::selChanged, this, [&] { seen << edit.colouring(); });
    QVERIFY(run(edit, command, block, argument));
    QVERIFY(!seen.isEmpty());
    QCOMPARE(seen.first(), firstMoveMarked);
    // The caret the command leaves is reported as the author's, so caret tracking
    // catches up with it.
    if (command != u"Jump")
        QCOMPARE(seen.last(), false);
    QVERIFY(!edit.colouring());
}

QTEST_MAIN(TestSelectorCommands)
#include "tst_selectorcommands.moc"
