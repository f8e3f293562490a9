// Times the check: a whole check of the 2 MB sample in-process at each level; in the main
// window, a caret line change after an edit with the check off and on at each level on
// the 2 MB sample, the
// same with the check on in a 50 MB sheet, and opening the 50 MB sheet with the check
// on and off (until idle, then until the problems, checked off the window's thread,
// are listed).
//
//   bench_check           everything
//   bench_check --quick   without the 50 MB sheet

#include "benchutil.h"

#include "app/form1.h"
#include "check/checkschedule.h"
#include "check/sheetcheck.h"
#include "settings/settingskeys.h"
#include "settings/settingsstore.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cstdio>

using namespace sheetsmith;
using namespace sheetsmith::bench;

namespace {

void printRow(const char *what, double ms)
{
    std::printf("%-60s %10.2f ms\n", what, ms);
    std::fflush(stdout);
}

double openMs(Form1 &window, const QString &path)
{
    window.OpenDocument(QStringLiteral("small.css"), corpusDir() + QStringLiteral("/css/normalize.css"));
    settle();
    QElapsedTimer timer;
    timer.start();
    window.OpenDocument(QFileInfo(path).fileName(), path);
    settle();
    return double(timer.nsecsElapsed()) / 1e6;
}

} // namespace

int main(int argc, char **argv)
{
    const bool quick = argc > 1 && qstrcmp(argv[1], "--quick") == 0;
    preferOffscreenPlatform();
    QApplication app(argc, argv);
    QTemporaryDir dir;
    SettingsStore settings(dir.filePath(QStringLiteral("bench.ini")));
    settings.ensureEditorDefaults();
    const auto checking = [&settings](bool on, const char *level = "css1") {
        settings.write(keys::editor::Section, keys::editor::Check, on ? QStringLiteral("1") : QStringLiteral("0"));
        settings.write(keys::editor::Section, keys::editor::CheckLevel, QLatin1String(level));
    };

    const QString fomantic = corpusDir() + QStringLiteral("/css/fomantic-semantic.css");
    const QString text = QString::fromUtf8(readBytes(fomantic));
    std::size_t found = 0;
    // The first check also reads the definitions of current CSS and each grammar it
    // needs; later ones find the verdicts of values seen before.
    printRow("first whole check of the 2 MB sample, in-process, level css1",
             medianMs(1, [&] { found = CheckSheet(text, CheckLevel::Css1).size(); }));
    printRow("whole check of the 2 MB sample, in-process, level css1",
             medianMs(9, [&] { found = CheckSheet(text, CheckLevel::Css1).size(); }));
    std::printf("(%zu problems)\n", found);
    printRow("whole check of the 2 MB sample, in-process, level current",
             medianMs(9, [&] { found = CheckSheet(text, CheckLevel::Current).size(); }));
    std::printf("(%zu problems)\n", found);

    Form1 window(settings);
    if (!window.startUp(QString()))
        return 1;
    window.resize(1200, 900);
    window.showWindow();
    settle();

    for (const char *mode : {"off", "css1", "current"}) {
        const bool on = qstrcmp(mode, "off") != 0;
        checking(on, on ? mode : "css1");
        window.OpenDocument(QFileInfo(fomantic).fileName(), fomantic);
        settle();
        const LineChange change = lineChange(window, 15);
        const QByteArray typed = QByteArray("caret line change after typing, 2 MB sample, check ") + mode;
        const QByteArray rule = QByteArray("caret line change after a \"{\" typed, 2 MB sample, check ") + mode;
        printRow(typed.constData(), change.typed);
        printRow(rule.constData(), change.rule);
    }
    if (quick)
        return 0;

    const QString big = writeBigSheet(dir.path(), kBigSheetBytes);
    checking(false);
    const double openOff = openMs(window, big);
    checking(true);
    const double openOn = openMs(window, big);
    printRow("open the 50 MB sheet, until idle, check off", openOff);
    printRow("open the 50 MB sheet, until idle, check on", openOn);
    // A sheet that long is checked off the window's thread: the problems follow.
    auto *panel = window.findChild<CheckSchedule *>();
    QElapsedTimer listed;
    listed.start();
    while (panel && panel->isBusy())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    settle();
    printRow("then until its problems are listed", double(listed.nsecsElapsed()) / 1e6);
    if (panel)
        std::printf("(%zu problems listed)\n", panel->problems().size());
    const LineChange large = lineChange(window, 7);
    printRow("caret line change after typing, 50 MB sheet, check on", large.typed);
    printRow("caret line change after a \"{\" typed, 50 MB sheet, check on", large.rule);
    window.OpenDocument(QStringLiteral("small.css"), corpusDir() + QStringLiteral("/css/normalize.css"));
    settle();
    return 0;
}
