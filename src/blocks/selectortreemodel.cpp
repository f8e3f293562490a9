#include "blocks/selectortreemodel.h"

#include "blocks/root.h"

#include <QBrush>
#include <QColor>

namespace sheetsmith {

namespace {

// Group keys are also their texts, in this order.
const std::array<QString, SelectorTreeModel::GroupCount> &groupTexts()
{
    static const std::array<QString, SelectorTreeModel::GroupCount> texts = {
        QStringLiteral("Elements"), QStringLiteral("Classes"), QStringLiteral("IDs")};
    return texts;
}

// The group a block kind belongs to; -1 for a kind with no group. Exact comparison:
// "element" is no kind.
int groupOfKind(const QString &kind)
{
    if (kind == u"Class")
        return 1;
    if (kind == u"Element")
        return 0;
    if (kind == u"ID")
        return 2;
    return -1;
}

} // namespace

SelectorTreeModel::SelectorTreeModel(QObject *parent) : QAbstractItemModel(parent)
{
    addGroups();
}

void SelectorTreeModel::addGroups()
{
    m_nodes.clear();
    for (auto &children : m_children)
        children.clear();
    for (int g = 0; g < GroupCount; ++g)
        m_nodes.push_back(Node{groupTexts()[size_t(g)], g, g, {}, {}});
}

void SelectorTreeModel::fill(const Root &blocks)
{
    beginResetModel();
    addGroups();
    m_nodes.reserve(size_t(GroupCount + blocks.Count()));
    for (const ItmClass &block : blocks) {
        const int group = groupOfKind(block.Kind());
        if (group < 0)
            continue;
        auto &children = m_children[size_t(group)];
        children.push_back(int(m_nodes.size()));
        m_nodes.push_back(Node{block.ID(), group, int(children.size()) - 1, {}, {}});
    }
    endResetModel();
}

void SelectorTreeModel::setPictures(const QIcon &element, const QIcon &klass, const QIcon &id)
{
    m_pictures = {element, klass, id};
    const QList<int> roles = {Qt::DecorationRole};
    emit dataChanged(index(0, 0), index(GroupCount - 1, 0), roles);
    for (int g = 0; g < GroupCount; ++g) {
        const int n = int(m_children[size_t(g)].size());
        if (n > 0) {
            const QModelIndex parent = index(g, 0);
            emit dataChanged(index(0, 0, parent), index(n - 1, 0, parent), roles);
        }
    }
}

int SelectorTreeModel::nodeIndex(const QModelIndex &index) const
{
    if (!index.isValid() || index.model() != this)
        return 0;
    return int(index.internalId()) + 1;
}

QModelIndex SelectorTreeModel::indexOfNode(int node) const
{
    if (node < 1 || node > nodeCount())
        return {};
    const Node &n = m_nodes[size_t(node - 1)];
    return createIndex(n.row, 0, quintptr(node - 1));
}

QModelIndex SelectorTreeModel::groupIndex(const QString &key) const
{
    for (int g = 0; g < GroupCount; ++g) {
        if (groupTexts()[size_t(g)] == key)
            return index(g, 0);
    }
    return {};
}

bool SelectorTreeModel::isGroup(const QModelIndex &index)
{
    return index.isValid() && index.internalId() < quintptr(GroupCount);
}

QString SelectorTreeModel::fullPath(const QModelIndex &index) const
{
    const int node = nodeIndex(index);
    if (node == 0)
        return QString();
    const Node &n = m_nodes[size_t(node - 1)];
    if (node <= GroupCount)
        return n.text;
    return groupTexts()[size_t(n.group)] + u'\\' + n.text;
}

QModelIndex SelectorTreeModel::index(int row, int column, const QModelIndex &parent) const
{
    if (column != 0 || row < 0)
        return {};
    if (!parent.isValid())
        return row < GroupCount ? createIndex(row, 0, quintptr(row)) : QModelIndex();
    if (!isGroup(parent))
        return {};
    const auto &children = m_children[parent.internalId()];
    if (row >= int(children.size()))
        return {};
    return createIndex(row, 0, quintptr(children[size_t(row)]));
}

QModelIndex SelectorTreeModel::parent(const QModelIndex &child) const
{
    if (!child.isValid() || isGroup(child))
        return {};
    const int group = m_nodes[child.internalId()].group;
    return createIndex(group, 0, quintptr(group));
}

int SelectorTreeModel::rowCount(const QModelIndex &parent) const
{
    if (!parent.isValid())
        return GroupCount;
    if (parent.column() != 0 || !isGroup(parent))
        return 0;
    return int(m_children[parent.internalId()].size());
}

int SelectorTreeModel::columnCount(const QModelIndex &) const
{
    return 1;
}

QVariant SelectorTreeModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return {};
    const Node &n = m_nodes[index.internalId()];
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return n.text;
    case Qt::DecorationRole: {
        const QIcon &picture = m_pictures[size_t(n.group)];
        return picture.isNull() ? QVariant() : QVariant(picture);
    }
    case Qt::ForegroundRole:
        return n.foreground;
    case Qt::BackgroundRole:
        return n.background;
    default:
        return {};
    }
}

bool SelectorTreeModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid() || index.model() != this)
        return false;
    Node &n = m_nodes[index.internalId()];
    switch (role) {
    case Qt::EditRole:
        if (!isGroup(index))
            emit labelEdited(nodeIndex(index), value.toString());
        return false;
    case Qt::ForegroundRole:
        n.foreground = value;
        break;
    case Qt::BackgroundRole:
        n.background = value;
        break;
    default:
        return false;
    }
    emit dataChanged(index, index, {role});
    return true;
}

Qt::ItemFlags SelectorTreeModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (!isGroup(index))
        f |= Qt::ItemIsEditable | Qt::ItemNeverHasChildren;
    return f;
}

} // namespace sheetsmith
