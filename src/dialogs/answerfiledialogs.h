#pragma once

#include "dialogs/dialogseam.h"
#include "dialogs/scopeddialogseam.h"

#include <QQueue>
#include <QString>

#include <memory>

namespace sheetsmith {

// A dialog seam that takes its answers from a file instead of a person, so that tests
// can run the whole program as a separate process. It is installed only when the
// environment variable SHEETSMITH_DIALOG_ANSWERS names a file; the program otherwise
// shows its dialogs as always.
//
// The answers file holds one answer per line, used in order by the message boxes:
// Ok, Cancel, Abort, Retry, Ignore, Yes or No. A box that finds no answer left is
// closed as Escape would close it. File and colour dialogs are always cancelled.
// When SHEETSMITH_DIALOG_LOG names a file, every box and dialog appends a line to it:
// the answer given, a tab, and the box's text with its line breaks written as "\n".
class AnswerFileDialogs : public DialogSeam
{
public:
    // The installed seam when the environment asks for one, else nothing.
    static std::unique_ptr<AnswerFileDialogs> fromEnvironment();

    AnswerFileDialogs(const QString &answersPath, const QString &logPath);

    int message(QWidget *owner, const QString &text, int flags, const QString &title) override;
    bool openFile(FileDialogRequest &request) override;
    bool saveFile(FileDialogRequest &request) override;
    bool chooseColour(ColourDialogRequest &request) override;

    // The answer for one of the words above; 0 for any other text.
    static int answerNamed(const QString &word);
    static QString nameOf(int answer);

private:
    void log(const QString &answer, const QString &text) const;

    QQueue<int> m_answers;
    QString m_logPath;
    ScopedDialogSeam m_scope; // last: installed once everything above is ready
};

} // namespace sheetsmith
