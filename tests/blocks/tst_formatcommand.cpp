#include "blocks/editcommands.h"
#include "blocks/root.h"
#include "editor/colouring.h"
#include "editor/richedit.h"
#include "support/colourcodes.h"
#include "support/markedtext.h"

#include <QTest>
#include <QTextDocument>

using namespace sheetsmith;

// Format Sheet as a command on the editor: the part it lays out, where the caret goes,
// one undo step, and colours as a fresh colouring gives them.
class TestFormatCommand : public QObject
{
    Q_OBJECT

private slots:
    void formats_data();
    void formats();
};

void TestFormatCommand::formats_data()
{
    QTest::addColumn<QString>("before"); // marked: "|" caret, "[...]" selection
    QTest::addColumn<QString>("after");  // marked; equal to before: nothing to do
    QTest::newRow("whole sheet, caret before the same character")
        << "h1{color:red;/* c */}p{mar|gin:0}"
        << "h1 {\n  color: red; /* c */\n}\n\np {\n  mar|gin: 0\n}\n";
    QTest::newRow("selection inside a block: its lines at the block's depth")
        << "a { x:1 }\np {\n[b:1;c:2]\n}\nq{y:2}"
        << "a { x:1 }\np {\n  b: 1;\n  c: 2|\n}\nq{y:2}";
    QTest::newRow("selection ending at a line start leaves that line")
        << "a {\n[x:1;\n]y:2;\n}" << "a {\n  x: 1;|\ny:2;\n}";
    QTest::newRow("laid out already") << "p {\n  a: b;\n}\n|" << "p {\n  a: b;\n}\n|";
}

void TestFormatCommand::formats()
{
    QFETCH(QString, before);
    QFETCH(QString, after);
    RichEdit edit;
    Root blocks;
    Colouriser colouriser;
    colouriser.setColours(testColours());
    colouriser.BuildColourTable();
    EditCommands commands(edit, blocks, colouriser);
    const MarkedText start = parseMarked(before);
    colouriser.ColourNewText(edit, start.text);
    edit.setSelStart(start.selStart);
    edit.setSelLength(start.selLength);

    const bool changed = commands.Format(2);
    QCOMPARE(marked(edit), QString(after).replace(u'\n', QStringLiteral("\r\n")));
    QCOMPARE(changed, before != after);
    if (!changed) {
        QCOMPARE(edit.document()->availableUndoSteps(), 0);
        return;
    }
    // Colours as the formatted text would get them when opened (where the line
    // colouring writes plain text black, opening leaves it automatic).
    RichEdit fresh;
    colouriser.ColourNewText(fresh, edit.text());
    QCOMPARE(editorColourCodes(edit).replace(u'k', u'.'), editorColourCodes(fresh));
    // One undo step back to the text as it was.
    edit.undo();
    QCOMPARE(edit.text(), start.text);
}

QTEST_MAIN(TestFormatCommand)
#include "tst_formatcommand.moc"
