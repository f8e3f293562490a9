#include "app/form1.h"
#include "dialogs/scopeddialogseam.h"
#include "editor/colouring.h"
#include "editor/richedit.h"
#include "settings/settingsstore.h"
#include "support/windowfixture.h"

#include <QFile>
#include <QLabel>
#include <QLineEdit>
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

QTEST_MAIN(TestCaretTracking)
#include "tst_carettracking.moc"
