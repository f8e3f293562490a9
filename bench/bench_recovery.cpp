// What keeping a recovery copy costs the author's typing, on the largest sample sheet
// in the real main window (offscreen). Every figure is time spent on the user-interface
// thread for one keystroke: the key itself plus the events that follow it before the
// next one (where the recovery timer hands the text to the writer thread).
//  - recovery off;
//  - recovery on, as shipped: the copy a moment after typing stops, typed in bursts;
//  - recovery on, a copy after every single key: the worst case, with the writer
//    thread busy encoding and writing 2 MB while the next keys come.
// And the writer's own time for one copy of the sheet, on its thread.

#include "benchutil.h"

#include "app/form1.h"
#include "app/recovery.h"
#include "editor/richedit.h"
#include "settings/settingsstore.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

using namespace sheetsmith;

namespace {

struct KeyTimes
{
    std::vector<double> ms;

    double median()
    {
        std::sort(ms.begin(), ms.end());
        return ms[ms.size() / 2];
    }
    // Call after median(): the times are sorted then.
    double percentile95() const { return ms[ms.size() * 95 / 100]; }
    double max() const { return ms.back(); }
};

// Types `bursts` runs of `keys` keys in the middle of the sheet, pausing pauseMs after
// each key and burstPauseMs after each run, as an author types.
KeyTimes type(RichEdit &editor, int bursts, int keys, int pauseMs, int burstPauseMs)
{
    KeyTimes times;
    editor.setSelStart(editor.text().size() / 2);
    QApplication::processEvents();
    for (int b = 0; b < bursts; ++b) {
        for (int k = 0; k < keys; ++k) {
            QElapsedTimer timer;
            timer.start();
            QTest::keyClick(&editor, Qt::Key_X);
            QApplication::processEvents();
            times.ms.push_back(double(timer.nsecsElapsed()) / 1e6);
            QThread::msleep(pauseMs);
        }
        const qint64 until = QDateTime::currentMSecsSinceEpoch() + burstPauseMs;
        while (QDateTime::currentMSecsSinceEpoch() < until) {
            QApplication::processEvents();
            QThread::msleep(5);
        }
    }
    return times;
}

void report(const char *what, KeyTimes times)
{
    const double median = times.median();
    std::printf("%-56s median %6.3f ms  95%% %6.3f ms  max %7.3f ms  (%zu keys)\n", what, median,
                times.percentile95(), times.max(), times.ms.size());
}

} // namespace

int main(int argc, char **argv)
{
    bench::preferOffscreenPlatform();
    QApplication app(argc, argv);
    // The sheet is copied: the benchmark types into it and must not touch the sample.
    QTemporaryDir dir;
    const QString sample = corpusDir() + QStringLiteral("/css/fomantic-semantic.css");
    const QString sheet = dir.filePath(QStringLiteral("fomantic-semantic.css"));
    if (!QFile::copy(sample, sheet)) {
        std::fprintf(stderr, "cannot read %s\n", qPrintable(sample));
        return 1;
    }
    SettingsStore settings(dir.filePath(QStringLiteral("bench.ini")));
    settings.ensureEditorDefaults();
    Form1 window(settings);
    if (!window.startUp(sheet))
        return 1;
    window.showWindow();
    QApplication::processEvents();
    RichEdit &editor = *window.MainText();
    std::printf("%s: %lld bytes, %lld characters\n\n", qPrintable(sample),
                static_cast<long long>(QFileInfo(sample).size()), static_cast<long long>(editor.text().size()));

    report("recovery off", type(editor, 5, 40, 2, 1200));

    auto recovery = std::make_unique<DocumentRecovery>(window.document(), editor,
                                                       dir.filePath(QStringLiteral("recovery")), &window);
    report("recovery on, copy 1 s after typing stops (as shipped)", type(editor, 5, 40, 2, 1200));

    recovery->setDelays(0, 0);
    report("recovery on, copy after every key (worst case)", type(editor, 1, 200, 2, 0));

    // The writer's own time for a copy of the whole sheet.
    recovery->setDelays(DocumentRecovery::DefaultIdleDelayMs, DocumentRecovery::DefaultLongestDelayMs);
    std::vector<double> writes;
    for (int i = 0; i < 5; ++i) {
        QTest::keyClick(&editor, Qt::Key_X);
        QElapsedTimer timer;
        timer.start();
        recovery->writePendingNow();
        writes.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    std::sort(writes.begin(), writes.end());
    std::printf("%-58s median %7.3f ms   (%lld bytes)\n", "writing one copy, on the writer thread", writes[2],
                static_cast<long long>(QFileInfo(recovery->filePath()).size()));

    recovery->endSession();
    recovery.reset();
    window.document().open(QStringLiteral("fomantic-semantic.css"), sheet); // drops the typing: no question
    return 0;
}
