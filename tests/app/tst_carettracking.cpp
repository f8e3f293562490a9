#include "app/form1.h"
#include "dialogs/scopeddialogseam.h"
#include "editor/colouring.h"
#include "editor/richedit.h"
#include "blocks/root.h"
#include "blocks/scanner.h"
#include "blocks/selectortree.h"
#include "blocks/selectortreemodel.h"
#include "settings/settingsstore.h"
#include "support/blocklists.h"
#include "support/files.h"
#include "support/windowfixture.h"

#include <QFile>
#include <QLabel>
#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPaintEvent>
#include <QRandomGenerator>
#include <QScrollBar>
#include <QTest>
#include <QTreeWidget>

#include <memory>

using namespace sheetsmith;

// The structured views following the caret: the author types and moves through a
// sheet, and the status bar, the colours, the property values and the tree catch up
// when the caret leaves a line.
class TestCaretTracking : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void typingWithinALineOnlyUpdatesTheStatusBar();
    void leavingALineRecoloursIt();
    void valuesFollowTheBlockAtTheCaret();
    void importantAndCommentedDeclarations();
    void shiftDownNeitherRecoloursNorRebuilds();
    void valuesComeFromTheLastRebuild();
    void statusAtTheStartOfAOneLineText();
    void inspectorWritesIntoTheBlockAtTheCaret();
    void leavingALongLineRepaintsOnlyTheCaret();
    void blocksAndTreeFollowEditsAsARescanWould_data();
    void blocksAndTreeFollowEditsAsARescanWould();

private:
    void open(const QByteArray &sheet);
    QString value(const QString &property) const;
    QColor rowColour(const QString &property) const;
    void moveTo(int line1, int column1 = 1);
    int caretLine() const;

    WindowFixture m_fixture;
    Form1 *m_window = nullptr;
    ScriptedDialogs *m_dialogs = nullptr;
    SettingsStore *m_settings = nullptr;
    RichEdit *m_editor = nullptr;
    QTreeWidget *m_list = nullptr;
};

void TestCaretTracking::init()
{
    QVERIFY2(m_fixture.setUp(), qPrintable(m_fixture.problem()));
    m_window = &m_fixture.window();
    m_dialogs = &m_fixture.dialogs();
    m_settings = &m_fixture.settings();
    m_editor = m_window->MainText();
    m_list = m_window->findChild<QTreeWidget *>(QStringLiteral("LstP"));
}

void TestCaretTracking::cleanup()
{
    QVERIFY2(m_fixture.tearDown(), qPrintable(m_fixture.problem()));
    m_window = nullptr;
}

void TestCaretTracking::open(const QByteArray &sheet)
{
    QVERIFY(m_fixture.open(sheet));
}

QString TestCaretTracking::value(const QString &property) const
{
    const auto rows = m_list->findItems(property, Qt::MatchExactly, 0);
    return rows.isEmpty() ? QStringLiteral("<no row>") : rows.first()->text(1);
}

QColor TestCaretTracking::rowColour(const QString &property) const
{
    const auto rows = m_list->findItems(property, Qt::MatchExactly, 0);
    return rows.isEmpty() ? QColor() : rows.first()->foreground(0).color();
}

void TestCaretTracking::moveTo(int line1, int column1)
{
    m_editor->setSelStart(m_editor->lineIndex(line1 - 1) + column1 - 1);
}

int TestCaretTracking::caretLine() const
{
    return m_editor->lineFromChar(m_editor->selStart()) + 1;
}

void TestCaretTracking::typingWithinALineOnlyUpdatesTheStatusBar()
{
    open("p {\n  color: red;\n}\n");
    moveTo(2, 14);
    QCOMPARE(m_window->caretStatusText(), QStringLiteral("Line 2 of  4, Col  14"));
    QCOMPARE(m_window->Blocks().Count(), 1);

    QTest::keyClicks(m_editor, QStringLiteral(" a {"));
    QCOMPARE(m_window->caretStatusText(), QStringLiteral("Line 2 of  4, Col  18"));
    QCOMPARE(m_window->Blocks().Count(), 1); // the "{" just typed is not scanned yet

    QTest::keyClick(m_editor, Qt::Key_Down);
    QCOMPARE(caretLine(), 3);
    QCOMPARE(m_window->Blocks().Count(), 2);
    QCOMPARE(m_window->PrevLine(), 3);
}

void TestCaretTracking::leavingALineRecoloursIt()
{
    open("p {\n}\n\n");
    moveTo(3);
    QTest::keyClicks(m_editor, QStringLiteral("h1 {"));
    const qsizetype start = m_editor->lineIndex(2);
    // Typed text takes the colour in front of it; nothing recolours it yet.
    QVERIFY(m_editor->colourAt(start) != ColourValue(m_settings->editorSettings().selectorColourValue));

    QTest::keyClick(m_editor, Qt::Key_Up);
    const EditorSettings colours = m_settings->editorSettings();
    for (int i = 0; i < 3; ++i) // "h1 " before the brace
        QCOMPARE(m_editor->colourAt(start + i), ColourValue(colours.selectorColourValue));
    QCOMPARE(m_editor->colourAt(start + 3), ColourValue(colours.bracketColourValue));
    QVERIFY(!m_editor->colouring());
    QCOMPARE(caretLine(), 2); // the caret stays where the author put it
}

