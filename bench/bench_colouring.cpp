// Times syntax colouring on every sheet of the corpus.
//
// For each sheet (CR LF breaks, tabs as 4 blanks, as an opened document holds it): the
// whole-document colouring, and its three parts: reading the editor's RTF, rewriting
// its lines, and giving the result back to the editor. Each figure is the median of
// several runs; the editor's text is set anew (all colours automatic) before each run.
//
// Then the line colouring of one line near the end of the largest sheet: with the text
// unchanged since the last call (comment markers kept), right after a one-character
// edit (markers updated for the changed part), and, for comparison, a full marker
// search of the text. Last, the line colouring of the longest line of all sheets.

#include "benchutil.h"

#include "editor/colouring.h"
#include "editor/colouringrules.h"
#include "editor/richedit.h"
#include "text/textmodel.h"

#include <QApplication>
#include <QFileInfo>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

using namespace sheetsmith;

namespace {

constexpr int kRuns = 7;

double medianMs(const std::function<void()> &prepare, const std::function<void()> &work, int runs = kRuns)
{
    return bench::medianMs(runs, prepare, work);
}

} // namespace

int main(int argc, char **argv)
{
    bench::preferOffscreenPlatform();
    QApplication app(argc, argv);
    const QStringList sheets = bench::sampleSheets();
    if (sheets.isEmpty())
        return 1;

    RichEdit edit;
    edit.resize(800, 600);
    edit.show();
    QCoreApplication::processEvents();
    Colouriser colouriser;
    colouriser.setColours(SyntaxColours::fromValues(makeColour(0, 0, 255), makeColour(255, 0, 0),
                                                  makeColour(0, 128, 0)));
    colouriser.BuildColourTable();

    std::printf("%-24s %9s %8s %12s %9s %10s %11s\n", "sheet", "bytes", "lines",
                "document ms", "read ms", "rewrite ms", "assign ms");
    QString largestName;
    QString largest;
    for (const QString &path : sheets) {
        const QString name = QFileInfo(path).fileName();
        const QString text = editorText(path);
        if (text.size() > largest.size()) {
            largest = text;
            largestName = name;
        }

        const auto reset = [&] { edit.setText(text); };
        const double documentMs = medianMs(reset, [&] { colouriser.ColourDocument(edit); });

        QString rtf;
        QString coloured;
        const double readMs = medianMs(reset, [&] { rtf = edit.textRTF(); });
        bool commentOpen = false;
        const double rewriteMs = medianMs([] {}, [&] {
            commentOpen = false;
            coloured = ColourRtfText(rtf, colouriser.ColourTable(), commentOpen);
        });
        const double assignMs = medianMs(reset, [&] { edit.setTextRTF(coloured); });

        std::printf("%-24s %9lld %8d %12.2f %9.2f %10.2f %11.2f\n", qPrintable(name),
                    static_cast<long long>(QFileInfo(path).size()), edit.lineCount(), documentMs, readMs,
                    rewriteMs, assignMs);
    }

    // One line near the end of the largest sheet, in a coloured document.
    edit.setText(largest);
    colouriser.ColourDocument(edit);
    int line = edit.lineCount() - 20;
    while (line > 0 && !edit.lineText(line).contains(u'{'))
        --line;
    const qsizetype start = edit.lineIndex(line) + 1;
    const auto colourLine = [&] {
        QString lineText = edit.lineText(line);
        colouriser.ColourLine(lineText, start, QStringLiteral("Text"), &edit);
    };
    colourLine(); // the markers of this text are found once

    const double unchangedMs = medianMs([] {}, colourLine, 51);
    // An edit far before the line (a blank typed and removed again on the first line):
    // the text differs from the one the markers were found in.
    bool typed = false;
    const double editedMs = medianMs(
        [&] {
            edit.setSelStart(0);
            if (typed) {
                edit.setSelLength(1);
                edit.setSelText(QString());
            } else {
                edit.setSelText(QStringLiteral(" "));
            }
            typed = !typed;
        },
        colourLine, 51);
    const QString &text = edit.model().text();
    const double markersMs = medianMs([] {}, [&] { FindCommentMarkers(text); }, 51);

    // The longest line of all sheets (a minified sheet holds its rules on a few lines).
    QString longestText;
    int longestLine = 0;
    qsizetype longestLength = 0;
    QString longestName;
    for (const QString &path : sheets) {
        const QString sheet = editorText(path);
        const TextModel model(sheet);
        for (int i = 0; i < model.lineCount(); ++i) {
            if (model.lineLength(i) > longestLength) {
                longestLength = model.lineLength(i);
                longestLine = i;
                longestText = sheet;
                longestName = QFileInfo(path).fileName();
            }
        }
    }

    std::printf("\nline colouring, %s line %d (%lld characters):\n", qPrintable(largestName),
                line + 1, static_cast<long long>(edit.lineText(line).size()));
    std::printf("  text unchanged     %8.3f ms\n", unchangedMs);
    std::printf("  after an edit      %8.3f ms\n", editedMs);
    std::printf("  full marker search %8.3f ms (what the update after an edit avoids)\n",
                markersMs);

    RichEdit longEdit;
    longEdit.setText(longestText);
    colouriser.ColourDocument(longEdit);
    const qsizetype longStart = longEdit.lineIndex(longestLine) + 1;
    const double longMs = medianMs([&] { longEdit.setText(longestText); }, [&] {
        QString lineText = longEdit.lineText(longestLine);
        colouriser.ColourLine(lineText, longStart, QStringLiteral("Text"), &longEdit);
    }, 5);
    std::printf("line colouring, %s line %d (%lld characters), all colours automatic:\n",
                qPrintable(longestName), longestLine + 1, static_cast<long long>(longestLength));
    std::printf("  longest line       %8.3f ms\n", longMs);
    return 0;
}
