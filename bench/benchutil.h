#pragma once

// Timing shared by the benchmarks: the median of several runs, in milliseconds.

#include <QElapsedTimer>

#include <algorithm>
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

} // namespace sheetsmith::bench
