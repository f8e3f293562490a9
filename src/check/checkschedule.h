#pragma once

#include "check/sheetcheck.h"
#include "text/editedrange.h"

#include <QObject>
#include <QPointer>

#include <memory>
#include <optional>
#include <vector>

class QLabel;
class QThread;

namespace sheetsmith {

class RichEdit;
class SettingsStore;

// What a problem's tool tip says, in the list and over the editor's underline: the
// message followed by the rule's id, "Unknown property 'colr' [unknown-property]".
QString ProblemToolTip(const Problem &problem);

// Keeps the check of the editor's sheet up to date and shows it in the editor: wavy
// underlines (the marks) and a summary of all problems in the status bar's first
// panel. Whoever lists the problems follows problemsReplaced and problemsSpliced.
//
// The check follows the block list: it runs whenever the blocks are rebuilt (after
// opening, at a caret line change that caught up with edits), and then checks again
// only what the edits since the last check touched. Editor/Check turns it off;
// Editor/CheckLevel says against what it checks, and a change of it checks the sheet
// again whole.
class CheckSchedule : public QObject
{
    Q_OBJECT

public:
    CheckSchedule(RichEdit &editor, SettingsStore &settings, QLabel *status, QObject *parent);
    ~CheckSchedule() override;

    // Brings the problems up to date with the text and the stored settings.
    void check();
    // After the Settings dialog: Editor/Check off takes every mark and problem away, a
    // new level checks the sheet again whole.
    void applySettings() { check(); }

    const std::vector<Problem> &problems() const { return m_check.problems(); }
    // The 1-based line of each problem, as the text is now.
    const std::vector<int> &lines() const { return m_lines; }
    CheckLevel level() const { return m_check.level(); }
    // The offset in the editor's text now of a problem's start (it moves with edits
    // made since the check).
    qsizetype currentOffset(const Problem &problem) const;

    // A sure fix, where it stands in the editor's text now.
    struct Fix
    {
        QString caption; // "Change to 'color'"
        qsizetype offset = 0;
        qsizetype length = 0;
        QString text;
    };
    // The fix of the problem over the text offset, if it has one.
    std::optional<Fix> fixAt(qsizetype offset) const;
    // Makes the fix as one edit of the editor.
    void applyFix(const Fix &fix);

    // Puts the caret on the problem (an index into problems()) and gives the editor
    // the focus.
    void jumpTo(std::size_t index);

    // A text at least this long is checked whole off the window's thread.
    static constexpr qsizetype kBackgroundLength = 1 << 20;
    // Whether a whole check is running off the window's thread.
    bool isBusy() const { return m_worker != nullptr; }

signals:
    // Every problem is new (a whole check, or none at all once the check is off).
    void problemsReplaced();
    // A recheck changed these problems; with linesMoved the lines of those after them
    // changed too.
    void problemsSpliced(const SheetCheck::Splice &splice, bool linesMoved);
    // A check running off the window's thread has ended and its problems are shown.
    void checkedInBackground();

private:
    struct Whole;
    bool enabled() const;
    CheckLevel storedLevel() const;
    void showSummary();
    void turnOff();
    void startWhole(const QString &text, CheckLevel level);
    void wholeDone(const std::shared_ptr<Whole> &result, quint64 generation);
    void install(Whole &result);
    void onTextEdited(qsizetype from, qsizetype removed, qsizetype added);

    RichEdit &m_editor;
    SettingsStore &m_settings;
    QPointer<QLabel> m_status;
    SheetCheck m_check;
    std::vector<int> m_lines;
    EditedRange m_edited;
    int m_checkedLineCount = 0;
    bool m_checked = false;
    bool m_dataProblemSaid = false;
    QThread *m_worker = nullptr;
    std::shared_ptr<Whole> m_running; // what m_worker works out
    quint64 m_generation = 0;
};

} // namespace sheetsmith
