#include "app/commandline.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

using namespace sheetsmith;

// What the command line asks for, and the program answering --help, --version and
// --check itself, without a window or a display.
class TestCommandLine : public QObject
{
    Q_OBJECT

private slots:
    void parse_data();
    void parse();
    void programAnswersWithoutADisplay_data();
    void programAnswersWithoutADisplay();
    void parseCheck_data();
    void parseCheck();
    void checkPrintsEachProblemAndExits_data();
    void checkPrintsEachProblemAndExits();
    void checkPrintsJson();
};

namespace {

struct Run
{
    int status = -1;
    QString out;
    QString err;
};

// The built program, run with no display of any kind: one that started a window
// system connection here would fail.
Run runProgram(const QStringList &arguments, const QString &folder = QString())
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(QLatin1String(name));
    QProcess program;
    program.setProcessEnvironment(environment);
    program.setWorkingDirectory(folder);
    program.start(QStringLiteral(SHEETSMITH_BUILD_DIR "/sheetpad"), arguments);
    Run run;
    if (!program.waitForFinished(60000) || program.exitStatus() != QProcess::NormalExit)
        return run;
    run.status = program.exitCode();
    run.out = QString::fromUtf8(program.readAllStandardOutput());
    run.err = QString::fromUtf8(program.readAllStandardError());
    return run;
}

// A tab, an accented letter and a character beyond 16 bits before "colr" on line 2:
// each is one column.
const QByteArray kFaulty = "p {\n\t/* \xc3\xa9\xf0\x9f\x98\x80 */ colr: red;\n  color: #12345;\n}\n";
const QByteArray kClean = "p { color: red }\n";

} // namespace

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

void TestCommandLine::parseCheck_data()
{
    QTest::addColumn<QStringList>("words");
    QTest::addColumn<QString>("parsed"); // "level format files..." or "error: what it names"
    QTest::newRow("files only") << QStringList{"--check", "a.css", "b c.css"} << "css1 gnu a.css|b c.css";
    QTest::newRow("both options") << QStringList{"--check", "--level=current", "--format=json", "a.css"}
                                  << "current json a.css";
    QTest::newRow("options after the files") << QStringList{"--check", "a.css", "--format=json"} << "css1 json a.css";
    QTest::newRow("-- ends the options") << QStringList{"--check", "--", "--level=current"}
                                         << "css1 gnu --level=current";
    QTest::newRow("an unknown level") << QStringList{"--check", "--level=css2", "a.css"} << "error: css2";
    QTest::newRow("an unknown format") << QStringList{"--check", "--format=xml", "a.css"} << "error: xml";
    QTest::newRow("an unknown option") << QStringList{"--check", "-x", "a.css"} << "error: -x";
    QTest::newRow("no file") << QStringList{"--check", "--level=css1"} << "error: file";
}

void TestCommandLine::parseCheck()
{
    QFETCH(QStringList, words);
    QFETCH(QString, parsed);
    const CommandLine line = parseCommandLine(words);
    if (parsed.startsWith(QLatin1String("error: "))) {
        QCOMPARE(line.action, CommandLine::Action::BadUsage);
        QVERIFY2(line.error.contains(parsed.mid(7)), qPrintable(line.error));
        return;
    }
    QCOMPARE(line.action, CommandLine::Action::Check);
    const QString got = CheckLevelKey(line.level) + u' ' +
                        (line.format == CommandLine::Format::Json ? QStringLiteral("json") : QStringLiteral("gnu")) +
                        u' ' + line.files.join(u'|');
    QCOMPARE(got, parsed);
}

