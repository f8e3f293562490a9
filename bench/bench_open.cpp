// Times what the author waits for in the main window, through the real widgets on the
// offscreen platform:
//  - opening each corpus sheet end to end (read, tabs, colouring, scan, tree);
//  - one catching-up of caret tracking: a caret move to the next line inside a block
//    near the end of a sheet (recolour the line left, load the property values,
//    rebuild the blocks and the tree);
//  - a keystroke within a line, which only updates the status bar;
//  - start-up of the main window without the preview window, and with it: the browser
//    engine is loaded only when the preview opens, so the first figure does not pay
//    for it.
// Each figure is the median of several runs, in milliseconds.

#include "benchutil.h"

#include "app/form1.h"
#include "preview/frmpreview.h"
#include "preview/pageview.h"
#include "settings/settingskeys.h"
#include "blocks/root.h"
#include "editor/richedit.h"
#include "settings/settingsstore.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

using namespace sheetsmith;

namespace {

using bench::lineInLastBlock;
using bench::medianMs;

} // namespace

int main(int argc, char **argv)
{
    bench::preferOffscreenPlatform();
    prepareBrowserEngine();
    QApplication app(argc, argv);
    QTemporaryDir dir;
    SettingsStore settings(dir.filePath(QStringLiteral("bench.ini")));
    settings.ensureEditorDefaults();

    // Start-up to a shown, settled window; "Show" decides whether the preview opens.
    const auto startUp = [&](const char *show) {
        settings.write(keys::preview::Section, keys::preview::Show, QLatin1String(show));
        Form1 w(settings);
        w.startUp(QString());
        w.showWindow();
        QApplication::processEvents();
        const bool previewShown = w.preview() != nullptr;
        w.close();
        return previewShown;
    };
    // The process's first window pays one-time costs (fonts, style) that would make the
    // first figure unlike the others.
    startUp("0");
    const double withoutPreview = medianMs(5, [&] { startUp("0"); });
    QElapsedTimer first;
    first.start();
    const bool shown = startUp("1");
    const double firstWithPreview = double(first.nsecsElapsed()) / 1e6;
    const double withPreview = medianMs(5, [&] { startUp("1"); });
    std::printf("start-up without preview: %.1f ms; with preview: first %.1f ms (engine loaded), then %.1f ms%s\n\n",
                withoutPreview, firstWithPreview, withPreview, shown ? "" : " (preview did not open)");
    settings.write(keys::preview::Section, keys::preview::Show, QStringLiteral("0"));
    Form1 window(settings);
    if (!window.startUp(QString()))
        return 1;
    window.showWindow();
    QApplication::processEvents();

    const QDir corpus(corpusDir() + QStringLiteral("/css"));
    std::printf("%-26s %10s %8s %12s %12s\n", "sheet", "bytes", "open ms", "catch-up ms", "keystroke ms");
    for (const QString &name : corpus.entryList({QStringLiteral("*.css")}, QDir::Files, QDir::Size | QDir::Reversed)) {
        const QString path = corpus.filePath(name);
        const double open = medianMs(5, [] {}, [&] { window.OpenDocument(name, path); });

        RichEdit &editor = *window.MainText();
        const qsizetype line = lineInLastBlock(window.Blocks(), *window.MainText(), 2);
        const int lineNo = editor.lineFromChar(line);
        const double catchUp = medianMs(
            9, [&] { editor.setSelStart(line); },
            [&] { editor.setSelStart(editor.lineIndex(lineNo + 1)); });
        const double key = medianMs(
            9, [&] { editor.setSelStart(line); },
            [&] { QTest::keyClick(&editor, Qt::Key_X); });
        std::printf("%-26s %10lld %8.1f %12.2f %12.3f\n", qPrintable(name),
                    static_cast<long long>(QFileInfo(path).size()), open, catchUp, key);
        // Drop the typed characters so the next sheet opens without a save question.
        window.OpenDocument(name, path);
    }
    return 0;
}
