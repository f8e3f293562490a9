#include "app/form1.h"
#include "blocks/selectortree.h"
#include "editor/richedit.h"
#include "support/windowfixture.h"

#include <QAction>
#include <QApplication>
#include <QAbstractItemView>
#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QTest>
#include <QTextDocument>
#include <QTreeWidget>

using namespace sheetsmith;

namespace {

const QByteArray kSheet = "h1 {\n    color: red;\n}\n.note {\n    color: blue;\n    margin: 0;\n}\n";

} // namespace

// Every command that changes the text is one undo step, whatever it does inside: one
// Undo gives back the text as it was before the command, typing before it included,
// and one Redo gives the command's text back.
class TestUndoSteps : public QObject
{
    Q_OBJECT

private slots:
    void init() { QVERIFY2(m_fixture.setUp(), qPrintable(m_fixture.problem())); }
    void cleanup() { QVERIFY2(m_fixture.tearDown(), qPrintable(m_fixture.problem())); }

    void commandIsOneStep_data();
    void commandIsOneStep();
    void settingsApplyIsNoStep();
    void openingStartsAFreshHistory_data();
    void openingStartsAFreshHistory();

private:
    void run(const QString &command);
    QAction *action(const QString &name) const { return m_fixture.window().findChild<QAction *>(name); }
    void selectLines(int first, int last);

    WindowFixture m_fixture;
};

void TestUndoSteps::selectLines(int first, int last)
{
    RichEdit &editor = m_fixture.editor();
    editor.setSelStart(editor.lineIndex(first - 1));
    editor.setSelLength(editor.lineIndex(last - 1) + editor.lineText(last - 1).size() - editor.selStart());
}

