#pragma once

#include "check/checkrules.h"

#include <QSortFilterProxyModel>

#include <array>

namespace sheetsmith {

class ProblemsModel;

// The rows of a ProblemsModel whose kind is shown, in the model's order. A row keeps
// its kind for as long as it is there (a recheck replaces rows, it never changes one),
// so only new rows and a change of the kinds shown are filtered, never a changed row.
class ProblemsFilter : public QSortFilterProxyModel
{
public:
    explicit ProblemsFilter(ProblemsModel &model, QObject *parent = nullptr);

    bool shows(ProblemKind kind) const { return m_shown[std::size_t(kind)]; }
    void setShown(ProblemKind kind, bool shown);

    // The model's row (the index of the problem) of a row shown; -1 for none.
    int problemOf(const QModelIndex &index) const;

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex &sourceParent) const override;

private:
    const ProblemsModel &m_model;
    std::array<bool, 3> m_shown{true, true, true};
};

} // namespace sheetsmith
