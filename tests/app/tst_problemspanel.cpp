#include "app/form1.h"
#include "check/checkschedule.h"
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
#include <QToolButton>
#include <QTreeView>

#include <algorithm>

using namespace sheetsmith;

namespace {

// A misspelt property, a bad colour and a missing "}".
const QByteArray kSheet = "BODY {\n  colr: black;\n}\nH1 {\n  color: #12345;\n\nP {\n  margin: 0;\n}\n";

const QString kColrTip = QStringLiteral("Unknown property 'colr', did you mean 'color'? [unknown-property]");

qsizetype notNotes(const std::vector<Problem> &problems)
{
    return std::count_if(problems.begin(), problems.end(), [](const Problem &p) { return p.kind != ProblemKind::Note; });
}

} // namespace

// The check as the author meets it in the window: the rows of the Problems list, the
// underlines, the jump from a row, a row that goes once its fault is mended, the quick
// fix, the toggles that show and hide each kind, and the settings that turn it all off
// and choose the level.
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
    void theTogglesCountAndHideTheirKind();
    void theTogglesStartAsStored_data();
    void theTogglesStartAsStored();
    void aHiddenRowIsSkippedByTheJump();
    void aNewLevelChecksTheSheetAgainWhole();

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
    CheckSchedule *schedule() const { return m_fixture.window().findChild<CheckSchedule *>(); }
    QToolButton *toggle(const char *name) const
    {
        return m_fixture.window().findChild<QToolButton *>(QLatin1String(name));
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
    QCOMPARE(editor.problemMarks().messageAt(colr + 1), kColrTip);
    QCOMPARE(list()->model()->index(0, 2).data(Qt::ToolTipRole).toString(), kColrTip);
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
    QCOMPARE(toggle("ChkErrors")->text(), QStringLiteral("Errors 1"));
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
    for (int i = 0; sheet.size() < CheckSchedule::kBackgroundLength + 1000; ++i)
        sheet += ".rule" + QByteArray::number(i) + " {\n  colr: red;\n}\n";
    QVERIFY(m_fixture.open(sheet));
    CheckSchedule *panel = schedule();
    QVERIFY(panel->isBusy());
    // An edit while it runs: the check starts again on the text as it is then.
    RichEdit &editor = m_fixture.editor();
    editor.setSelStart(0);
    editor.setSelText(QStringLiteral("P { }\n"));
    QSignalSpy done(panel, &CheckSchedule::checkedInBackground);
    QVERIFY(done.wait(20000));
    QVERIFY(!panel->isBusy());
    const std::vector<Problem> whole = CheckSheet(editor.text());
    QCOMPARE(panel->problems().size(), whole.size());
    QCOMPARE(rows().first(), QStringLiteral("1 Warning")); // the empty rule typed first
    QCOMPARE(list()->model()->rowCount(), int(notNotes(whole)));
    // The marks, made for the text before the edit, moved with it.
    const qsizetype last = editor.model().toQtPosition(editor.text().lastIndexOf(u"colr"));
    QCOMPARE(editor.problemMarks().messageAt(last + 1), kColrTip);
    QCOMPARE(editor.problemMarks().messageAt(last - 3), QString());
}

