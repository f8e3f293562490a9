#pragma once

#include <QAbstractItemModel>
#include <QIcon>
#include <QString>
#include <QVariant>

#include <array>
#include <vector>

namespace sheetsmith {

class Root;

// The nodes of the selector tree: three groups "Elements", "Classes" and "IDs" at the
// top level, and under each group one node per block of the matching kind.
//
// Nodes are numbered 1-based in order of addition: 1 to 3 are the groups, then one
// node per block that got a node, in block order. While every block has one of the
// three kinds (as the scanner guarantees), node k >= 4 stands for block k - 3;
// deleting and renaming selectors rely on that.
//
// The model is a flat vector of nodes rather than a tree of items, so that a sheet
// with thousands of rules is rebuilt in a few milliseconds; after an edit of a few
// blocks it is updated in place (update), so that the view keeps its state and lays
// out only what changed. Labels are plain text in DisplayRole so that accessibility
// tools read them.
//
// An index names its node by its row and its group (the internal id of a child is the
// number of its group, that of a group is GroupCount), never by its node number, which
// moves when nodes are added before it: so indexes the views keep stay right across
// an update.
class SelectorTreeModel : public QAbstractItemModel
{
    Q_OBJECT

public:
    static constexpr int GroupCount = 3;

    explicit SelectorTreeModel(QObject *parent = nullptr);

    // Rebuilds every node from the block list: the three groups, then each block whose
    // Kind is exactly "Element", "Class" or "ID" appended under "Elements", "Classes"
    // or "IDs" with its ID as label. Other kinds get no node. Node colours are reset.
    void fill(const Root &blocks);
    // Brings the nodes to what fill(blocks) gives, after the blocks at the 0-based
    // indexes [first, first + removed) of the list the nodes were made from gave way to
    // those at [first, first + added) of `blocks`. Only nodes whose label or group
    // changed are touched: rows are removed and inserted in their groups, or relabelled.
    // Node colours are reset, as by fill. Returns false, changing nothing, when the
    // nodes were not made one per block from a list of that shape; the caller fills.
    bool update(const Root &blocks, qsizetype first, qsizetype removed, qsizetype added);

    // Pictures of the groups; each child shows the picture of its group.
    void setPictures(const QIcon &element, const QIcon &klass, const QIcon &id);

    // Number of nodes, the three groups included.
    int nodeCount() const { return int(m_nodes.size()); }
    // 1-based node index of an index of this model; 0 for an invalid index.
    int nodeIndex(const QModelIndex &index) const;
    // The index of a 1-based node; invalid outside 1..nodeCount().
    QModelIndex indexOfNode(int node) const;
    // The group node keyed "Elements", "Classes" or "IDs"; invalid for any other key.
    QModelIndex groupIndex(const QString &key) const;
    static bool isGroup(const QModelIndex &index);
    // Whether a 1-based node is one of the three groups.
    static bool isGroupNode(int node) { return node >= 1 && node <= GroupCount; }
    // The 1-based place in the block list of the block a node stands for (the nodes
    // after the groups follow the list one for one); 0 for a group or no node.
    static int blockOfNode(int node) { return node > GroupCount ? node - GroupCount : 0; }

    // The group's text, or the group's text, "\" and the node's text: "Classes" or
    // "Classes\.note". Empty for an invalid index.
    QString fullPath(const QModelIndex &index) const;

    QModelIndex index(int row, int column, const QModelIndex &parent = {}) const override;
    QModelIndex parent(const QModelIndex &child) const override;
    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    // ForegroundRole and BackgroundRole store a node colour (a QColor or QBrush; an
    // invalid QVariant clears it). EditRole on a selector node does not change the
    // label: it reports labelEdited, and the owner renames the selector in the text
    // and rebuilds the tree, which then shows the new label. Returns whether the model
    // changed.
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    // Selector nodes are editable, groups are not.
    Qt::ItemFlags flags(const QModelIndex &index) const override;

signals:
    // A label edit of a selector node was committed, with the text typed (which may
    // equal the old label). Not sent for an edit the user abandoned.
    void labelEdited(int node, const QString &text);

private:
    struct Node
    {
        QString text;
        int group; // 0..2, the group for a group node itself
        QVariant foreground;
        QVariant background;
    };

    void addGroups();
    // 0-based position in m_nodes of the node an index names.
    int positionOf(const QModelIndex &index) const;
    // The row of the node at a position under its parent.
    int rowOf(int position) const;
    void resetNodeColours();

    // m_nodes[i] is node i + 1: the groups, then the children in block order.
    std::vector<Node> m_nodes;
    // 0-based node positions of each group's children, in row order (ascending).
    std::array<std::vector<int>, GroupCount> m_children;
    std::array<QIcon, GroupCount> m_pictures;
    // Whether every block of the list the nodes came from got a node, so that node
    // position p + GroupCount stands for block p.
    bool m_nodePerBlock = true;
    // Nodes with a colour set since the last fill or update.
    int m_colouredNodes = 0;
};

} // namespace sheetsmith