void TestCaretTracking::valuesFollowTheBlockAtTheCaret()
{
    open("h1 {\n  color: red;\n  margin: 0;\n}\n\np {\n  color: blue;\n}\n");
    moveTo(2, 3);
    QCOMPARE(value(QStringLiteral("color")), QStringLiteral("red"));
    QCOMPARE(value(QStringLiteral("margin")), QStringLiteral("0"));
    QCOMPARE(rowColour(QStringLiteral("color")), QColor(128, 0, 0));
    QCOMPARE(rowColour(QStringLiteral("padding")), QColor(0, 0, 0));

    moveTo(7, 3);
    QCOMPARE(value(QStringLiteral("color")), QStringLiteral("blue"));
    QCOMPARE(value(QStringLiteral("margin")), QString());
    QCOMPARE(rowColour(QStringLiteral("margin")), QColor(0, 0, 0));

    // Between the blocks every row is empty and black.
    moveTo(5);
    for (int r = 0; r < m_list->topLevelItemCount(); ++r) {
        QVERIFY(m_list->topLevelItem(r)->text(1).isEmpty());
        QCOMPARE(m_list->topLevelItem(r)->foreground(0).color(), QColor(0, 0, 0));
    }
}

void TestCaretTracking::importantAndCommentedDeclarations()
{
    open("a {\n  color: red !IMPORTANT;\n  /* margin: 2px */\n  font-size: 12px; font: bold;\n}\n");
    moveTo(2, 2);
    QCOMPARE(value(QStringLiteral("color")), QStringLiteral("red"));
    QCOMPARE(value(QStringLiteral("margin")), QString());
    QCOMPARE(rowColour(QStringLiteral("margin")), QColor(0, 0, 0));
    QCOMPARE(value(QStringLiteral("font")), QStringLiteral("bold"));
    QCOMPARE(value(QStringLiteral("font-size")), QStringLiteral("12px"));
}

void TestCaretTracking::shiftDownNeitherRecoloursNorRebuilds()
{
    open("p {\n}\n\n\n");
    moveTo(3);
    QTest::keyClicks(m_editor, QStringLiteral("h1 {"));
    const qsizetype start = m_editor->lineIndex(2);
    const ColourValue typed = m_editor->colourAt(start);
    QTest::keyClick(m_editor, Qt::Key_Down, Qt::ShiftModifier);
    QCOMPARE(m_window->PrevLine(), 4);
    QCOMPARE(m_window->caretStatusText(), QStringLiteral("Line 4 of  5, Col  1"));
    QCOMPARE(m_window->Blocks().Count(), 1);
    QCOMPARE(m_editor->colourAt(start), typed);
    // The line was left with a selection, so it is never caught up later either.
    QTest::keyClick(m_editor, Qt::Key_Down);
    QCOMPARE(m_editor->colourAt(start), typed);
    QCOMPARE(m_window->Blocks().Count(), 2); // the next move off a line rebuilds
}

void TestCaretTracking::valuesComeFromTheLastRebuild()
{
    open("p {\n}\n");
    moveTo(1, 4);
    QTest::keyClick(m_editor, Qt::Key_Return); // a new line inside the block
    QTest::keyClicks(m_editor, QStringLiteral("  color: red;"));
    // The block's end, scanned before the declaration was typed, lies before the
    // caret's new line: the declaration is not shown yet.
    QTest::keyClick(m_editor, Qt::Key_Down);
    QCOMPARE(value(QStringLiteral("color")), QString());
    // The move rebuilt the blocks; coming back finds it.
    QTest::keyClick(m_editor, Qt::Key_Up);
    QCOMPARE(value(QStringLiteral("color")), QStringLiteral("red"));
}

void TestCaretTracking::statusAtTheStartOfAOneLineText()
{
    QCOMPARE(m_window->caretStatusText(), QStringLiteral("Line 1 of 1, Col 1"));
    m_editor->setText(QStringLiteral("a"));
    QCOMPARE(m_window->caretStatusText(), QStringLiteral("Line 1 of  1, Col  1"));
}

void TestCaretTracking::inspectorWritesIntoTheBlockAtTheCaret()
{
    open("p {\n  margin: 0;\n}\n");
    moveTo(2, 3);
    const auto rows = m_list->findItems(QStringLiteral("margin"), Qt::MatchExactly, 0);
    QCOMPARE(rows.size(), 1);
    const QModelIndex cell = m_list->indexFromItem(rows.first(), 1);
    m_list->scrollTo(cell);
    const QPoint at = m_list->visualRect(cell).center();
    QTest::mouseClick(m_list->viewport(), Qt::LeftButton, {}, at);
    auto *text = m_window->findChild<QLineEdit *>(QStringLiteral("TxtP"));
    QVERIFY(text && text->isVisible());
    QCOMPARE(text->text(), QStringLiteral("0"));
    text->setText(QStringLiteral("2px 4px"));
    QTest::keyClick(text, Qt::Key_Return);
    QCOMPARE(m_editor->text(), QStringLiteral("p {\r\n  margin: 2px 4px;\r\n}\r\n"));
    QCOMPARE(value(QStringLiteral("margin")), QStringLiteral("2px 4px"));
}

