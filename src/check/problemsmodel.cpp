#include "check/problemsmodel.h"

#include "check/checkschedule.h"

namespace sheetsmith {

int ProblemsModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_kinds.size());
}

int ProblemsModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : 3;
}

QVariant ProblemsModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount() || (role != Qt::DisplayRole && role != Qt::ToolTipRole))
        return QVariant();
    const Problem &problem = (*m_problems)[size_t(index.row())];
    if (role == Qt::ToolTipRole)
        return ProblemToolTip(problem);
    switch (index.column()) {
    case 0:
        return (*m_lines)[size_t(index.row())];
    case 1:
        return ProblemKindName(problem.kind);
    default:
        return problem.message;
    }
}

QVariant ProblemsModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QVariant();
    static const char *const names[] = {"Line", "Kind", "Problem"};
    return section >= 0 && section < 3 ? QString::fromLatin1(names[section]) : QVariant();
}

void ProblemsModel::reset(const std::vector<Problem> &problems, const std::vector<int> &lines)
{
    beginResetModel();
    m_problems = &problems;
    m_lines = &lines;
    m_kinds.clear();
    m_kinds.reserve(problems.size());
    m_counts = {};
    for (const Problem &p : problems) {
        m_kinds.push_back(p.kind);
        ++m_counts[std::size_t(p.kind)];
    }
    endResetModel();
    emit countsChanged();
}

void ProblemsModel::follow(const std::vector<Problem> &problems, const std::vector<int> &lines,
                           const SheetCheck::Splice &splice, bool linesMoved)
{
    m_problems = &problems;
    m_lines = &lines;
    const std::array<int, 3> before = m_counts;
    const int first = int(splice.first);
    if (splice.removed > 0) {
        beginRemoveRows(QModelIndex(), first, first + int(splice.removed) - 1);
        const auto from = m_kinds.begin() + qsizetype(splice.first);
        const auto to = from + qsizetype(splice.removed);
        for (auto k = from; k != to; ++k)
            --m_counts[std::size_t(*k)];
        m_kinds.erase(from, to);
        endRemoveRows();
    }
    if (splice.inserted > 0) {
        beginInsertRows(QModelIndex(), first, first + int(splice.inserted) - 1);
        std::vector<ProblemKind> kinds;
        kinds.reserve(splice.inserted);
        for (std::size_t i = splice.first; i < splice.first + splice.inserted; ++i) {
            kinds.push_back(problems[i].kind);
            ++m_counts[std::size_t(problems[i].kind)];
        }
        m_kinds.insert(m_kinds.begin() + qsizetype(splice.first), kinds.begin(), kinds.end());
        endInsertRows();
    }
    const int after = first + int(splice.inserted);
    if (linesMoved && after < rowCount())
        emit dataChanged(index(after, 0), index(rowCount() - 1, 0), {Qt::DisplayRole});
    if (m_counts != before)
        emit countsChanged();
}

} // namespace sheetsmith
