// Random text and rounds of random edits through the incremental caret-tracking path:
// after each round, the block list brought up to date from the edited range must be the
// one a scan of the whole text gives, and the selector tree's model, updated in place
// from what the update reports, must hold the nodes a fill from that list gives.

#include "fuzzsupport.h"

#include "blocks/root.h"
#include "blocks/scanner.h"
#include "blocks/selectortreemodel.h"
#include "text/editedrange.h"
#include "text/textmodel.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <QStringList>

using namespace sheetsmith;
using namespace sheetsmith::fuzz;

namespace {

QString listed(const Root &blocks)
{
    QStringList out;
    for (const ItmClass &b : blocks)
        out << QStringLiteral("%1|%2|%3|%4").arg(b.ID(), b.Kind()).arg(b.Begins()).arg(b.Ends());
    return out.join(u' ');
}

QString nodes(const SelectorTreeModel &model)
{
    QStringList out;
    for (int node = 1; node <= model.nodeCount(); ++node)
        out << model.fullPath(model.indexOfNode(node));
    return out.join(u' ');
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    TextModel model(consumeText(input, size));
    const QStringList names = ElementNames();
    Root blocks;
    ScanBlocks(model, names, blocks);
    SelectorTreeModel tree;
    tree.fill(blocks);

    for (int round = 0; round < 12 && input.remaining_bytes() > 0; ++round) {
        const EditedRange edited = randomEdits(input, model);
        const BlockSplice splice = UpdateBlocks(model, names, blocks, edited);
        Root whole;
        ScanBlocks(model, names, whole);
        FUZZ_REQUIRE(listed(blocks) == listed(whole),
                     QStringLiteral("updated: %1\nscanned: %2\ntext: %3").arg(listed(blocks), listed(whole), model.text()));

        FUZZ_REQUIRE(tree.update(blocks, splice.first, splice.removed, splice.added), listed(blocks));
        SelectorTreeModel filled;
        filled.fill(blocks);
        FUZZ_REQUIRE(nodes(tree) == nodes(filled),
                     QStringLiteral("updated: %1\nfilled: %2").arg(nodes(tree), nodes(filled)));
    }
    return 0;
}
