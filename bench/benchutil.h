#pragma once

// What the benchmarks share: the median of several runs, in milliseconds, the sample
// sheets they run on, and a place in a sheet to move the caret from.

#include "blocks/root.h"
#include "editor/richedit.h"
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

// The offset of a line start inside the last block of the sheet that spans at least
// `lines` lines, so that moving one line down from it stays inside the block; 0 when no
// block is that long.
inline qsizetype lineInLastBlock(const Root &blocks, const RichEdit &editor, int lines)
{
    for (qsizetype i = blocks.Count(); i >= 1; --i) {
        const ItmClass &b = blocks.Item(i);
        if (b.Ends() == 0)
            continue;
        const int first = editor.lineFromChar(b.Begins());
        const int last = editor.lineFromChar(b.Ends() - 1);
        if (last - first >= lines)
            return editor.lineIndex(first + 1);
    }
    return 0;
}

} // namespace sheetsmith::bench
