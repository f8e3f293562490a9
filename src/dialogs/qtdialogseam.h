#pragma once

#include "dialogs/dialogseam.h"

#include <QList>
#include <QMessageBox>

namespace sheetsmith {

// The dialog seam the program runs with: Qt's message box, file dialog and colour
// dialog, modal to the request's owner.
class QtDialogSeam : public DialogSeam
{
public:
    int message(QWidget *owner, const QString &text, int flags, const QString &title) override;
    bool openFile(FileDialogRequest &request) override;
    bool saveFile(FileDialogRequest &request) override;
    bool chooseColour(ColourDialogRequest &request) override;

    // The translation of message-box flags, kept apart from the modal box itself.
    static QMessageBox::Icon iconFor(int flags);
    // The buttons in the order they are offered; an unknown set gives OK alone.
    static QList<QMessageBox::StandardButton> buttonsFor(int flags);
    // The button taken by Return: the first, or the second or third when asked for
    // and present.
    static QMessageBox::StandardButton defaultButtonFor(int flags);
    // The button taken when the box is closed without a button (Escape, close box):
    // Cancel when offered, otherwise the last button.
    static QMessageBox::StandardButton escapeButtonFor(int flags);
    // The Answer for a button; Cancel for anything else.
    static int answerFor(QMessageBox::StandardButton button);

private:
    static bool runFileDialog(FileDialogRequest &request, bool save);
};

} // namespace sheetsmith
