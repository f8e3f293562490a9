#pragma once

// Block lists as the tests compare them: one "ID|Kind|Begins|Ends" string a block, so a
// failing comparison shows whole blocks, and the list a scan of the whole text gives;
// the tree's nodes as paths.

#include "blocks/root.h"
#include "blocks/scanner.h"
#include "blocks/selectortree.h"
#include "blocks/selectortreemodel.h"
#include "support/literalrules.h"
#include "text/textmodel.h"

#include <QStringList>

namespace sheetsmith {

inline QStringList describeBlocks(const Root &blocks)
{
    QStringList out;
    for (const ItmClass &b : blocks)
        out << literal::describe({b.ID(), b.Kind(), b.Begins(), b.Ends()});
    return out;
}

inline QStringList scannedBlocks(const TextModel &text, const QStringList &names = ElementNames())
{
    Root blocks;
    ScanBlocks(text, names, blocks);
    return describeBlocks(blocks);
}

// The tree's nodes in order, each as its full path.
inline QStringList treeNodes(const SelectorTree &tree)
{
    QStringList out;
    for (int node = 1; node <= tree.selectorModel()->nodeCount(); ++node)
        out << tree.fullPath(tree.indexOfNode(node));
    return out;
}

} // namespace sheetsmith
