// Times what the author waits for as sheets grow, each beside what Qt itself takes for
// the same text (the floor no program on this toolkit goes under):
//  - a caret line change in the 2 MB sample and in a 50 MB sheet, until the window is
//    idle again (the view's delayed layout and the repaint included), with and without
//    a character typed on the line left; after a "{" typed (a new rule), on the 50 MB
//    sheet beside a plain tree view of as many rows taking one more;
//  - a line change off and onto the longest line of the minified sample;
//  - a paste of the whole 2 MB sample at the end of itself, until idle, beside a plain
//    editor's setPlainText of that text;
//  - opening the 50 MB sheet in the main window, until idle, beside a plain editor's
//    setPlainText of it and its first paint;
//  - the peak memory of a process that opens the 50 MB sheet, beside one that only
//    shows its plain text;
//  - the start-up of the whole program with the 2 MB sample, until its window is shown
//    and closed again.
//
// The 50 MB sheet is the sample sheets concatenated over and over, written into a
// temporary folder that is removed at the end. Figures are medians in milliseconds.
//
//   bench_scale                 every figure
//   bench_scale --quick         without the 50 MB sheet
//   bench_scale --memory        the peak memory alone
//   bench_scale --long-line     the line changes on the minified sample alone
//   bench_scale --big-caret     the caret line changes on the 50 MB sheet alone (to profile)
//   bench_scale --peak open|plain <sheet>    (used by the above: one process per figure)

#include "benchutil.h"

#include "app/form1.h"
#include "app/memoryuse.h"
#include "blocks/root.h"
#include "blocks/selectortree.h"
#include "blocks/selectortreemodel.h"
#include "editor/richedit.h"
#include "settings/settingsstore.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QPlainTextEdit>
#include <QStandardItemModel>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTreeView>

#include <algorithm>
#include <cstdio>

using namespace sheetsmith;

namespace {

using bench::kBigSheetBytes;
using bench::LineChange;
using bench::lineChange;
using bench::medianMs;
using bench::settle;
using bench::writeBigSheet;

// The process's peak resident memory. Read from VmHWM, which a new program starts
// afresh, unlike getrusage's figure, which a child inherits from the process it was
// forked from.
long peakResidentMb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong() / 1024;
    }
    return -1;
}

QString sample(const QString &name)
{
    return corpusDir() + QStringLiteral("/css/") + name;
}

QString decoded(const QString &path)
{
    return QString::fromUtf8(readBytes(path));
}

// A plain editor as the main window shows the sheet: no wrapping, about its size.
struct PlainEditor
{
    QPlainTextEdit edit;
    PlainEditor()
    {
        edit.setLineWrapMode(QPlainTextEdit::NoWrap);
        edit.resize(900, 700);
        edit.show();
        settle();
    }
};

// Qt's own cost of a new rule in the selector tree: one row inserted into a plain tree
// view holding `rows` expanded rows, until idle.
double plainTreeInsertMs(int rows)
{
    QStandardItemModel model;
    auto *group = new QStandardItem(QStringLiteral("Classes"));
    QList<QStandardItem *> children;
    children.reserve(rows);
    for (int i = 0; i < rows; ++i)
        children << new QStandardItem(QStringLiteral(".c%1").arg(i));
    group->appendRows(children);
    model.appendRow(group);
    QTreeView view;
    view.setUniformRowHeights(true);
    view.setModel(&model);
    view.expandAll();
    view.resize(300, 600);
    view.show();
    settle();
    int n = 0;
    return medianMs(7, [&] {
        group->insertRow(rows - 10, new QStandardItem(QStringLiteral(".new%1").arg(++n)));
        settle();
    });
}

double plainShowMs(const QString &text)
{
    PlainEditor plain;
    QElapsedTimer timer;
    timer.start();
    plain.edit.setPlainText(text);
    settle();
    plain.edit.repaint();
    return double(timer.nsecsElapsed()) / 1e6;
}

void printRow(const char *what, double ms, double floorMs = -1)
{
    if (floorMs > 0)
        std::printf("%-52s %10.1f ms   Qt floor %10.1f ms   ratio %5.2f\n", what, ms, floorMs, ms / floorMs);
    else
        std::printf("%-52s %10.2f ms\n", what, ms);
    std::fflush(stdout);
}

