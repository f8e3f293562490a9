#include "blocks/selectortree.h"

#include "blocks/scanner.h"
#include "blocks/selectortreemodel.h"

namespace sheetsmith {

SelectorTree::SelectorTree(QWidget *parent)
    : QTreeView(parent), m_model(new SelectorTreeModel(this))
{
    setObjectName(QStringLiteral("Tv"));
    setModel(m_model);
    setHeaderHidden(true);
    // Every row is one line of text: lets the view lay out thousands of rows without
    // asking each one for its size.
    setUniformRowHeights(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::EditKeyPressed);
    connect(m_model, &SelectorTreeModel::labelEdited, this, &SelectorTree::onModelLabelEdited);
}

void SelectorTree::onModelLabelEdited(int node, const QString &text)
{
    if (isEditingLabel())
        m_pendingEdit.emplace(node, text);
    else
        emit labelEdited(node, text);
}

void SelectorTree::closeEditor(QWidget *editor, QAbstractItemDelegate::EndEditHint hint)
{
    QTreeView::closeEditor(editor, hint);
    if (m_pendingEdit) {
        const auto [node, text] = std::move(*m_pendingEdit);
        m_pendingEdit.reset();
        emit labelEdited(node, text);
    }
}

void SelectorTree::FillTree(const Root &blocks)
{
    m_model->fill(blocks);
    for (int g = 0; g < SelectorTreeModel::GroupCount; ++g)
        expand(m_model->index(g, 0));
}

void SelectorTree::updateTree(const Root &blocks, const BlockSplice &splice)
{
    // A label editor open on a node would be left on a moved row: a rebuild closes it.
    if (isEditingLabel() || !m_model->update(blocks, splice.first, splice.removed, splice.added)) {
        FillTree(blocks);
        return;
    }
    selectionModel()->clear();
    for (int g = 0; g < SelectorTreeModel::GroupCount; ++g)
        expand(m_model->index(g, 0));
}

void SelectorTree::setPictures(const QIcon &element, const QIcon &klass, const QIcon &id)
{
    m_model->setPictures(element, klass, id);
}

int SelectorTree::nodeIndex(const QModelIndex &index) const
{
    return m_model->nodeIndex(index);
}

QModelIndex SelectorTree::indexOfNode(int node) const
{
    return m_model->indexOfNode(node);
}

QString SelectorTree::fullPath(const QModelIndex &index) const
{
    return m_model->fullPath(index);
}

int SelectorTree::selectedNode() const
{
    const QModelIndexList selected = selectionModel()->selectedIndexes();
    return selected.isEmpty() ? 0 : m_model->nodeIndex(selected.first());
}

void SelectorTree::editNode(int node)
{
    const QModelIndex index = m_model->indexOfNode(node);
    if (!index.isValid() || SelectorTreeModel::isGroup(index))
        return;
    setCurrentIndex(index);
    edit(index);
}

} // namespace sheetsmith