void TestUndoSteps::run(const QString &command)
{
    Form1 &window = m_fixture.window();
    RichEdit &editor = m_fixture.editor();
    SelectorTree *tree = window.Tv();
    const QModelIndex classes = tree->model()->index(1, 0);
    if (command == u"Replace All") {
        window.runCommand(QStringLiteral("Find"));
        auto *find = window.findChild<QWidget *>(QStringLiteral("FrmFind"));
        find->findChild<QLineEdit *>(QStringLiteral("TxtFind"))->setText(QStringLiteral("color"));
        find->findChild<QLineEdit *>(QStringLiteral("TxtReplace"))->setText(QStringLiteral("background-color"));
        m_fixture.dialogs().answerMessage(DialogSeam::Ok);
        find->findChild<QPushButton *>(QStringLiteral("CmdReplaceAll"))->click();
        QCOMPARE(m_fixture.dialogs().messages().last().text, QStringLiteral("Sheetsmith has made 2 replacement(s)."));
    } else if (command == u"Indent" || command == u"Outdent" || command == u"Comment") {
        selectLines(2, 6);
        window.runCommand(command);
    } else if (command == u"Paste") {
        QApplication::clipboard()->setText(QStringLiteral("a {\n}\nb {\n}\n"));
        editor.setSelStart(0);
        window.runCommand(command);
    } else if (command == u"Tree delete") {
        tree->setCurrentIndex(tree->model()->index(0, 0, classes));
        action(QStringLiteral("TbP_Delete"))->trigger();
    } else if (command == u"Tree rename") {
        tree->setCurrentIndex(tree->model()->index(0, 0, classes));
        tree->editNode(tree->nodeIndex(tree->currentIndex()));
        auto *label = tree->findChild<QLineEdit *>();
        QVERIFY(label);
        label->setText(QStringLiteral(".aside"));
        QTest::keyClick(label, Qt::Key_Return);
        QTRY_VERIFY(editor.text().startsWith(QStringLiteral("h1")) && editor.text().contains(u".aside"));
    } else if (command == u"New class") {
        editor.setSelStart(editor.lineIndex(1));
        action(QStringLiteral("TbP_NClass"))->trigger();
        auto *input = window.findChild<QLineEdit *>(QStringLiteral("TxtNC"));
        QVERIFY(input);
        QTest::keyClicks(input, QStringLiteral("wide"));
        QTest::keyClick(input, Qt::Key_Return);
    } else if (command == u"Inspector write") {
        editor.setSelStart(editor.lineIndex(1));
        auto *list = window.findChild<QTreeWidget *>(QStringLiteral("LstP"));
        const QList<QTreeWidgetItem *> rows = list->findItems(QStringLiteral("color"), Qt::MatchExactly);
        QCOMPARE(rows.size(), 1);
        const QModelIndex cell = list->model()->index(list->indexOfTopLevelItem(rows.first()), 1);
        list->scrollTo(cell);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(cell).center());
        auto *comP = window.findChild<QComboBox *>(QStringLiteral("ComP"));
        QVERIFY(comP);
        QTRY_VERIFY(comP->view()->isVisible());
        comP->view()->setCurrentIndex(comP->model()->index(comP->findText(QStringLiteral("green")), 0));
        QTest::keyClick(comP->view(), Qt::Key_Return);
    } else if (command == u"Format Sheet") {
        window.runCommand(QStringLiteral("Format"));
    } else if (command == u"Drop") {
        QMimeData data;
        data.setText(QStringLiteral("p {\n}\n"));
        const QPoint at = editor.cursorRect(editor.textCursor()).center();
        QDragEnterEvent enter(at, Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(editor.viewport(), &enter);
        QDropEvent drop(at, Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(editor.viewport(), &drop);
    } else {
        QFAIL(qPrintable(QStringLiteral("no such command: ") + command));
    }
}

void TestUndoSteps::commandIsOneStep_data()
{
    QTest::addColumn<QString>("command");
    for (const char *command : {"Replace All", "Indent", "Outdent", "Comment", "Paste", "Tree delete",
                                "Tree rename", "New class", "Inspector write", "Drop", "Format Sheet"})
        QTest::newRow(command) << QString::fromLatin1(command);
}

void TestUndoSteps::commandIsOneStep()
{
    QFETCH(QString, command);
    QVERIFY(m_fixture.open(kSheet));
    RichEdit &editor = m_fixture.editor();
    // Typing before the command: the command's step must not swallow it.
    editor.setSelStart(editor.text().size());
    QTest::keyClicks(&editor, QStringLiteral("/* end */"));
    const QString before = editor.text();

    run(command);
    if (QTest::currentTestFailed())
        return;
    const QString after = editor.text();
    QVERIFY2(after != before, "the command changed nothing");

    action(QStringLiteral("mUndi"))->trigger();
    QCOMPARE(editor.text(), before);
    action(QStringLiteral("mRedo"))->trigger();
    QCOMPARE(editor.text(), after);
    // And the typing is a step of its own, still there behind the command's.
    action(QStringLiteral("mUndi"))->trigger();
    action(QStringLiteral("mUndi"))->trigger();
    QVERIFY(!editor.text().contains(QStringLiteral("/* end */")));
}

void TestUndoSteps::settingsApplyIsNoStep()
{
    QVERIFY(m_fixture.open(kSheet));
    RichEdit &editor = m_fixture.editor();
    QTest::keyClicks(&editor, QStringLiteral("x"));
    const int steps = editor.document()->availableUndoSteps();
    m_fixture.window().runCommand(QStringLiteral("Settings"));
    auto *apply = m_fixture.window().findChild<QPushButton *>(QStringLiteral("CmdApply"));
    QVERIFY(apply);
    apply->click();
    QCOMPARE(editor.document()->availableUndoSteps(), steps);
    action(QStringLiteral("mUndi"))->trigger();
    QCOMPARE(editor.text(), m_fixture.window().SavedText());
}

void TestUndoSteps::openingStartsAFreshHistory_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::newRow("another text") << QByteArray("em { }\n");
    QTest::newRow("the text the editor holds") << QByteArray();
}

void TestUndoSteps::openingStartsAFreshHistory()
{
    QFETCH(QByteArray, file);
    QVERIFY(m_fixture.open(kSheet));
    RichEdit &editor = m_fixture.editor();
    QTest::keyClicks(&editor, QStringLiteral("/* typed */"));
    QVERIFY(m_fixture.window().Save());
    if (file.isEmpty())
        file = editor.text().toUtf8();
    const QString path = m_fixture.writeFile(QStringLiteral("other.css"), file);
    QVERIFY(m_fixture.window().OpenDocument(QStringLiteral("other.css"), path));
    const QString opened = editor.text();
    QVERIFY(!action(QStringLiteral("mUndi"))->isEnabled());
    action(QStringLiteral("mUndi"))->trigger();
    QCOMPARE(editor.text(), opened);
}

QTEST_MAIN(TestUndoSteps)
#include "tst_undosteps.moc"
