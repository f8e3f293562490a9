#pragma once

#include "check/checkrules.h"
#include "check/problemsfilter.h"
#include "check/problemsmodel.h"

#include <QObject>

#include <array>

class QDockWidget;
class QMainWindow;
class QModelIndex;
class QToolButton;
class QTreeView;

namespace sheetsmith {

class CheckSchedule;
class SettingsStore;

// The Problems dock (DockProblems) at the bottom of the window: the list of a check's
// problems (LstProblems) under a header of three toggles, Errors, Warnings and Notes
// (ChkErrors, ChkWarnings, ChkNotes), each with its count, that show and hide the rows
// of their kind. Double-click or Enter on a row puts the caret on its problem. The
// dock's own toggle (mProblems) and the three toggles are kept in section Window of the
// settings store; notes start hidden, as a modern sheet checked against CSS level 1
// has hundreds of them.
class ProblemsDock : public QObject
{
    Q_OBJECT

public:
    ProblemsDock(QMainWindow &window, CheckSchedule &schedule, SettingsStore &settings);

    QDockWidget *dock() const { return m_dock; }
    QTreeView *list() const { return m_list; }

    // Puts the caret on the problem of a row of the list.
    void jumpTo(const QModelIndex &row);

private:
    void showCounts();
    void setShown(ProblemKind kind, bool shown);

    CheckSchedule &m_schedule;
    SettingsStore &m_settings;
    ProblemsModel m_model;
    ProblemsFilter m_filter{m_model};
    QDockWidget *m_dock = nullptr;
    QTreeView *m_list = nullptr;
    std::array<QToolButton *, 3> m_toggles{};
};

} // namespace sheetsmith
