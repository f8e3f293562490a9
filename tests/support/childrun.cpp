#include "support/childrun.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <csignal>
#include <pwd.h>
#include <unistd.h>

namespace sheetsmith {

namespace {

const char ChildVariable[] = "SHEETSMITH_TEST_CHILD";
const char SmallDiskVariable[] = "SHEETSMITH_SMALL_DISK";
const QString SmallDiskReady = QStringLiteral("small disk mounted");

// The test function and data row running now, as the test executable's argument.
QString currentTest()
{
    QString test = QString::fromLatin1(QTest::currentTestFunction());
    if (const char *tag = QTest::currentDataTag())
        test += u':' + QString::fromLocal8Bit(tag);
    return test;
}

ChildOutcome run(const QString &program, const QStringList &arguments, const QProcessEnvironment &environment)
{
    QProcess child;
    child.setProcessEnvironment(environment);
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.start(program, arguments);
    ChildOutcome outcome;
    if (!child.waitForStarted()) {
        outcome.output = QStringLiteral("%1 cannot be started: %2").arg(program, child.errorString());
        return outcome;
    }
    child.waitForFinished(240000);
    outcome.output = QString::fromLocal8Bit(child.readAll());
    const bool passed = child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0;
    // The program in front (setpriv, unshare) refused before the test could start: a
    // container without the right to change user or to make namespaces.
    const QString front = QFileInfo(program).fileName() + u':';
    if (!outcome.output.contains(QLatin1String("Start testing of")) && outcome.output.contains(front)) {
        outcome.kind = ChildOutcome::NotPossible;
        outcome.output = QStringLiteral("the test cannot be run again here: ") + outcome.output;
    } else if (passed && outcome.output.contains(QLatin1String("SKIP   :"))) {
        outcome.kind = ChildOutcome::NotPossible;
        outcome.output = QStringLiteral("skipped in the child: ") + outcome.output;
    } else {
        outcome.kind = passed ? ChildOutcome::Passed : ChildOutcome::Failed;
    }
    return outcome;
}

QProcessEnvironment childEnvironment()
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QString::fromLatin1(ChildVariable), QStringLiteral("1"));
    return environment;
}

} // namespace

bool isChildRun()
{
    return qEnvironmentVariableIsSet(ChildVariable);
}

bool needsUnprivilegedRerun()
{
    return geteuid() == 0 && !isChildRun();
}

ChildOutcome rerunUnprivileged()
{
    ChildOutcome outcome;
    const QString setpriv = QStandardPaths::findExecutable(QStringLiteral("setpriv"));
    const passwd *nobody = getpwnam("nobody");
    if (setpriv.isEmpty() || !nobody) {
        outcome.output = QStringLiteral("file permissions do not bind the superuser, and there is no setpriv or "
                                        "user \"nobody\" to run this test as");
        return outcome;
    }
    // The child's own home: everything it writes stays in here.
    QTemporaryDir home;
    if (!home.isValid() || ::chown(QFile::encodeName(home.path()).constData(), nobody->pw_uid, nobody->pw_gid) != 0) {
        outcome.output = QStringLiteral("no folder for the unprivileged user");
        return outcome;
    }
    QProcessEnvironment environment = childEnvironment();
    for (const char *name : {"HOME", "TMPDIR", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME"})
        environment.insert(QString::fromLatin1(name), home.path());
    environment.remove(QStringLiteral("XDG_RUNTIME_DIR"));
    return run(setpriv,
               {QStringLiteral("--reuid=%1").arg(nobody->pw_uid), QStringLiteral("--regid=%1").arg(nobody->pw_gid),
                QStringLiteral("--clear-groups"), QCoreApplication::applicationFilePath(), currentTest()},
               environment);
}

ChildOutcome rerunWithSmallDisk(qint64 bytes)
{
    ChildOutcome outcome;
    const QString unshare = QStandardPaths::findExecutable(QStringLiteral("unshare"));
    QTemporaryDir mountPoint;
    if (unshare.isEmpty() || !mountPoint.isValid()) {
        outcome.output = QStringLiteral("no unshare program to make a small file system with");
        return outcome;
    }
    QProcessEnvironment environment = childEnvironment();
    environment.insert(QString::fromLatin1(SmallDiskVariable), mountPoint.path());
    // The file system exists only in the child's own mount namespace, which a user
    // namespace lets any user make; nothing outside the child sees it.
    const QString script = QStringLiteral("mount -t tmpfs -o size=\"$1\" tmpfs \"$2\" || exit 77; echo %1; "
                                          "shift 2; exec \"$@\"")
                               .arg(SmallDiskReady);
    outcome = run(unshare,
                  {QStringLiteral("--user"), QStringLiteral("--map-root-user"), QStringLiteral("--mount"),
                   QStringLiteral("sh"), QStringLiteral("-c"), script, QStringLiteral("sh"), QString::number(bytes),
                   mountPoint.path(), QCoreApplication::applicationFilePath(), currentTest()},
                  environment);
    if (!outcome.output.contains(SmallDiskReady)) {
        outcome.kind = ChildOutcome::NotPossible;
        outcome.output = QStringLiteral("no private file system can be mounted here: ") + outcome.output;
    }
    return outcome;
}

QString smallDiskFolder()
{
    return isChildRun() ? qEnvironmentVariable(SmallDiskVariable) : QString();
}

FullDisk::FullDisk()
{
    const QString smallDisk = smallDiskFolder();
    if (!smallDisk.isEmpty()) {
        QFile filler(QDir(smallDisk).filePath(QStringLiteral("filler")));
        if (filler.open(QIODevice::WriteOnly)) {
            const QByteArray block(4096, 'f');
            while (filler.write(block) == block.size() && filler.flush()) {
            }
        }
        return;
    }
    getrlimit(RLIMIT_FSIZE, &m_saved);
    m_previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limited = m_saved;
    limited.rlim_cur = 64;
    m_limited = setrlimit(RLIMIT_FSIZE, &limited) == 0;
}

FullDisk::~FullDisk()
{
    if (m_limited)
        setrlimit(RLIMIT_FSIZE, &m_saved);
    if (m_previousHandler)
        std::signal(SIGXFSZ, m_previousHandler);
}

QString FullDisk::reason() const
{
    return m_limited ? QStringLiteral("File too large") : QStringLiteral("No space left on device");
}

} // namespace sheetsmith
