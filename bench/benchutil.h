#pragma once

// What the benchmarks share: the median of several runs, in milliseconds, a count of a
// widget's paints, the sample sheets they run on, a place in a sheet to move the caret
// from, the 50 MB sheet and the caret line changes timed on it.

#include "app/form1.h"
#include "blocks/root.h"
#include "editor/richedit.h"
#include "support/files.h"

#include <QApplication>
#include <QByteArray>
#include <QFile>
#include <QTest>
#include <QElapsedTimer>
#include <QStringList>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <malloc.h>
#include <vector>

namespace sheetsmith::bench {

// The median of times, 0 when there are none.
inline double median(std::vector<double> times)
{
    std::sort(times.begin(), times.end());
    return times.empty() ? 0 : times[times.size() / 2];
}

// Counts the paints of a widget.
class PaintCounter : public QObject
{
public:
    explicit PaintCounter(QWidget &widget) { widget.installEventFilter(this); }
    int count() const { return m_count; }

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            ++m_count;
        return false;
    }

private:
    int m_count = 0;
};

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
    return median(std::move(times));
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

// Resident memory in kB of a process (by default this one), from /proc.
inline long residentKb(const QString &pid = QStringLiteral("self"))
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    }
    return 0;
}

// The bytes the allocator hands out now (0 under the sanitizers, whose allocator keeps
// no such count).
inline std::size_t heapInUseBytes()
{
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
}

inline constexpr qint64 kBigSheetBytes = 50LL * 1024 * 1024;

// Everything the event loop has to do after an action: posted events, the views'
// delayed layouts (zero timers) and the repaints.
inline void settle()
{
    for (int i = 0; i < 4; ++i)
        QApplication::processEvents();
}

// The sample sheets one after the other, repeated until the file holds `bytes`.
inline QString writeBigSheet(const QString &folder, qint64 bytes)
{
    const QString path = folder + QStringLiteral("/big.css");
    QFile out(path);
    if (!out.open(QIODevice::WriteOnly))
        return QString();
    qint64 written = 0;
    const QStringList sheets = sampleSheets();
    while (written < bytes && !sheets.isEmpty()) {
        for (const QString &sheet : sheets) {
            QByteArray content = readBytes(sheet);
            if (content.startsWith("\xEF\xBB\xBF"))
                content.remove(0, 3);
            if (!content.endsWith('\n'))
                content += "\r\n";
            written += out.write(content);
            if (written >= bytes)
                break;
        }
    }
    return path;
}

struct LineChange
{
    double move = 0;  // a move to the next line, nothing typed
    double typed = 0; // the same move after a character typed on the line left
    double rule = 0;  // the same move after a "{" typed: one more block and tree node
};

inline LineChange lineChange(Form1 &window, int runs)
{
    RichEdit &editor = *window.MainText();
    const qsizetype line = lineInLastBlock(window.Blocks(), *window.MainText(), 3);
    const int lineNo = editor.lineFromChar(line);
    LineChange out;
    out.move = medianMs(
        runs, [&] { editor.setSelStart(editor.lineIndex(lineNo)); settle(); },
        [&] { editor.setSelStart(editor.lineIndex(lineNo + 1)); settle(); });
    out.typed = medianMs(
        runs,
        [&] {
            editor.setSelStart(editor.lineIndex(lineNo) + 2);
            settle();
            QTest::keyClick(&editor, Qt::Key_X);
            settle();
        },
        [&] { editor.setSelStart(editor.lineIndex(lineNo + 1)); settle(); });
    out.rule = medianMs(
        runs,
        [&] {
            editor.setSelStart(editor.lineIndex(lineNo) + 2);
            settle();
            QTest::keyClicks(&editor, QStringLiteral(" {"));
            settle();
        },
        [&] { editor.setSelStart(editor.lineIndex(lineNo + 1)); settle(); });
    return out;
}

} // namespace sheetsmith::bench
