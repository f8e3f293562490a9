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
#include "editor/textmodel.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>

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
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    const QDir dir(QStringLiteral(SHEETSMITH_CORPUS "/css"));
    const QStringList sheets = dir.entryList({QStringLiteral("*.css")}, QDir::Files, QDir::Name);
    if (sheets.isEmpty()) {
        std::fprintf(stderr, "no sheets in %s\n", qPrintable(dir.path()));
        return 1;
    }

    SelectorTree tree;
    tree.resize(300, 600);
    tree.show();
    QCoreApplication::processEvents();

    const QStringList names = ElementNames();
    std::printf("%-24s %9s %7s %9s %9s %12s %9s\n", "sheet", "bytes", "blocks", "scan ms",
                "tree ms", "tree+paint", "total ms");
    for (const QString &name : sheets) {
        QFile file(dir.filePath(name));
        if (!file.open(QIODevice::ReadOnly)) {
            std::fprintf(stderr, "cannot read %s\n", qPrintable(name));
            return 1;
        }
        const QByteArray bytes = file.readAll();
        QString text = QString::fromUtf8(bytes);
        text.replace(u'\t', QStringLiteral("    "));
        const TextModel model(text);

        Root blocks;
        const double scanMs = medianMs([&] { ScanBlocks(model, names, blocks); });
        const double treeMs = medianMs([&] { tree.FillTree(blocks); });
        const double paintMs = medianMs([&] {
            tree.FillTree(blocks);
            QCoreApplication::processEvents();
        });
        std::printf("%-24s %9lld %7lld %9.3f %9.3f %12.3f %9.3f\n", qPrintable(name),
                    static_cast<long long>(bytes.size()), static_cast<long long>(blocks.Count()),
                    scanMs, treeMs, paintMs, scanMs + treeMs);
    }
    return 0;
}
