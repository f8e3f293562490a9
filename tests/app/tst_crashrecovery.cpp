// The program killed while the author types, and started again. The program that is
// killed is this executable run once more in the role of the editor ("victim"): it
// starts exactly as sheetpad does (settings, main window, recovery copies in the
// data location of its XDG folders) and then types into the sheet, which sheetpad
// itself offers no way to do from outside. What comes after the kill is checked both
// in this process and with the real sheetpad, whose message boxes are answered from
// a file (SHEETSMITH_DIALOG_ANSWERS).

#include "app/form1.h"
#include "app/recovery.h"
#include "app/recoveryfile.h"
#include "dialogs/answerfiledialogs.h"
#include "editor/richedit.h"
#include "settings/settingsstore.h"
#include "support/files.h"
#include "support/windowfixture.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <cstdio>
#include <memory>

using namespace sheetsmith;

namespace {

const char VictimVariable[] = "SHEETSMITH_TEST_VICTIM_SHEET";
const QString CopyWritten = QStringLiteral("copy written: ");
const QByteArray OnDisk("p { color: blue; }\n");
const QString Typed = QStringLiteral("h1 { margin: 0; }");
const QString TypedNonAscii = QString::fromUtf8(" /* caf\xC3\xA9 \xE2\x98\x83 */");
const QString Expected = QStringLiteral("p { color: blue; }\r\n") + Typed + TypedNonAscii;

void nameTheProgram()
{
    QApplication::setApplicationName(QStringLiteral("Sheetsmith"));
    QApplication::setOrganizationName(QStringLiteral("Sheetsmith"));
}

// The victim: sheetpad's start, then typing at the end of the sheet named on its
// command line; once the recovery copy holds the typing it says so and waits to be
// killed.
int runVictim(int argc, char **argv)
{
    QApplication app(argc, argv);
    nameTheProgram();
    const auto answers = AnswerFileDialogs::fromEnvironment();
    SettingsStore settings;
    settings.ensureEditorDefaults();
    Form1 window(settings);
    DocumentRecovery recovery(window.document(), *window.MainText(), DocumentRecovery::defaultFolder(), &window);
    if (!window.startUp(qEnvironmentVariable(VictimVariable)))
        return 2;
    window.showWindow();
    // As sheetpad does: the sheet opens and the left copies are offered from the event
    // loop, before the typing starts.
    QMetaObject::invokeMethod(&recovery, &DocumentRecovery::offerLeftOvers, Qt::QueuedConnection);
    QCoreApplication::processEvents();

    RichEdit &editor = *window.MainText();
    editor.setFocus();
    editor.setSelStart(editor.text().size());
    QTest::keyClicks(&editor, Typed);
    editor.setSelText(TypedNonAscii);
    const QDeadlineTimer deadline(60000);
    while (decodeRecovery(readBytes(recovery.filePath())).record.text != editor.text()) {
        if (deadline.hasExpired())
            return 3;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(20);
    }
    std::printf("%s%s\n", qPrintable(CopyWritten), qPrintable(recovery.filePath()));
    std::fflush(stdout);
    return app.exec();
}

// A started victim or sheetpad with its own home in a temporary folder.
struct Program
{
    std::unique_ptr<QProcess> process = std::make_unique<QProcess>();
    QString copy; // the victim's recovery copy, once written

    ~Program()
    {
        if (process->state() != QProcess::NotRunning) {
            process->kill();
            process->waitForFinished();
        }
    }
};

} // namespace

class TestCrashRecovery : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void typingSurvivesAKill();
    void sheetpadOffersTheCopyAtStart();
    void runningProgramsCopyIsLeftAlone();

private:
    QProcessEnvironment environment() const;
    QString recoveryFolder() const { return m_home->filePath(QStringLiteral("data/Sheetsmith/Sheetsmith/recovery")); }
    // Starts the victim on sheet.css and waits until its copy is written.
    bool startVictim(Program &victim);
    void killVictim(Program &victim);
    // Starts sheetpad answering its boxes with answers; its log of boxes is m_log.
    bool startSheetpad(Program &sheetpad, const QStringList &answers, const QStringList &arguments = {});
    // Waits until sheetpad has logged at least count boxes; returns the log lines.
    QStringList waitForLog(int count) const;

    std::unique_ptr<QTemporaryDir> m_home;
    QString m_sheet;
    QString m_log;
};