void TestProblemsPanel::theTogglesCountAndHideTheirKind()
{
    QVERIFY(m_fixture.open(kSheet));
    QToolButton *errors = toggle("ChkErrors");
    QToolButton *warnings = toggle("ChkWarnings");
    QToolButton *notes = toggle("ChkNotes");
    QVERIFY(errors && warnings && notes);
    QCOMPARE(errors->text(), QStringLiteral("Errors 2"));
    QCOMPARE(warnings->text(), QStringLiteral("Warnings 1"));
    QCOMPARE(notes->text(), QStringLiteral("Notes 0"));
    QVERIFY(!warnings->accessibleName().isEmpty());
    QVERIFY(errors->isChecked() && warnings->isChecked() && !notes->isChecked());

    warnings->click();
    QCOMPARE(rows(), (QStringList{"4 Error", "5 Error"}));
    QCOMPARE(m_fixture.settings().read(keys::window::Section, keys::window::ProblemsWarnings), QStringLiteral("0"));
    QCOMPARE(status(), QStringLiteral("2 errors, 1 warning")); // the summary counts all
    errors->click();
    QCOMPARE(rows(), QStringList());
    warnings->click();
    QCOMPARE(rows(), (QStringList{"2 Warning"}));
    QCOMPARE(m_fixture.settings().read(keys::window::Section, keys::window::ProblemsWarnings), QStringLiteral("1"));

    // A recheck adds a row of a hidden kind: it stays hidden, and its toggle counts it.
    RichEdit &editor = m_fixture.editor();
    editor.setSelStart(editor.text().indexOf(u"colr"));
    editor.setSelText(QStringLiteral("color: #1; "));
    editor.setSelStart(0);
    QCOMPARE(errors->text(), QStringLiteral("Errors 3"));
    QCOMPARE(rows(), (QStringList{"2 Warning"}));
    errors->click();
    QCOMPARE(rows(), (QStringList{"2 Error", "2 Warning", "4 Error", "5 Error"}));
}

void TestProblemsPanel::theTogglesStartAsStored_data()
{
    QTest::addColumn<QString>("stored"); // ProblemsErrors, ProblemsWarnings, ProblemsNotes; "-" missing
    QTest::addColumn<QString>("checked");
    QTest::newRow("nothing stored: notes hidden") << "---" << "110";
    QTest::newRow("each the other way") << "001" << "001";
    QTest::newRow("malformed values are the defaults") << "x 2" << "110";
}

void TestProblemsPanel::theTogglesStartAsStored()
{
    QFETCH(QString, stored);
    QFETCH(QString, checked);
    const QLatin1String keys[] = {keys::window::ProblemsErrors, keys::window::ProblemsWarnings,
                                  keys::window::ProblemsNotes};
    QVERIFY2(m_fixture.tearDown(), qPrintable(m_fixture.problem()));
    QVERIFY2(m_fixture.setUp([&](SettingsStore &settings) {
                 for (int k = 0; k < 3; ++k) {
                     if (stored[k] != u'-')
                         settings.write(keys::window::Section, keys[k], QString(stored[k]));
                 }
             }),
             qPrintable(m_fixture.problem()));
    QString shown;
    for (const char *name : {"ChkErrors", "ChkWarnings", "ChkNotes"})
        shown += toggle(name)->isChecked() ? u'1' : u'0';
    QCOMPARE(shown, checked);
}

void TestProblemsPanel::aHiddenRowIsSkippedByTheJump()
{
    QVERIFY(m_fixture.open(kSheet));
    toggle("ChkWarnings")->click();
    RichEdit &editor = m_fixture.editor();
    list()->setFocus();
    list()->setCurrentIndex(list()->model()->index(1, 0));
    QTest::keyClick(list(), Qt::Key_Return);
    QCOMPARE(editor.selStart(), editor.text().indexOf(u"#12345"));
}

void TestProblemsPanel::aNewLevelChecksTheSheetAgainWhole()
{
    QVERIFY(m_fixture.open(kSheet));
    CheckSchedule *panel = schedule();
    QCOMPARE(panel->level(), CheckLevel::Css1);
    SettingsStore &settings = m_fixture.settings();
    settings.write(keys::editor::Section, keys::editor::CheckLevel, keys::editor::CheckLevelCurrent);
    panel->applySettings();
    QCOMPARE(panel->level(), CheckLevel::Current);
    const QString text = m_fixture.editor().text();
    QCOMPARE(panel->problems(), CheckSheet(text, CheckLevel::Current));
    QCOMPARE(list()->model()->rowCount(), int(notNotes(panel->problems())));
    settings.write(keys::editor::Section, keys::editor::CheckLevel, QStringLiteral("css3"));
    panel->applySettings();
    QCOMPARE(panel->level(), CheckLevel::Css1);
    QCOMPARE(panel->problems(), CheckSheet(text, CheckLevel::Css1));
}

QTEST_MAIN(TestProblemsPanel)
#include "tst_problemspanel.moc"
