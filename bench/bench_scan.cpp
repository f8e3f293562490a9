// Times the block scan and the selector tree rebuild on every sheet of the corpus.
//
// For each sheet: ScanBlocks (text to block list) and FillTree (block list to the
// tree's model, groups expanded) separately, each the median of several runs; then
// FillTree followed by one pass of the event loop, which includes the view's delayed
// layout and a paint, as the author would wait for it.

#include "benchutil.h"

#include "blocks/root.h"
#include "blocks/scanner.h"
#include "blocks/selectortree.h"
#include "text/textmodel.h"

#include <QApplication>
#include <QFileInfo>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

using namespace sheetsmith;

namespace {

constexpr int kRuns = 11;

double medianMs(const std::function<void()> &work)
{
    return bench::medianMs(kRuns, work);
}

} // namespace

int main(int argc, char **argv)
{
    bench::preferOffscreenPlatform();
    QApplication app(argc, argv);
    const QStringList sheets = bench::sampleSheets();
    if (sheets.isEmpty())
        return 1;

    SelectorTree tree;
    tree.resize(300, 600);
    tree.show();
    QCoreApplication::processEvents();

    const QStringList names = ElementNames();
    std::printf("%-24s %9s %7s %9s %9s %12s %9s\n", "sheet", "bytes", "blocks", "scan ms",
                "tree ms", "tree+paint", "total ms");
    for (const QString &path : sheets) {
        const QString name = QFileInfo(path).fileName();
        const qsizetype bytes = QFileInfo(path).size();
        const TextModel model(editorText(path));

        Root blocks;
        const double scanMs = medianMs([&] { ScanBlocks(model, names, blocks); });
        const double treeMs = medianMs([&] { tree.FillTree(blocks); });
        const double paintMs = medianMs([&] {
            tree.FillTree(blocks);
            QCoreApplication::processEvents();
        });
        std::printf("%-24s %9lld %7lld %9.3f %9.3f %12.3f %9.3f\n", qPrintable(name),
                    static_cast<long long>(bytes), static_cast<long long>(blocks.Count()),
                    scanMs, treeMs, paintMs, scanMs + treeMs);
    }
    return 0;
}
