#include "blocks/selectortreemodel.h"

#include "blocks/root.h"

#include <QBrush>
#include <QColor>

#include <algorithm>

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
        m_nodes.push_back(Node{groupTexts()[size_t(g)], g, {}, {}});
    m_colouredNodes = 0;
}

void SelectorTreeModel::fill(const Root &blocks)
{
    beginResetModel();
    addGroups();
    m_nodes.reserve(size_t(GroupCount + blocks.Count()));
    m_nodePerBlock = true;
    for (const ItmClass &block : blocks) {
        const int group = groupOfKind(block.Kind());
        if (group < 0) {
            m_nodePerBlock = false;
            continue;
        }
        m_children[size_t(group)].push_back(int(m_nodes.size()));
        m_nodes.push_back(Node{block.ID(), group, {}, {}});
    }
    endResetModel();
}

bool SelectorTreeModel::update(const Root &blocks, qsizetype first, qsizetype removed, qsizetype added)
{
    const qsizetype oldCount = qsizetype(m_nodes.size()) - GroupCount;
    if (!m_nodePerBlock || first < 0 || removed < 0 || added < 0 || first + removed > oldCount
        || blocks.Count() != oldCount - removed + added)
        return false;
    const auto blockAt = [&blocks](qsizetype i) -> const ItmClass & { return *(blocks.begin() + i); };
    for (qsizetype i = first; i < first + added; ++i) {
        if (groupOfKind(blockAt(i).Kind()) < 0)
            return false;
    }
    const auto same = [&](qsizetype node, qsizetype block) {
        const Node &n = m_nodes[size_t(GroupCount + node)];
        return n.group == groupOfKind(blockAt(block).Kind()) && n.text == blockAt(block).ID();
    };
    // Only the middle that differs is touched: most edits leave every label as it was.
    qsizetype head = 0;
    while (head < removed && head < added && same(first + head, first + head))
        ++head;
    qsizetype tail = 0;
    while (tail < removed - head && tail < added - head
           && same(first + removed - 1 - tail, first + added - 1 - tail))
        ++tail;
    const int from = int(GroupCount + first + head); // first node position that changes
    const int oldTo = int(GroupCount + first + removed - tail);
    const int newCount = int(added - head - tail);

    bool sameGroups = oldTo - from == newCount;
    for (int i = 0; sameGroups && i < newCount; ++i)
        sameGroups = m_nodes[size_t(from + i)].group == groupOfKind(blockAt(from - GroupCount + i).Kind());
    if (sameGroups) {
        // Labels changed, rows did not.
        for (int i = 0; i < newCount; ++i) {
            Node &n = m_nodes[size_t(from + i)];
            n.text = blockAt(from - GroupCount + i).ID();
            const QModelIndex changed = createIndex(rowOf(from + i), 0, quintptr(n.group));
            emit dataChanged(changed, changed, {Qt::DisplayRole, Qt::EditRole});
        }
        resetNodeColours();
        return true;
    }

    // Rows of each group that go, then the nodes themselves, then the rows that come.
    std::array<int, GroupCount> row{};
    for (int g = 0; g < GroupCount; ++g) {
        auto &children = m_children[size_t(g)];
        const auto lo = std::lower_bound(children.begin(), children.end(), from);
        const auto hi = std::lower_bound(lo, children.end(), oldTo);
        row[size_t(g)] = int(lo - children.begin());
        if (lo == hi)
            continue;
        beginRemoveRows(index(g, 0), int(lo - children.begin()), int(hi - children.begin()) - 1);
        children.erase(lo, hi);
        endRemoveRows();
    }
    std::vector<Node> inserted;
    std::array<std::vector<int>, GroupCount> insertedRows;
    for (int i = 0; i < newCount; ++i) {
        const ItmClass &block = blockAt(from - GroupCount + i);
        const int group = groupOfKind(block.Kind());
        insertedRows[size_t(group)].push_back(from + i);
        inserted.push_back(Node{block.ID(), group, {}, {}});
    }
    const int shift = newCount - (oldTo - from);
    for (auto &children : m_children) {
        for (auto it = std::lower_bound(children.begin(), children.end(), oldTo); it != children.end(); ++it)
            *it += shift;
    }
    const auto at = m_nodes.erase(m_nodes.begin() + from, m_nodes.begin() + oldTo);
    m_nodes.insert(at, std::make_move_iterator(inserted.begin()), std::make_move_iterator(inserted.end()));
    for (int g = 0; g < GroupCount; ++g) {
        const auto &rows = insertedRows[size_t(g)];
        if (rows.empty())
            continue;
        auto &children = m_children[size_t(g)];
        beginInsertRows(index(g, 0), row[size_t(g)], row[size_t(g)] + int(rows.size()) - 1);
        children.insert(children.begin() + row[size_t(g)], rows.begin(), rows.end());
        endInsertRows();
    }
    resetNodeColours();
    return true;
}