void TestCrashRecovery::init()
{
    m_home = std::make_unique<QTemporaryDir>();
    QVERIFY(m_home->isValid());
    m_sheet = m_home->filePath(QStringLiteral("sheet.css"));
    m_log = m_home->filePath(QStringLiteral("dialogs.log"));
    QVERIFY(writeBytes(m_sheet, OnDisk));
}

void TestCrashRecovery::cleanup()
{
    m_home.reset();
}

QProcessEnvironment TestCrashRecovery::environment() const
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("HOME"), m_home->path());
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), m_home->filePath(QStringLiteral("config")));
    env.insert(QStringLiteral("XDG_DATA_HOME"), m_home->filePath(QStringLiteral("data")));
    env.insert(QStringLiteral("XDG_CACHE_HOME"), m_home->filePath(QStringLiteral("cache")));
    env.insert(QStringLiteral("SHEETSMITH_DIALOG_LOG"), m_log);
    return env;
}

bool TestCrashRecovery::startVictim(Program &victim)
{
    QProcessEnvironment env = environment();
    env.insert(QString::fromLatin1(VictimVariable), m_sheet);
    // No answers: a box the victim met would be logged and closed.
    env.insert(QStringLiteral("SHEETSMITH_DIALOG_ANSWERS"), m_home->filePath(QStringLiteral("no-answers")));
    victim.process->setProcessEnvironment(env);
    victim.process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    victim.process->start(QCoreApplication::applicationFilePath(), {});
    const QDeadlineTimer deadline(120000);
    QByteArray output;
    while (!output.contains('\n') && !deadline.hasExpired()) {
        if (!victim.process->waitForReadyRead(1000) && victim.process->state() == QProcess::NotRunning)
            break;
        output += victim.process->readAllStandardOutput();
    }
    const QString line = QString::fromLocal8Bit(output).trimmed();
    if (!line.startsWith(CopyWritten)) {
        qWarning("the victim did not write its copy: %s", qPrintable(line));
        return false;
    }
    victim.copy = line.mid(CopyWritten.size());
    return true;
}

void TestCrashRecovery::killVictim(Program &victim)
{
    victim.process->kill(); // SIGKILL: nothing of the program runs after it
    QVERIFY(victim.process->waitForFinished());
    QCOMPARE(victim.process->exitStatus(), QProcess::CrashExit);
}

bool TestCrashRecovery::startSheetpad(Program &sheetpad, const QStringList &answers, const QStringList &arguments)
{
    const QString answersFile = m_home->filePath(QStringLiteral("answers"));
    if (!writeBytes(answersFile, answers.join(u'\n').toUtf8()))
        return false;
    QProcessEnvironment env = environment();
    env.insert(QStringLiteral("SHEETSMITH_DIALOG_ANSWERS"), answersFile);
    sheetpad.process->setProcessEnvironment(env);
    sheetpad.process->setProcessChannelMode(QProcess::ForwardedChannels);
    sheetpad.process->start(QStringLiteral(SHEETSMITH_BUILD_DIR "/sheetpad"), arguments);
    return sheetpad.process->waitForStarted();
}

QStringList TestCrashRecovery::waitForLog(int count) const
{
    QStringList lines;
    const QDeadlineTimer deadline(120000);
    while (!deadline.hasExpired()) {
        lines = QString::fromUtf8(readBytes(m_log)).split(u'\n', Qt::SkipEmptyParts);
        if (lines.size() >= count)
            break;
        QThread::msleep(50);
    }
    return lines;
}

void TestCrashRecovery::typingSurvivesAKill()
{
    Program victim;
    QVERIFY(startVictim(victim));
    killVictim(victim);
    QCOMPARE(readBytes(m_sheet), OnDisk);
    QVERIFY(QFileInfo::exists(victim.copy));

    // Started again: the same folders, a Yes to the question.
    WindowFixture fixture;
    QVERIFY2(fixture.setUp(), qPrintable(fixture.problem()));
    {
        DocumentRecovery recovery(fixture.window().document(), fixture.editor(),
                                  QFileInfo(victim.copy).absolutePath(), &fixture.window());
        fixture.dialogs().answerMessage(DialogSeam::Yes);
        recovery.offerLeftOvers();
        QCOMPARE(fixture.dialogs().messages().size(), 1);
        QVERIFY(fixture.dialogs().messages().first().text.startsWith(
            QStringLiteral("Sheetsmith was not closed properly. Restore the unsaved changes to sheet.css from ")));

        QCOMPARE(fixture.editor().text(), Expected);
        QVERIFY(fixture.window().document().isModified());
        QCOMPARE(fixture.window().DocPath(), m_sheet);
        QCOMPARE(fixture.window().SavedText(), QStringLiteral("p { color: blue; }\r\n"));
        QCOMPARE(readBytes(m_sheet), OnDisk);
        QVERIFY(!QFileInfo::exists(victim.copy));
        recovery.endSession();
    }
    QVERIFY2(fixture.tearDown(), qPrintable(fixture.problem()));
}

