#include "app/commandline.h"

#include <QProcess>
#include <QProcessEnvironment>
#include <QTest>

using namespace sheetsmith;

// What the command line asks for, and the program answering --help and --version
// itself, on its standard output, without a window or a display.
class TestCommandLine : public QObject
{
    Q_OBJECT

private slots:
    void parse_data();
    void parse();
    void programAnswersWithoutADisplay_data();
    void programAnswersWithoutADisplay();
};

Q_DECLARE_METATYPE(CommandLine::Action)

void TestCommandLine::parse_data()
{
    QTest::addColumn<QStringList>("words");
    QTest::addColumn<CommandLine::Action>("action");
    QTest::addColumn<QString>("sheet");
    const auto edit = CommandLine::Action::Edit;
    QTest::newRow("nothing") << QStringList{} << edit << "";
    QTest::newRow("one path") << QStringList{"/site/main.css"} << edit << "/site/main.css";
    QTest::newRow("a path split at its blanks") << QStringList{"/my", "site/main", "v2.css"} << edit
                                                << "/my site/main v2.css";
    QTest::newRow("--help alone") << QStringList{"--help"} << CommandLine::Action::PrintUsage << "";
    QTest::newRow("--version alone") << QStringList{"--version"} << CommandLine::Action::PrintVersion << "";
    QTest::newRow("--help with more words is a path") << QStringList{"--help", "me.css"} << edit
                                                      << "--help me.css";
    QTest::newRow("a path then --version") << QStringList{"notes", "--version"} << edit << "notes --version";
    QTest::newRow("--help and --version") << QStringList{"--help", "--version"} << edit << "--help --version";
    QTest::newRow("short -h is a path") << QStringList{"-h"} << edit << "-h";
    QTest::newRow("letter case counts") << QStringList{"--Help"} << edit << "--Help";
    QTest::newRow("--help with a blank is a path") << QStringList{"--help "} << edit << "--help ";
}

void TestCommandLine::parse()
{
    QFETCH(QStringList, words);
    QFETCH(CommandLine::Action, action);
    QFETCH(QString, sheet);
    const CommandLine line = parseCommandLine(words);
    QCOMPARE(line.action, action);
    QCOMPARE(line.sheet, sheet);
}

void TestCommandLine::programAnswersWithoutADisplay_data()
{
    QTest::addColumn<QString>("option");
    QTest::addColumn<QString>("firstLine");
    QTest::newRow("--help") << "--help" << "Usage: sheetpad [SHEET]";
    QTest::newRow("--version") << "--version" << QStringLiteral("sheetpad (Sheetsmith) ") + QLatin1String(ApplicationVersion);
}

void TestCommandLine::programAnswersWithoutADisplay()
{
    QFETCH(QString, option);
    QFETCH(QString, firstLine);
    // No display of any kind: a program that started a window system connection
    // here would fail.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(QLatin1String(name));
    QProcess program;
    program.setProcessEnvironment(environment);
    program.start(QStringLiteral(SHEETSMITH_BUILD_DIR "/sheetpad"), {option});
    QVERIFY2(program.waitForFinished(60000), qPrintable(program.errorString()));
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.exitCode(), 0);
    const QString out = QString::fromLocal8Bit(program.readAllStandardOutput());
    QCOMPARE(out.section(u'\n', 0, 0), firstLine);
    QVERIFY(out.endsWith(u'\n'));
    QCOMPARE(QString::fromLocal8Bit(program.readAllStandardError()), QString());
    QCOMPARE(out, option == QLatin1String("--help") ? usageText() : versionText());
}

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"
