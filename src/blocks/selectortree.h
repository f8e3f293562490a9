#pragma once

#include <QTreeView>

#include <optional>
#include <utility>

namespace sheetsmith {

class Root;
class SelectorTreeModel;
struct BlockSplice;

// The selector tree panel's view (objectName "Tv"): the sheet's selectors grouped
// under "Elements", "Classes" and "IDs". A QTreeView over SelectorTreeModel, because
// rebuilding thousands of item widgets on every refresh would be too slow.
//
// Node indexes are 1-based in order of addition (see SelectorTreeModel). Labels are
// edited in place only on request (editNode, or F2 on a selector node); a finished
// edit is reported by labelEdited and changes nothing until the tree is refilled.
class SelectorTree : public QTreeView
{
    Q_OBJECT

public:
    explicit SelectorTree(QWidget *parent = nullptr);

    SelectorTreeModel *selectorModel() const { return m_model; }

    // Rebuilds every node from the block list, then expands the three groups. No node
    // is selected afterwards.
    void FillTree(const Root &blocks);
    // The same result as FillTree(blocks), reached by updating in place the nodes of
    // the blocks `splice` replaced since the tree was last filled or updated; the view
    // keeps its scroll position. Falls back to FillTree when the nodes do not match.
    void updateTree(const Root &blocks, const BlockSplice &splice);

    void setPictures(const QIcon &element, const QIcon &klass, const QIcon &id);

    // 1-based node index of an index of this view; 0 for an invalid index.
    int nodeIndex(const QModelIndex &index) const;
    QModelIndex indexOfNode(int node) const;
    // "Elements" or "Elements\h1"; empty for an invalid index.
    QString fullPath(const QModelIndex &index) const;
    // The selected node, 0 when none is selected.
    int selectedNode() const;
    // Starts in-place editing of a selector node's label; does nothing for a group or
    // an index outside the tree.
    void editNode(int node);
    // Whether a label editor is open.
    bool isEditingLabel() const { return state() == QAbstractItemView::EditingState; }

signals:
    // Sent once the label editor has closed, so a receiver may refill the tree at once.
    void labelEdited(int node, const QString &text);

protected:
    void closeEditor(QWidget *editor, QAbstractItemDelegate::EndEditHint hint) override;

private:
    void onModelLabelEdited(int node, const QString &text);

    SelectorTreeModel *m_model; // owned by this view as its QObject child
    // An edit committed by the open label editor, reported when that editor closes:
    // a refill while the view still holds the editor would pull the index from under it.
    std::optional<std::pair<int, QString>> m_pendingEdit;
};

} // namespace sheetsmith