// The peak memory of a child process of this benchmark doing one thing with a sheet.
long childPeakMb(const QString &mode, const QString &sheet)
{
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--peak"), mode, sheet});
    if (!child.waitForFinished(-1))
        return -1;
    return QString::fromUtf8(child.readAllStandardOutput()).trimmed().toLong();
}

void reportPeakMemory(const QString &big)
{
    const long peak = childPeakMb(QStringLiteral("open"), big);
    const long plainPeak = childPeakMb(QStringLiteral("plain"), big);
    std::printf("%-52s %10ld MB   Qt floor %10ld MB   %5.1f x the file's size\n",
                "peak memory with the 50 MB sheet open", peak, plainPeak,
                double(peak) * 1024 * 1024 / double(QFileInfo(big).size()));
    std::fflush(stdout);
}

int peakMain(const QString &mode, const QString &sheet)
{
    if (mode == u"plain") {
        PlainEditor plain;
        plain.edit.setPlainText(decoded(sheet));
        settle();
    } else {
        // The program's own start: the allocator set up as it is there.
        setUpMemoryUse();
        QTemporaryDir dir;
        SettingsStore settings(dir.filePath(QStringLiteral("bench.ini")));
        settings.ensureEditorDefaults();
        Form1 window(settings);
        if (!window.startUp(QString()))
            return 1;
        window.showWindow();
        window.OpenDocument(QFileInfo(sheet).fileName(), sheet);
        settle();
    }
    std::printf("%ld\n", peakResidentMb());
    return 0;
}

// The whole program started on a sheet until it has shown its window and closed it.
double startUpMs(const QString &sheet, int runs)
{
    const QString program = QCoreApplication::applicationDirPath() + QStringLiteral("/sheetpad");
    if (!QFileInfo::exists(program))
        return -1;
    QTemporaryDir config;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("SHEETSMITH_START_AND_QUIT"), QStringLiteral("1"));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), config.path());
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    const auto run = [&] {
        QProcess child;
        child.setProcessEnvironment(env);
        child.start(program, {sheet});
        child.waitForFinished(-1);
    };
    run(); // the first start writes the settings
    return medianMs(runs, run);
}

} // namespace