void SelectorTreeModel::resetNodeColours()
{
    // A rebuild drops every node colour; nodes that kept theirs through the update lose
    // them here.
    if (m_colouredNodes == 0)
        return;
    m_colouredNodes = 0;
    for (int p = 0; p < int(m_nodes.size()); ++p) {
        Node &n = m_nodes[size_t(p)];
        if (!n.foreground.isValid() && !n.background.isValid())
            continue;
        n.foreground = QVariant();
        n.background = QVariant();
        const QModelIndex changed =
            p < GroupCount ? index(p, 0) : createIndex(rowOf(p), 0, quintptr(n.group));
        emit dataChanged(changed, changed, {Qt::ForegroundRole, Qt::BackgroundRole});
    }
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

int SelectorTreeModel::positionOf(const QModelIndex &index) const
{
    if (isGroup(index))
        return index.row();
    return m_children[index.internalId()][size_t(index.row())];
}

int SelectorTreeModel::rowOf(int position) const
{
    if (position < GroupCount)
        return position;
    const auto &children = m_children[size_t(m_nodes[size_t(position)].group)];
    return int(std::lower_bound(children.begin(), children.end(), position) - children.begin());
}

int SelectorTreeModel::nodeIndex(const QModelIndex &index) const
{
    if (!index.isValid() || index.model() != this)
        return 0;
    return positionOf(index) + 1;
}

QModelIndex SelectorTreeModel::indexOfNode(int node) const
{
    if (node < 1 || node > nodeCount())
        return {};
    if (node <= GroupCount)
        return index(node - 1, 0);
    const Node &n = m_nodes[size_t(node - 1)];
    return createIndex(rowOf(node - 1), 0, quintptr(n.group));
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
    return index.isValid() && index.internalId() == quintptr(GroupCount);
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
        return row < GroupCount ? createIndex(row, 0, quintptr(GroupCount)) : QModelIndex();
    if (!isGroup(parent))
        return {};
    if (row >= int(m_children[size_t(parent.row())].size()))
        return {};
    return createIndex(row, 0, quintptr(parent.row()));
}

QModelIndex SelectorTreeModel::parent(const QModelIndex &child) const
{
    if (!child.isValid() || isGroup(child))
        return {};
    return createIndex(int(child.internalId()), 0, quintptr(GroupCount));
}

int SelectorTreeModel::rowCount(const QModelIndex &parent) const
{
    if (!parent.isValid())
        return GroupCount;
    if (parent.column() != 0 || !isGroup(parent))
        return 0;
    return int(m_children[size_t(parent.row())].size());
}

int SelectorTreeModel::columnCount(const QModelIndex &) const
{
    return 1;
}

QVariant SelectorTreeModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return {};
    const Node &n = m_nodes[size_t(positionOf(index))];
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
    Node &n = m_nodes[size_t(positionOf(index))];
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
    if (value.isValid())
        ++m_colouredNodes;
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
