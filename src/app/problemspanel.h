#pragma once

#include "editor/problemmarks.h"
#include "check/sheetcheck.h"
#include "text/editedrange.h"

#include <QAbstractTableModel>
#include <QObject>
#include <QPointer>

#include <memory>
#include <vector>

class QDockWidget;
class QLabel;
class QMainWindow;
class QThread;
class QTreeView;

namespace sheetsmith {

class RichEdit;
class SettingsStore;

// The rows of the Problems list: "Line", "Kind" and "Problem", in text order.
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
    // Follows a check: `problems` are all of them now, `lines` their 1-based lines.
    void follow(const std::vector<Problem> &problems, const std::vector<int> &lines, const SheetCheck::Splice &splice,
                bool linesMoved);

private:
    const std::vector<Problem> *m_problems = nullptr;
    const std::vector<int> *m_lines = nullptr;
    int m_rows = 0;
};

// Checks the sheet against CSS level 1 and shows what it finds: wavy underlines in the
// editor, the Problems dock (LstProblems) and a summary in the status bar's first
// panel. The check follows the block list: it runs whenever the blocks are rebuilt
// (after opening, at a caret line change that caught up with edits), and then checks
// again only what the edits since the last check touched. Editor/Check turns it off.
class ProblemsPanel : public QObject
{
    Q_OBJECT

public:
    ProblemsPanel(QMainWindow &window, RichEdit &editor, SettingsStore &settings, QLabel *status);
    ~ProblemsPanel() override;

    QDockWidget *dock() const { return m_dock; }
    QTreeView *list() const { return m_list; }

    // Brings the problems up to date with the text.
    void check();
    // After the Settings dialog: Editor/Check off takes every mark and row away.
    void applySettings();

    const std::vector<Problem> &problems() const { return m_check.problems(); }
    // The offset in the editor's text now of a problem's start (it moves with edits
    // made since the check).
    qsizetype currentOffset(const Problem &problem) const;
    // The problem with a sure fix over the text offset, if any.
    const Problem *fixAt(qsizetype offset) const;

    // Puts the caret on the problem of this row and gives the editor the focus.
    void jumpTo(int row);

    // A text at least this long is checked whole off the window's thread.
    static constexpr qsizetype kBackgroundLength = 1 << 20;
    // Whether a whole check is running off the window's thread.
    bool isBusy() const { return m_worker != nullptr; }

signals:
    // A check running off the window's thread has ended and its problems are shown.
    void checkedInBackground();

private:
    struct Whole;
    void showSummary();
    void turnOff();
    void startWhole(const QString &text);
    void wholeDone(const std::shared_ptr<Whole> &result, quint64 generation);
    void install(Whole &result);
    void onTextEdited(qsizetype from, qsizetype removed, qsizetype added);

    RichEdit &m_editor;
    SettingsStore &m_settings;
    QPointer<QLabel> m_status;
    QDockWidget *m_dock = nullptr;
    QTreeView *m_list = nullptr;
    ProblemsModel m_model;
    SheetCheck m_check;
    std::vector<int> m_lines;
    EditedRange m_edited;
    int m_checkedLineCount = 0;
    bool m_checked = false;
    QThread *m_worker = nullptr;
    quint64 m_generation = 0;
};

} // namespace sheetsmith
