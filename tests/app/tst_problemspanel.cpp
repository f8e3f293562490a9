#include "app/form1.h"
#include "app/problemspanel.h"
#include "editor/richedit.h"
#include "settings/settingskeys.h"
#include "support/windowfixture.h"

#include <QAbstractItemModel>
#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>
#include <QTextDocument>
#include <QTreeView>

using namespace sheetsmith;

namespace {

// A misspelt property, a bad colour and a missing "}".
const QByteArray kSheet = "BODY {\n  colr: black;\n}\nH1 {\n  color: #12345;\n\nP {\n  margin: 0;\n}\n";

} // namespace

// The check as the author meets it in the window: the rows of the Problems list, the
// underlines, the jump from a row, a row that goes once its fault is mended, the quick
// fix, and the setting that turns it all off.
class TestProblemsPanel : public QObject
{
    Q_OBJECT

private slots:
    void init() { QVERIFY2(m_fixture.setUp(), qPrintable(m_fixture.problem())); }
    void cleanup() { QVERIFY2(m_fixture.tearDown(), qPrintable(m_fixture.problem())); }

    void openingListsAndMarksTheProblems();
    void aRowLeadsToItsProblemAndGoesWhenMended();
    void theQuickFixRenamesAsOneStep();
    void theSettingTurnsTheCheckOff();
    void aLongSheetIsCheckedOffTheWindowThread();

private:
    QTreeView *list() const { return m_fixture.window().findChild<QTreeView *>(QStringLiteral("LstProblems")); }
    QStringList rows() const
    {
        QStringList out;
        const QAbstractItemModel *model = list()->model();
        for (int r = 0; r < model->rowCount(); ++r)
            out << model->index(r, 0).data().toString() + u' ' + model->index(r, 1).data().toString();
        return out;
    }
    QString status() const
    {
        return m_fixture.window().findChild<QLabel *>(QStringLiteral("StBarPanel1"))->text();
    }

    WindowFixture m_fixture;
};

void TestProblemsPanel::openingListsAndMarksTheProblems()
{
    QVERIFY(m_fixture.open(kSheet));
    QCOMPARE(rows(), (QStringList{"2 Warning", "4 Error", "5 Error"}));
    QCOMPARE(status(), QStringLiteral("2 errors, 1 warning"));
    RichEdit &editor = m_fixture.editor();
    // "colr" on line 2 carries its message; the marks are no edit.
    const qsizetype colr = editor.text().indexOf(u"colr") - 1; // Qt positions: one break before it
    QCOMPARE(editor.problemMarks().messageAt(colr + 1), QStringLiteral("Unknown property 'colr', did you mean 'color'?"));
    QVERIFY(!editor.document()->isUndoAvailable());
    QVERIFY(!editor.document()->isModified());
}

void TestProblemsPanel::aRowLeadsToItsProblemAndGoesWhenMended()
{
    QVERIFY(m_fixture.open(kSheet));
    RichEdit &editor = m_fixture.editor();
    list()->setFocus();
    list()->setCurrentIndex(list()->model()->index(2, 0));
    QTest::keyClick(list(), Qt::Key_Return);
    QCOMPARE(editor.selStart(), editor.text().indexOf(u"#12345"));
    QTRY_VERIFY(editor.hasFocus());

    // Mended, and the caret on another line: the row goes, the others stay.
    editor.setSelLength(6);
    QTest::keyClicks(&editor, QStringLiteral("#123456"));
    QCOMPARE(rows().size(), 3); // typing on the line changes nothing yet
    editor.setSelStart(0);
    QCOMPARE(rows(), (QStringList{"2 Warning", "4 Error"}));
}

void TestProblemsPanel::theQuickFixRenamesAsOneStep()
{
    QVERIFY(m_fixture.open(kSheet));
    RichEdit &editor = m_fixture.editor();
    const QString before = editor.text();
    const qsizetype colr = before.indexOf(u"colr");
    editor.setSelStart(colr + 2);
    const QPoint at = editor.cursorRect().center();
    QTest::mouseClick(editor.viewport(), Qt::RightButton, Qt::NoModifier, at);
    QMenu *menu = nullptr;
    QTRY_VERIFY((menu = editor.findChild<QMenu *>(QStringLiteral("MnuQuickFix"))) && menu->isVisible());
    QAction *fix = menu->findChild<QAction *>(QStringLiteral("mQuickFix"));
    QCOMPARE(fix->text(), QStringLiteral("Change to 'color'"));
    fix->trigger();
    menu->close();
    QCOMPARE(editor.text(), QString(before).replace(QStringLiteral("colr"), QStringLiteral("color")));
    QCOMPARE(rows(), (QStringList{"4 Error", "5 Error"}));
    m_fixture.window().runCommand(QStringLiteral("Undo"));
    QCOMPARE(editor.text(), before);
}

void TestProblemsPanel::theSettingTurnsTheCheckOff()
{
    m_fixture.settings().write(keys::editor::Section, keys::editor::Check, QStringLiteral("0"));
    QVERIFY(m_fixture.open(kSheet));
    QCOMPARE(rows(), QStringList());
    QVERIFY(m_fixture.editor().problemMarks().isEmpty());
    QVERIFY(status() != QStringLiteral("No problems"));
}

void TestProblemsPanel::aLongSheetIsCheckedOffTheWindowThread()
{
    QByteArray sheet;
    for (int i = 0; sheet.size() < ProblemsPanel::kBackgroundLength + 1000; ++i)
        sheet += ".rule" + QByteArray::number(i) + " {\n  colr: red;\n}\n";
    QVERIFY(m_fixture.open(sheet));
    auto *panel = m_fixture.window().findChild<ProblemsPanel *>();
    QVERIFY(panel->isBusy());
    // An edit while it runs: the check starts again on the text as it is then.
    RichEdit &editor = m_fixture.editor();
    editor.setSelStart(0);
    editor.setSelText(QStringLiteral("P { }\n"));
    QSignalSpy done(panel, &ProblemsPanel::checkedInBackground);
    QVERIFY(done.wait(20000));
    QVERIFY(!panel->isBusy());
    const std::vector<Problem> whole = CheckSheet(editor.text());
    QCOMPARE(panel->problems().size(), whole.size());
    QCOMPARE(rows().first(), QStringLiteral("1 Warning")); // the empty rule typed first
    QCOMPARE(list()->model()->rowCount(), int(whole.size()));
    // The marks, made for the text before the edit, moved with it.
    const qsizetype last = editor.model().toQtPosition(editor.text().lastIndexOf(u"colr"));
    QCOMPARE(editor.problemMarks().messageAt(last + 1), QStringLiteral("Unknown property 'colr', did you mean 'color'?"));
    QCOMPARE(editor.problemMarks().messageAt(last - 3), QString());
}

QTEST_MAIN(TestProblemsPanel)
#include "tst_problemspanel.moc"