int main(int argc, char **argv)
{
    if (argc == 4 && qstrcmp(argv[1], "--peak") == 0) {
        bench::preferOffscreenPlatform();
        QApplication app(argc, argv);
        return peakMain(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]));
    }
    const bool quick = argc > 1 && qstrcmp(argv[1], "--quick") == 0;
    const bool memoryOnly = argc > 1 && qstrcmp(argv[1], "--memory") == 0;
    const bool longLineOnly = argc > 1 && qstrcmp(argv[1], "--long-line") == 0;
    const bool bigCaretOnly = argc > 1 && qstrcmp(argv[1], "--big-caret") == 0;
    bench::preferOffscreenPlatform();
    QApplication app(argc, argv);
    QTemporaryDir dir;
    SettingsStore settings(dir.filePath(QStringLiteral("bench.ini")));
    settings.ensureEditorDefaults();

    if (memoryOnly) {
        const QString big = writeBigSheet(dir.path(), kBigSheetBytes);
        reportPeakMemory(big);
        return 0;
    }

    const QString fomantic = sample(QStringLiteral("fomantic-semantic.css"));
    const QString minified = sample(QStringLiteral("bootstrap5-min.css"));

    Form1 window(settings);
    if (!window.startUp(QString()))
        return 1;
    window.resize(1200, 900);
    window.showWindow();
    settle();
    RichEdit &editor = *window.MainText();

    if (bigCaretOnly) {
        const QString big = writeBigSheet(dir.path(), kBigSheetBytes);
        window.OpenDocument(QFileInfo(big).fileName(), big);
        settle();
        const LineChange large = lineChange(window, 25);
        printRow("caret line change, 50 MB sheet", large.move);
        printRow("caret line change after typing, 50 MB sheet", large.typed);
        printRow("caret line change after a \"{\" typed, 50 MB sheet", large.rule,
                 plainTreeInsertMs(window.Tv()->selectorModel()->nodeCount()));
        return 0;
    }

    // Caret line changes in the 2 MB sample.
    if (!longLineOnly) {
        window.OpenDocument(QFileInfo(fomantic).fileName(), fomantic);
        settle();
        const LineChange small = lineChange(window, 15);
        printRow("caret line change, 2 MB sample", small.move);
        printRow("caret line change after typing, 2 MB sample", small.typed);
        printRow("caret line change after a \"{\" typed, 2 MB sample", small.rule);
    }

    // The longest line of the minified sample: left, and entered.
    window.OpenDocument(QFileInfo(minified).fileName(), minified);
    settle();
    int longest = 0;
    for (int n = 1; n < editor.lineCount(); ++n) {
        if (editor.lineLength(editor.lineIndex(n)) > editor.lineLength(editor.lineIndex(longest)))
            longest = n;
    }
    const int other = longest + 1 < editor.lineCount() ? longest + 1 : longest - 1;
    std::printf("(longest line: %lld characters)\n",
                static_cast<long long>(editor.lineLength(editor.lineIndex(longest))));
    // Qt's own: the same caret moves in a plain editor showing the same text uncoloured.
    PlainEditor plain;
    plain.edit.resize(editor.size());
    plain.edit.setPlainText(editor.toPlainText());
    settle();
    const auto plainCaretTo = [&plain](int line, int column) {
        QTextCursor cursor(plain.edit.document()->findBlockByNumber(line));
        cursor.movePosition(QTextCursor::Right, QTextCursor::MoveAnchor, column);
        plain.edit.setTextCursor(cursor);
        settle();
    };
    const double plainOff = medianMs(15, [&] { plainCaretTo(longest, 10); }, [&] { plainCaretTo(other, 0); });
    const double plainOnto = medianMs(15, [&] { plainCaretTo(other, 0); }, [&] { plainCaretTo(longest, 10); });
    printRow("line change off the longest line, minified sample",
             medianMs(15, [&] { editor.setSelStart(editor.lineIndex(longest) + 10); settle(); },
                      [&] { editor.setSelStart(editor.lineIndex(other)); settle(); }),
             plainOff);
    printRow("line change onto the longest line, minified sample",
             medianMs(15, [&] { editor.setSelStart(editor.lineIndex(other)); settle(); },
                      [&] { editor.setSelStart(editor.lineIndex(longest) + 10); settle(); }),
             plainOnto);
    if (longLineOnly)
        return 0;

    // Paste of the whole 2 MB sample at its own end, beside setPlainText of that text,
    // runs alternating.
    {
        window.OpenDocument(QFileInfo(fomantic).fileName(), fomantic);
        settle();
        const QString pasted = editor.text();
        std::vector<double> pastes;
        std::vector<double> floors;
        for (int i = 0; i < 3; ++i) {
            floors.push_back(plainShowMs(pasted));
            window.OpenDocument(QFileInfo(fomantic).fileName(), fomantic);
            QGuiApplication::clipboard()->setText(pasted);
            editor.setSelStart(editor.text().size());
            settle();
            QElapsedTimer timer;
            timer.start();
            window.runCommand(QStringLiteral("Paste"));
            settle();
            pastes.push_back(double(timer.nsecsElapsed()) / 1e6);
        }
        std::sort(pastes.begin(), pastes.end());
        std::sort(floors.begin(), floors.end());
        printRow("paste of the 2 MB sample at its end, until idle", pastes[1], floors[1]);
    }

    const QString big = quick ? QString() : writeBigSheet(dir.path(), kBigSheetBytes);
    if (!big.isEmpty()) {
        std::printf("(50 MB sheet: %lld bytes)\n", static_cast<long long>(QFileInfo(big).size()));
        double floorMs = plainShowMs(decoded(big));
        QElapsedTimer timer;
        timer.start();
        window.OpenDocument(QFileInfo(big).fileName(), big);
        settle();
        const double openMs = double(timer.nsecsElapsed()) / 1e6;
        floorMs = std::min(floorMs, plainShowMs(decoded(big)));
        printRow("open the 50 MB sheet, until idle", openMs, floorMs);

        const LineChange large = lineChange(window, 7);
        printRow("caret line change, 50 MB sheet", large.move);
        printRow("caret line change after typing, 50 MB sheet", large.typed);
        printRow("caret line change after a \"{\" typed, 50 MB sheet", large.rule,
                 plainTreeInsertMs(window.Tv()->selectorModel()->nodeCount()));
        window.OpenDocument(QStringLiteral("small"), sample(QStringLiteral("normalize.css")));
        settle();

        reportPeakMemory(big);
    }

    printRow("start-up of the program with the 2 MB sample", startUpMs(fomantic, 7));
    return 0;
}