void TestCrashRecovery::sheetpadOffersTheCopyAtStart()
{
    Program victim;
    QVERIFY(startVictim(victim));
    killVictim(victim);
    QCOMPARE(QFileInfo(victim.copy).absolutePath(), recoveryFolder());

    // Started again on the same sheet, as from a file manager: the sheet opens first and
    // the restored text then takes its place.
    Program sheetpad;
    QVERIFY(startSheetpad(sheetpad, {QStringLiteral("Yes")}, {m_sheet}));
    const QStringList log = waitForLog(1);
    QCOMPARE(log.size(), 1);
    QVERIFY2(log.first().startsWith(QStringLiteral(
                 "Yes\tSheetsmith was not closed properly. Restore the unsaved changes to sheet.css from ")),
             qPrintable(log.first()));

    // The text is now in sheetpad's own copy, and the one the victim left is gone.
    QStringList copies;
    QString text;
    const QDeadlineTimer deadline(60000);
    while (!deadline.hasExpired()) {
        copies = QDir(recoveryFolder()).entryList({QStringLiteral("*.recovery")}, QDir::Files);
        if (copies.size() == 1 && !copies.contains(QFileInfo(victim.copy).fileName())) {
            text = decodeRecovery(readBytes(QDir(recoveryFolder()).filePath(copies.first()))).record.text;
            break;
        }
        QThread::msleep(50);
    }
    QCOMPARE(text, Expected);
    // The restored text stays the window's: nothing opened after it (the copy of an
    // unmodified document would go).
    QTest::qWait(1000);
    QCOMPARE(QDir(recoveryFolder()).entryList({QStringLiteral("*.recovery")}, QDir::Files), copies);
    QCOMPARE(readBytes(m_sheet), OnDisk);
    QCOMPARE(sheetpad.process->state(), QProcess::Running);
}

void TestCrashRecovery::runningProgramsCopyIsLeftAlone()
{
    Program running;
    QVERIFY(startVictim(running));
    const QByteArray runningCopy = readBytes(running.copy);
    QVERIFY(!runningCopy.isEmpty());

    // A second program started in this process finds nothing to offer.
    {
        WindowFixture fixture;
        QVERIFY2(fixture.setUp(), qPrintable(fixture.problem()));
        {
            DocumentRecovery recovery(fixture.window().document(), fixture.editor(), recoveryFolder(),
                                      &fixture.window());
            recovery.offerLeftOvers();
            recovery.endSession();
        }
        QCOMPARE(fixture.dialogs().messages().size(), 0);
        QVERIFY2(fixture.tearDown(), qPrintable(fixture.problem()));
    }
    QCOMPARE(readBytes(running.copy), runningCopy);

    // So does sheetpad: beside the running program's copy lies one left by a program
    // that has ended, newer, so offered after the running one's was passed over.
    const RecoveryRecord ended{QStringLiteral("Untitled"), QString(), FileFormat{}, QStringLiteral("b { }"),
                               QDateTime::currentDateTimeUtc()};
    QVERIFY(writeBytes(QDir(recoveryFolder()).filePath(QStringLiteral("ended.recovery")), encodeRecovery(ended)));
    Program second;
    QVERIFY(startSheetpad(second, {QStringLiteral("No"), QStringLiteral("No")}));
    const QStringList log = waitForLog(2);
    QCOMPARE(log.size(), 2);
    QVERIFY2(log.at(0).startsWith(QStringLiteral("No\tSheetsmith was not closed properly. Restore the unsaved "
                                                 "changes to Untitled from ")),
             qPrintable(log.at(0)));
    QVERIFY2(log.at(1).startsWith(QStringLiteral("No\tDelete the unsaved changes to Untitled")), qPrintable(log.at(1)));
    QCOMPARE(readBytes(running.copy), runningCopy);
    QCOMPARE(running.process->state(), QProcess::Running);
    QVERIFY(QFileInfo::exists(QDir(recoveryFolder()).filePath(QStringLiteral("ended.recovery"))));
}

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsSet(VictimVariable))
        return runVictim(argc, argv);
    QApplication app(argc, argv);
    TestCrashRecovery test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_crashrecovery.moc"
