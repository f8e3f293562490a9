#pragma once

// What the benchmarks share: the median of several runs, in milliseconds, and the
// sample sheets they run on.

#include "support/files.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QStringList>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace sheetsmith::bench {

// Runs prepare (untimed) and then work (timed) `runs` times; returns the median.
inline double medianMs(int runs, const std::function<void()> &prepare, const std::function<void()> &work)
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        prepare();
        QElapsedTimer timer;
        timer.start();
        work();
        times.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

inline double medianMs(int runs, const std::function<void()> &work)
{
    return medianMs(runs, [] {}, work);
}

// The offscreen platform unless another one is asked for: figures without a display.
// Call before the application is made.
inline void preferOffscreenPlatform()
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
}

// The sample sheets' paths; when there are none, says so and gives none.
inline QStringList sampleSheets()
{
    const QStringList sheets = corpusSheets();
    if (sheets.isEmpty())
        std::fprintf(stderr, "no sheets in %s/css\n", qPrintable(corpusDir()));
    return sheets;
}

} // namespace sheetsmith::bench
