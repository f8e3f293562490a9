#pragma once

#include "check/sheetcheck.h"

#include <QAbstractTableModel>

#include <array>
#include <vector>

namespace sheetsmith {

// The rows of the Problems list: "Line", "Kind" and "Problem", one per problem of the
// check, in text order; the tool tip of a row is the problem's with its rule's id. It
// shows the check's own vectors, which it is told of each time they change, and keeps
// the number of rows of each kind.
class ProblemsModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    using QAbstractTableModel::QAbstractTableModel;

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    // All rows anew.
    void reset(const std::vector<Problem> &problems, const std::vector<int> &lines);
    // Follows a recheck: `problems` are all of them now, `lines` their 1-based lines.
    // Costs what the splice changed (and a pass over the lines after it when they moved).
    void follow(const std::vector<Problem> &problems, const std::vector<int> &lines, const SheetCheck::Splice &splice,
                bool linesMoved);

    ProblemKind kindAt(int row) const { return m_kinds[std::size_t(row)]; }
    int count(ProblemKind kind) const { return m_counts[std::size_t(kind)]; }

signals:
    // The number of rows of some kind changed.
    void countsChanged();

private:
    const std::vector<Problem> *m_problems = nullptr;
    const std::vector<int> *m_lines = nullptr;
    // The kind of each row, kept beside the check's problems: by the time a recheck is
    // followed, the problems that gave way are gone from them, and their kinds still
    // have to leave the counts.
    std::vector<ProblemKind> m_kinds;
    std::array<int, 3> m_counts{};
};

} // namespace sheetsmith
