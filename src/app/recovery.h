#pragma once

#include <QFileInfo>
#include <QObject>
#include <QString>
#include <QTimer>

#include <memory>

class QLockFile;
class QWidget;

namespace sheetsmith {

class RecoveryWriter;
class RichEdit;
struct RecoveryRecord;
class SheetDocument;

// Keeps a recovery copy of the open document while it holds unsaved edits, so that a
// crash, a power cut or a killed session loses at most the last moments of typing.
//
// Each running program is a session with its own files in the recovery folder: a
// lock file "<id>.lock", held for as long as the program runs, and the copy
// "<id>.recovery" (the document's text with its title, path and file format). A copy
// whose lock is not held by a running program was left by one that ended without
// closing properly; offerLeftOvers() offers it back. A lock held by a running program
// keeps its copy out of reach of any other: it is neither offered nor deleted.
//
// The copy is written on a thread of its own (RecoveryWriter) a moment after typing
// stops, and at least every few seconds while it goes on. It is removed when the
// document is saved, when its edits are thrown away (New, Open, a No when closing)
// and by endSession() at a normal exit.
class DocumentRecovery : public QObject
{
    Q_OBJECT

public:
    // The copy is written this long after the last edit...
    static constexpr int DefaultIdleDelayMs = 1000;
    // ...and no later than this after the first edit not yet in the copy.
    static constexpr int DefaultLongestDelayMs = 5000;

    // owner is the window the questions belong to.
    DocumentRecovery(SheetDocument &document, RichEdit &editor, const QString &folder, QWidget *owner);
    // Without endSession() the copy stays behind, as after a crash; the lock goes.
    ~DocumentRecovery() override;

    // The per-user folder of recovery copies, in the program's data location; empty
    // when the system names no such location.
    static QString defaultFolder();

    QString folder() const { return m_folder; }
    // This session's copy (it exists only while there are unsaved edits).
    QString filePath() const;
    // False, with problem() saying why, when no copy can be kept.
    bool isActive() const { return m_lock != nullptr; }
    QString problem() const { return m_problem; }

    void setDelays(int idleMs, int longestMs);

    // Offers back, one by one, the copies of sessions that ended without closing
    // properly; first tells the author when no copy of this session can be kept.
    // Yes restores a copy as an edited document; No asks again before deleting it,
    // and a second No keeps it for the next start. A copy that is damaged or cannot
    // be read is reported and renamed to "<name>.damaged", never loaded in part.
    void offerLeftOvers();

    // A normal exit: removes this session's copy and ends the session.
    void endSession();

    // Writes the copy now if one is due, and waits until the writer is done; true
    // when its last request succeeded.
    bool writePendingNow();

private:
    void onTextChanged();
    void onEditsSettled();
    void onRestored();
    void onWriterFinished(bool ok, const QString &problem);
    void writeNow();
    void offer(const QFileInfo &copy);
    void restore(const QString &copyPath, const RecoveryRecord &record);
    void keepAside(const QString &copyPath, const QString &reason);

    SheetDocument &m_document;
    RichEdit &m_editor;
    QWidget *m_owner;
    const QString m_folder;
    QString m_id;
    QString m_problem;
    std::unique_ptr<QLockFile> m_lock;
    std::unique_ptr<RecoveryWriter> m_writer;
    QTimer m_idle;
    QTimer m_longest;
    // The editor's text when its edits were last settled (opened, saved, New): a text
    // back at that point holds nothing to recover.
    QString m_settledText;
    bool m_writeProblemTold = false;
    bool m_ended = false;
};

} // namespace sheetsmith