void TestCommandLine::checkPrintsEachProblemAndExits_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QStringList>("out"); // patterns, one per line
    QTest::addColumn<QStringList>("err"); // each found in standard error, in order
    QTest::addColumn<int>("status");
    const QStringList faultyLines{R"(^faulty\.css:2:11: warning: .+ \[unknown-property\]$)",
                                  R"(^faulty\.css:3:10: error: .+ \[bad-colour\]$)"};
    QTest::newRow("problems in text order, then the summary") << QStringList{"--check", "faulty.css"} << faultyLines
                                                              << QStringList{"faulty.css: 1 error, 1 warning\n"} << 1;
    QTest::newRow("a clean sheet") << QStringList{"--check", "--level=current", "clean.css"} << QStringList{}
                                   << QStringList{"clean.css: No problems\n"} << 0;
    QTest::newRow("notes leave the status at 0") << QStringList{"--check", "notes.css"}
                                                 << QStringList{R"(^notes\.css:1:2: note: .+ \[not-css1\]$)"}
                                                 << QStringList{"notes.css: 1 note\n"} << 0;
    QTest::newRow("unreadable files among readable ones")
        << QStringList{"--check", "clean.css", "missing.css", "binary.css", "faulty.css"} << faultyLines
        << QStringList{"clean.css: No problems", "missing.css", "does not exist", "binary.css", "not a text file",
                       "faulty.css: 1 error, 1 warning"}
        << 2;
    QTest::newRow("a bad option checks nothing") << QStringList{"--check", "--fmt=json", "faulty.css"} << QStringList{}
                                                 << QStringList{"--fmt=json", "--help"} << 2;
}

void TestCommandLine::checkPrintsEachProblemAndExits()
{
    QFETCH(QStringList, arguments);
    QFETCH(QStringList, out);
    QFETCH(QStringList, err);
    QFETCH(int, status);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const auto write = [&dir](const char *name, const QByteArray &bytes) {
        QFile file(dir.filePath(QLatin1String(name)));
        return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
    };
    QVERIFY(write("faulty.css", kFaulty) && write("clean.css", kClean) && write("binary.css", QByteArray("p {\0}", 5)) &&
            write("notes.css", "a:hover { color: red }\n"));
    const Run run = runProgram(arguments, dir.path());
    QCOMPARE(run.status, status);
    QStringList lines = run.out.split(u'\n');
    QCOMPARE(lines.takeLast(), QString()); // every line ends in a break
    QCOMPARE(lines.size(), out.size());
    for (int i = 0; i < lines.size(); ++i)
        QVERIFY2(QRegularExpression(out[i]).match(lines[i]).hasMatch(), qPrintable(lines[i]));
    qsizetype at = 0;
    for (const QString &part : err) {
        at = run.err.indexOf(part, at);
        QVERIFY2(at >= 0, qPrintable(QStringLiteral("no \"%1\" in order in: %2").arg(part, run.err)));
    }
}

void TestCommandLine::checkPrintsJson()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QFile faulty(dir.filePath(QStringLiteral("faulty.css")));
    QVERIFY(faulty.open(QIODevice::WriteOnly) && faulty.write(kFaulty) == kFaulty.size());
    faulty.close();
    QFile clean(dir.filePath(QStringLiteral("clean.css")));
    QVERIFY(clean.open(QIODevice::WriteOnly) && clean.write(kClean) == kClean.size());
    clean.close();

    const Run run = runProgram({"--check", "--format=json", "clean.css", "faulty.css", "clean.css"}, dir.path());
    QCOMPARE(run.status, 1);
    QJsonParseError error;
    const QJsonDocument json = QJsonDocument::fromJson(run.out.toUtf8(), &error);
    QVERIFY2(json.isArray(), qPrintable(error.errorString() + u'\n' + run.out));
    const QJsonArray problems = json.array();
    QCOMPARE(problems.size(), 2);
    const QJsonObject colr = problems[0].toObject();
    QCOMPARE(colr.value("file").toString(), QStringLiteral("faulty.css"));
    QCOMPARE(colr.value("line").toInt(), 2);
    QCOMPARE(colr.value("column").toInt(), 11);
    QCOMPARE(colr.value("endLine").toInt(), 2);
    QCOMPARE(colr.value("endColumn").toInt(), 15); // after "colr"
    QCOMPARE(colr.value("severity").toString(), QStringLiteral("warning"));
    QCOMPARE(colr.value("rule").toString(), QStringLiteral("unknown-property"));
    QVERIFY(colr.value("message").toString().contains(QLatin1String("colr")));
    QCOMPARE(colr.value("fix").toString(), QStringLiteral("color"));
    const QJsonObject colour = problems[1].toObject();
    QCOMPARE(colour.value("line").toInt(), 3);
    QCOMPARE(colour.value("severity").toString(), QStringLiteral("error"));
    QVERIFY(!colour.contains("fix"));

    const Run none = runProgram({"--check", "--format=json", "clean.css"}, dir.path());
    QCOMPARE(none.status, 0);
    QCOMPARE(none.out, QStringLiteral("[]\n"));
}

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"
