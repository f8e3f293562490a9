// Times the colour swatches in the real window on the 2 MB sample sheet, each figure
// with the swatches shown and hidden: a full repaint of the editor's viewport at
// several places of the sheet, a jump to a place not painted before, and a keystroke
// in a rule in the middle of the sheet until the editor has painted it.

#include "benchutil.h"

#include "app/form1.h"
#include "editor/richedit.h"
#include "support/windowfixture.h"
#include "text/colourspans.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace sheetsmith;

namespace {

constexpr int kPlaces = 8;
constexpr int kRepaints = 40; // per place and state
constexpr int kJumpRounds = 5;
constexpr int kKeyRounds = 6; // each state in turn, so that drift falls on both alike
constexpr int kKeysPerRound = 25;

// The swatches the editor holds for the blocks on screen now.
int swatchesOnScreen(const RichEdit &editor)
{
    const QWidget *viewport = editor.viewport();
    const QTextBlock first = editor.cursorForPosition(QPoint(0, 0)).block();
    const QTextBlock last = editor.cursorForPosition(QPoint(0, viewport->height() - 1)).block();
    int count = 0;
    for (QTextBlock b = first; b.isValid() && b.blockNumber() <= last.blockNumber(); b = b.next())
        count += int(editor.swatches().of(b).size());
    return count;
}

// Medians of the same work with the swatches hidden and shown, and their difference.
void report(const char *what, const std::vector<double> &off, const std::vector<double> &on)
{
    const double a = bench::median(off);
    const double b = bench::median(on);
    std::printf("%-40s off %8.3f ms   on %8.3f ms   difference %+7.3f ms\n", what, a, b, b - a);
}

void show(RichEdit &editor, bool shown, ColourForms forms)
{
    editor.setSwatches(shown, forms);
    bench::settle();
}

} // namespace

