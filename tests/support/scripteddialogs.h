#pragma once

#include "dialogs/dialogseam.h"

#include <QColor>
#include <QList>
#include <QQueue>
#include <QString>
#include <QStringList>

#include <optional>

namespace sheetsmith {

// A dialog seam for tests: answers come from queues filled beforehand, and every
// message and dialog request is recorded. A call with no answer queued fails the
// running test and is answered with Cancel, so nothing ever waits for a user.
//
//     ScriptedDialogs dialogs;
//     ScopedDialogSeam scope(dialogs);
//     dialogs.answerMessage(DialogSeam::Yes);
class ScriptedDialogs : public DialogSeam
{
public:
    struct Message
    {
        QString text;
        int flags = 0;
        QString title;
        QWidget *owner = nullptr;
    };
    enum class FileKind { Open, Save };
    struct FileCall
    {
        FileKind kind;
        FileDialogRequest request; // as the caller filled it in
    };

    ~ScriptedDialogs() override;

    void answerMessage(int answer);
    // The user picks path (and, when filterIndex >= 0, that name filter).
    void answerFile(const QString &path, int filterIndex = -1);
    void cancelFile();
    void answerColour(const QColor &colour);
    void cancelColour();

    int message(QWidget *owner, const QString &text, int flags, const QString &title) override;
    bool openFile(FileDialogRequest &request) override;
    bool saveFile(FileDialogRequest &request) override;
    bool chooseColour(ColourDialogRequest &request) override;

    const QList<Message> &messages() const { return m_messages; }
    const QList<FileCall> &fileCalls() const { return m_fileCalls; }
    const QList<ColourDialogRequest> &colourCalls() const { return m_colourCalls; }
    // Drops the record of the messages and dialogs so far (a long session keeps none);
    // the unanswered calls stay.
    void forgetCalls();
    // Calls that found no answer queued, described for a failure message.
    const QStringList &unanswered() const { return m_unanswered; }
    // Answers queued but never asked for.
    int pendingAnswers() const;

private:
    struct FileAnswer
    {
        QString path;
        int filterIndex;
    };

    bool fileDialog(FileKind kind, FileDialogRequest &request);
    void unansweredCall(const QString &what);

    QQueue<int> m_messageAnswers;
    QQueue<std::optional<FileAnswer>> m_fileAnswers;
    QQueue<std::optional<QColor>> m_colourAnswers;
    QList<Message> m_messages;
    QList<FileCall> m_fileCalls;
    QList<ColourDialogRequest> m_colourCalls;
    QStringList m_unanswered;
};

} // namespace sheetsmith