void TestCaretTracking::leavingALongLineRepaintsOnlyTheCaret()
{
    // The line colouring takes the caret to the end of the line left and caret tracking
    // brings it back: the view must not scroll to the end of a long line and back, which
    // repaints all of it, when nothing on the line changed.
    QByteArray longLine;
    for (int i = 0; i < 400; ++i)
        longLine += ".r" + QByteArray::number(i) + "{color:red}";
    open(longLine + "\n.b { margin: 0 }\n");
    QWidget *viewport = m_editor->viewport();
    QVERIFY(QTest::qWaitForWindowExposed(m_window));
    // Both lines take the line colouring's colours once; a paint that gives a line new
    // colours asks for another paint, so the view settles in a few passes.
    moveTo(1, 3);
    moveTo(2);
    moveTo(1, 3);
    for (int i = 0; i < 4; ++i)
        QCoreApplication::processEvents();

    struct PaintRecorder : QObject
    {
        QRegion painted;
        bool eventFilter(QObject *, QEvent *event) override
        {
            if (event->type() == QEvent::Paint)
                painted += static_cast<QPaintEvent *>(event)->region();
            return false;
        }
    } recorder;
    viewport->installEventFilter(&recorder);
    moveTo(2);
    QCoreApplication::processEvents();
    viewport->removeEventFilter(&recorder);
    QCOMPARE(m_editor->horizontalScrollBar()->value(), 0);
    // The caret's old and new places, not the view.
    qint64 area = 0;
    for (const QRect &r : recorder.painted)
        area += qint64(r.width()) * r.height();
    const qint64 whole = qint64(viewport->width()) * viewport->height();
    QVERIFY2(area * 10 < whole, qPrintable(QStringLiteral("%1 of %2 pixels repainted").arg(area).arg(whole)));
}

void TestCaretTracking::blocksAndTreeFollowEditsAsARescanWould_data()
{
    addCorpusRows();
}

void TestCaretTracking::blocksAndTreeFollowEditsAsARescanWould()
{
    // The author edits a real sheet at random places (typing, Enter, Backspace over a
    // selection, pastes, the Refresh button) and moves on: after every catching-up the
    // blocks and the tree, worked out from the edits alone, must be what a scan of the
    // whole text and a new tree give.
    QFETCH(QString, path);
    open(readBytes(path));
    QRandomGenerator random(quint32(qHash(path)) ^ 13u);
    const QStringList typed = {"{", "}", "/*", "*/", " a", ".x ", "#y {", "} p {", ";"};
    for (int round = 0; round < 20; ++round) {
        moveTo(random.bounded(m_editor->lineCount()) + 1);
        const qsizetype lineLength = m_editor->lineLength(m_editor->selStart());
        m_editor->setSelStart(m_editor->selStart() + random.bounded(int(lineLength) + 1));
        for (int k = random.bounded(1, 4); k > 0; --k) {
            switch (random.bounded(5)) {
            case 0:
                QTest::keyClick(m_editor, Qt::Key_Return);
                break;
            case 1:
                m_editor->setSelLength(random.bounded(40));
                QTest::keyClick(m_editor, Qt::Key_Backspace);
                break;
            case 2:
                QGuiApplication::clipboard()->setText(typed[random.bounded(int(typed.size()))]
                                                      + QStringLiteral("\n")
                                                      + typed[random.bounded(int(typed.size()))]);
                m_window->runCommand(QStringLiteral("Paste"));
                break;
            default:
                QTest::keyClicks(m_editor, typed[random.bounded(int(typed.size()))]);
                break;
            }
        }
        if (round % 7 == 6)
            m_window->runCommand(QStringLiteral("Refresh"));
        const int line = m_editor->lineFromChar(m_editor->selStart());
        moveTo(line > 0 ? line : line + 2); // another line: the window catches up

        Root scanned;
        ScanBlocks(m_editor->model(), ElementNames(), scanned);
        const QStringList expected = describeBlocks(scanned);
        if (describeBlocks(m_window->Blocks()) != expected)
            QCOMPARE(describeBlocks(m_window->Blocks()), expected);
        SelectorTree filled;
        filled.FillTree(scanned);
        if (treeNodes(*m_window->Tv()) != treeNodes(filled))
            QCOMPARE(treeNodes(*m_window->Tv()), treeNodes(filled));
    }
}

QTEST_MAIN(TestCaretTracking)
#include "tst_carettracking.moc"