int main(int argc, char **argv)
{
    bench::preferOffscreenPlatform();
    QApplication app(argc, argv);
    const QString path = corpusDir() + QStringLiteral("/css/fomantic-semantic.css");
    const QByteArray sheet = readBytes(path);
    if (sheet.isEmpty()) {
        std::fprintf(stderr, "cannot read %s\n", qPrintable(path));
        return 1;
    }
    WindowFixture fixture;
    if (!fixture.setUp() || !fixture.open(sheet)) {
        std::fprintf(stderr, "the window did not start or open the sheet: %s\n", qPrintable(fixture.problem()));
        return 1;
    }
    Form1 &window = fixture.window();
    window.resize(1600, 1000);
    bench::settle();
    RichEdit &editor = fixture.editor();
    const ColourForms forms = editor.swatches().forms();
    QScrollBar &bar = *editor.verticalScrollBar();
    std::printf("%s: %lld characters, %d lines\nplatform %s, window %d x %d (the screen's size at most), "
                "editor's viewport %d x %d\n",
                qPrintable(path), static_cast<long long>(sheet.size()), editor.lineCount(),
                qPrintable(QGuiApplication::platformName()), window.width(), window.height(),
                editor.viewport()->width(), editor.viewport()->height());

    // Places spread evenly over the sheet, and the screens that hold the most colour
    // values (scroll bar values: the first line shown, the editor not wrapping).
    std::vector<int> spread;
    for (int i = 0; i < kPlaces; ++i)
        spread.push_back(bar.maximum() * (2 * i + 1) / (2 * kPlaces));
    const int screenLines = std::max(1, editor.viewport()->height() / editor.fontMetrics().lineSpacing());
    std::vector<int> perScreen(size_t(editor.lineCount() / screenLines + 1));
    for (const ColourSpan &span : ColourSpans(editor.model().text(), editor.model().commentMarkers(), 0,
                                              editor.model().text().size(), forms))
        ++perScreen[size_t(editor.lineFromChar(span.offset) / screenLines)];
    std::vector<int> screens(perScreen.size());
    for (size_t i = 0; i < screens.size(); ++i)
        screens[i] = int(i);
    std::partial_sort(screens.begin(), screens.begin() + kPlaces, screens.end(),
                      [&](int a, int b) { return perScreen[size_t(a)] > perScreen[size_t(b)]; });
    std::vector<int> dense;
    for (int i = 0; i < kPlaces; ++i)
        dense.push_back(std::min(bar.maximum(), screens[size_t(i)] * screenLines));

    for (const auto &[name, places] : {std::pair{"places spread over the sheet", spread},
                                       std::pair{"the screens with the most colour values", dense}}) {
        std::printf("\n%d %s\n", kPlaces, name);
        // A full repaint of the viewport, the layouts already formatted.
        std::vector<double> framesOff, framesOn;
        int swatchCount = 0;
        for (int i = 0; i < kPlaces; ++i) {
            bar.setValue(places[size_t(i)]);
            bench::settle();
            // Which state goes first alternates from place to place.
            for (bool on : {i % 2 == 0, i % 2 != 0}) {
                show(editor, on, forms);
                editor.viewport()->repaint(); // formats the blocks and reads their swatches
                if (on)
                    swatchCount += swatchesOnScreen(editor);
                const double ms = bench::medianMs(kRepaints, [&] { editor.viewport()->repaint(); });
                (on ? framesOn : framesOff).push_back(ms);
            }
        }
        std::printf("%-52s %8.1f\n", "swatches on screen (mean)", double(swatchCount) / kPlaces);
        report("full repaint of the viewport", framesOff, framesOn);

        // A jump to a place, painted at once: the blocks there are formatted and, with
        // the swatches shown, their values read. A change of the setting forgets what
        // was read.
        std::vector<double> jumpsOff, jumpsOn;
        for (int round = 0; round < kJumpRounds; ++round) {
            for (bool on : {round % 2 == 0, round % 2 != 0}) {
                show(editor, !on, forms);
                show(editor, on, forms);
                for (int place : places) {
                    QElapsedTimer timer;
                    timer.start();
                    bar.setValue(place);
                    editor.viewport()->repaint();
                    (on ? jumpsOn : jumpsOff).push_back(double(timer.nsecsElapsed()) / 1e6);
                    bench::settle();
                }
            }
        }
        report("jump to a place not painted yet", jumpsOff, jumpsOn);
    }

    // A blank typed before a colour value in a rule in the middle of the sheet, timed
    // from the key until the editor's paint of it; taken out again, untimed.
    const QString text = editor.text();
    const qsizetype at = text.indexOf(QStringLiteral("color: #"), text.size() / 2);
    if (at < 0) {
        std::fprintf(stderr, "no colour value in the second half of the sheet\n");
        fixture.tearDown();
        return 1;
    }
    // Right before the value the room made for its swatch moves with the key, and the
    // line is laid out again; after the value nothing of the swatch changes.
    const qsizetype value = at + 7;
    const qsizetype valueEnd = text.indexOf(u';', value);
    bench::PaintCounter paints(*editor.viewport());
    int unpainted = 0;
    for (const auto &[name, caret] : {std::pair{"keystroke before the value", value},
                                      std::pair{"keystroke after the value", valueEnd}}) {
        editor.setFocus();
        editor.setSelStart(caret);
        bench::settle();
        std::printf("\n%s, line %d: %s\n", name, editor.lineFromChar(caret) + 1,
                    qPrintable(editor.lineText(editor.lineFromChar(caret)).trimmed()));
        std::vector<double> keysOff, keysOn;
        for (int round = 0; round < kKeyRounds; ++round) {
            const bool on = round % 2 != 0;
            show(editor, on, forms);
            for (int k = 0; k < kKeysPerRound; ++k) {
                editor.setSelStart(caret);
                bench::settle();
                const int before = paints.count();
                QElapsedTimer timer;
                timer.start();
                QTest::keyClick(&editor, Qt::Key_Space);
                while (paints.count() == before && timer.elapsed() < 2000)
                    QApplication::processEvents();
                if (paints.count() == before)
                    ++unpainted;
                // Qt may ask for a second paint of the whole viewport; it counts too.
                QApplication::processEvents();
                (on ? keysOn : keysOff).push_back(double(timer.nsecsElapsed()) / 1e6);
                bench::settle();
                QTest::keyClick(&editor, Qt::Key_Backspace);
                bench::settle();
            }
        }
        std::printf("%zu keys each way\n", keysOn.size());
        report("keystroke until painted", keysOff, keysOn);
    }
    if (editor.text() != text)
        std::fprintf(stderr, "the keys did not leave the text as it was\n");
    if (unpainted > 0)
        std::fprintf(stderr, "%d keys were not painted within 2 s\n", unpainted);

    fixture.tearDown();
    return 0;
}
