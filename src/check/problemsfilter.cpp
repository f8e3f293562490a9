#include "check/problemsfilter.h"

#include "check/problemsmodel.h"

namespace sheetsmith {

ProblemsFilter::ProblemsFilter(ProblemsModel &model, QObject *parent) : QSortFilterProxyModel(parent), m_model(model)
{
    // Rows are never re-sorted or re-filtered when their data changes (only their line
    // moves): a recheck's line moves cost a pass over the rows after the edit, not a
    // filter call for each.
    setDynamicSortFilter(false);
    setSourceModel(&model);
}

void ProblemsFilter::setShown(ProblemKind kind, bool shown)
{
    if (m_shown[std::size_t(kind)] == shown)
        return;
    m_shown[std::size_t(kind)] = shown;
    invalidateRowsFilter();
}

int ProblemsFilter::problemOf(const QModelIndex &index) const
{
    return index.isValid() ? mapToSource(index).row() : -1;
}

bool ProblemsFilter::filterAcceptsRow(int sourceRow, const QModelIndex &sourceParent) const
{
    return !sourceParent.isValid() && shows(m_model.kindAt(sourceRow));
}

} // namespace sheetsmith
