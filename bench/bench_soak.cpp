// Memory over a long mixed session: the soak driver's steps (typing, pastes, Undo and
// Redo, block and tree commands, inspector writes, Replace All, Format Sheet, the
// preview, Open, Save As, reloads) in the real window on the 2 MB sample, with the
// program's resident memory printed every 10,000 steps. New and Open open a fresh
// copy of the sample, so that the session stays on a sheet of its size. The views are
// not compared with fresh readings here (tst_soak does that); every step still answers
// what it did, and a step that went wrong stops the run.
//
// Beside the resident memory it prints the heap in use, as the allocator counts it: when
// only the resident figure grows, the heap is fragmenting rather than holding more. At
// each checkpoint it then opens a fresh copy of the sample and prints both again: those
// figures leave out the undo history of the sheet, which grows until the next Open.
//
//   bench_soak [STEPS [SEED [EVERY]]]    100,000 steps, seed 1, figures every 10,000

#include "benchutil.h"

#include "app/memoryuse.h"
#include "support/recordingpageview.h"
#include "support/soakdriver.h"
#include "support/windowfixture.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTest>

#include <cstdio>
#include <map>

using namespace sheetsmith;

namespace {

// The sheet the session starts on: the 2 MB sample.
QString bigSample()
{
    for (const QString &path : bench::sampleSheets()) {
        if (QFileInfo(path).fileName() == u"fomantic-semantic.css")
            return path;
    }
    return QString();
}

// The test support records every message, dialog, address and script: dropped now and
// then, so that what grows is the program's own memory.
void forgetRecords(WindowFixture &fixture)
{
    fixture.dialogs().forgetCalls();
    for (QWidget *widget : QApplication::allWidgets()) {
        if (auto *view = qobject_cast<RecordingPageView *>(widget))
            view->forgetCalls();
    }
}

long heapInUseKb()
{
    return long(bench::heapInUseBytes() / 1024);
}

} // namespace

// A test object only so that the driver's scripted dialogs can report a dialog nobody
// answered the way they do in tests.
class SoakMemory : public QObject
{
    Q_OBJECT

public:
    SoakMemory(int steps, quint32 seed, int every) : m_steps(steps), m_seed(seed), m_every(every) {}

private slots:
    void session();

private:
    int m_steps;
    quint32 m_seed;
    int m_every;
};

void SoakMemory::session()
{
    const QString sample = bigSample();
    QVERIFY2(!sample.isEmpty(), "no fomantic-semantic.css among the samples");
    WindowFixture fixture;
    QVERIFY2(fixture.setUp(), qPrintable(fixture.problem()));
    const QByteArray sheet = readBytes(sample);
    QVERIFY(fixture.open(sheet));
    SoakDriver driver(fixture, m_seed);
    driver.stayOnSheet(sheet);
    std::printf("soak on %s, seed %u: memory every %d steps\n", qPrintable(QFileInfo(sample).fileName()), m_seed,
                m_every);
    std::printf("%8s %12s %12s %12s %14s %14s %10s\n", "steps", "resident kB", "heap kB", "text kchars",
                "reopened res.", "reopened heap", "seconds");
    std::printf("%8d %12ld %12ld %12lld %14s %14s %10s\n", 0, bench::residentKb(), heapInUseKb(),
                static_cast<long long>(fixture.editor().text().size() / 1000), "", "", "0");
    std::fflush(stdout);
    long first = 0;
    long last = 0;
    long firstReopened = 0;
    long lastReopened = 0;
    QElapsedTimer clock;
    clock.start();
    // What the steps cost, by kind (the first word of what each did).
    std::map<QString, std::pair<int, double>> costs;
    for (int i = 1; i <= m_steps; ++i) {
        QElapsedTimer stepClock;
        stepClock.start();
        const QString did = driver.step();
        auto &cost = costs[did.section(u' ', 0, 0)];
        ++cost.first;
        cost.second += double(stepClock.nsecsElapsed()) / 1e6;
        if (did.startsWith(u"wrong: ") || QTest::currentTestFailed())
            QFAIL(qPrintable(QStringLiteral("step %1: %2\nsteps: %3").arg(i).arg(did, driver.history())));
        if (i % 1000 == 0)
            forgetRecords(fixture);
        if (i % m_every == 0 || i == 10000 || i == m_steps) {
            bench::settle();
            last = bench::residentKb();
            const long heap = heapInUseKb();
            const long long kchars = static_cast<long long>(fixture.editor().text().size() / 1000);
            // What the session holds depends on how long ago the sheet was last opened:
            // its undo history and the text pasted since. A fresh copy of the sample,
            // opened here as the author would, drops those, so that the reopened figures
            // compare the program itself from one checkpoint to the next. The session
            // then goes on from there.
            const QString reopened = driver.reopen();
            QVERIFY2(reopened.isEmpty(), qPrintable(reopened));
            bench::settle();
            lastReopened = bench::residentKb();
            if (i == 10000) {
                first = last;
                firstReopened = lastReopened;
            }
            std::printf("%8d %12ld %12ld %12lld %14ld %14ld %10.0f\n", i, last, heap, kchars, lastReopened,
                        heapInUseKb(), clock.elapsed() / 1000.0);
            std::fflush(stdout);
        }
    }
    std::printf("%-12s %8s %10s %10s\n", "step", "count", "mean ms", "total s");
    for (const auto &[kind, cost] : costs)
        std::printf("%-12s %8d %10.1f %10.1f\n", qPrintable(kind), cost.first, cost.second / cost.first,
                    cost.second / 1000);
    if (first > 0) {
        std::printf("last against 10,000 steps: %+.1f %% as the session stood, %+.1f %% reopened\n",
                    100.0 * double(last - first) / double(first),
                    100.0 * double(lastReopened - firstReopened) / double(firstReopened));
    }
    QVERIFY2(fixture.tearDown(), qPrintable(fixture.problem()));
}

int main(int argc, char **argv)
{
    // The allocator set up as the program sets it up at start.
    setUpMemoryUse();
    bench::preferOffscreenPlatform();
    QApplication app(argc, argv);
    const int steps = argc > 1 ? QByteArray(argv[1]).toInt() : 100000;
    const quint32 seed = argc > 2 ? QByteArray(argv[2]).toUInt() : 1;
    const int every = argc > 3 ? QByteArray(argv[3]).toInt() : 10000;
    SoakMemory soak(steps > 0 ? steps : 100000, seed, every > 0 ? every : 10000);
    // The session is one test function that runs for an hour or more: past Qt Test's
    // watchdog, which would end it after five minutes.
    if (qEnvironmentVariableIsEmpty("QTEST_FUNCTION_TIMEOUT"))
        qputenv("QTEST_FUNCTION_TIMEOUT", "86400000");
    // Qt Test is given no arguments of ours.
    char *qtArgs[] = {argv[0], const_cast<char *>("-silent")};
    return QTest::qExec(&soak, 2, qtArgs);
}

#include "bench_soak.moc"
