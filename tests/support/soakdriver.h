#pragma once

#include "blocks/root.h"

#include <QByteArray>
#include <QRandomGenerator>
#include <QString>
#include <QStringList>

namespace sheetsmith {

class WindowFixture;

// A long mixed session in the real window, driven from a seed: each step is one thing
// an author does, through the entry point the menus, toolbars, tree, inspector and keys
// use (typing, Enter, deleting, Cut, pastes of sample text, Undo and Redo, the block
// commands, Format Sheet, Refresh, completion, the tree's jump, new rule, delete and
// rename, inspector writes with each kind of value editor, Replace All, the preview
// and live preview, New, Open, Save, Save As and the reload of a file another program
// changed), followed by a move of the caret to another line, so the window catches up.
//
// disagreement() then compares what the window shows with a fresh reading of the
// text. The driver answers every dialog its step opens, and only those.
class SoakDriver
{
public:
    // The window of fixture must hold the opening document already.
    SoakDriver(WindowFixture &fixture, quint32 seed);

    // Keeps the session on one sheet: New and Open open a fresh copy of sheet instead,
    // so that the text stays about its size however long the session runs.
    void stayOnSheet(const QByteArray &sheet) { m_fixedSheet = sheet; }
    // Opens a fresh copy of that sheet, throwing the edits away: the document and its
    // undo history start again. Empty when it did, else what went wrong.
    QString reopen();

    // One step and the caret move after it; answers what the step did. A step that
    // saw something wrong itself answers starting with "wrong: ". With
    // SHEETSMITH_SOAK_TRACE set, each step is also printed as it ends.
    QString step();

    // What the window shows against a fresh reading of the text, after a step; empty
    // when everything agrees:
    // - the editor's document and its text model;
    // - the blocks and the tree against a fresh scan and fill;
    // - the Value column against what the catching-up loads for the caret;
    // - the line the caret left against the line colouring of its text, and every
    //   line on screen as painted against the colour layer;
    // - the problems against a whole check;
    // - no message box or dialog nobody answered, no answer nobody asked for.
    QString disagreement() const;

    // Undo to the start of the history; empty when that gives the text the document
    // had when it was last opened, read in or made new.
    QString undoToOpening();

    // The last steps, for a failure message.
    QString history() const { return m_done.join(u", ").right(600); }

private:
    QString act();
    QString inspectorWrite();
    QString treeCommand();
    QString fileCommand();
    QString completion();
    void answerSaveDialogIfUntitled();
    // Writes the fixed sheet under a name other than the document's; empty on failure.
    QString freshCopy() const;
    // The Open command on path, after the save question (if any) was answered with
    // answer; empty when the window then shows path, or when answer was Cancel.
    QString openThroughCommand(const QString &path, int answer);
    void caretTo();
    QString piece();
    void settle();
    void documentLoaded();

    QString valueDisagreement() const;
    QString colourDisagreement() const;

    WindowFixture &m_fixture;
    QRandomGenerator m_random;
    QStringList m_pieces;
    QStringList m_done;
    QString m_opening;
    int m_sinceOpening = 0;
    int m_files = 0;
    QByteArray m_fixedSheet;
    // What the last catching-up started from: the blocks as they were before it, and
    // the line it recoloured (-1 when the caret move caused no catching-up).
    Root m_blocksBefore;
    int m_lineLeft = -1;
};

} // namespace sheetsmith
