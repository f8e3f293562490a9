#pragma once

#include "dialogs/dialogseam.h"

namespace sheetsmith {

// A dialog seam for a run with nobody at the screen: each message is printed on the
// standard error stream and answered with the box's default button; file and colour
// dialogs are cancelled.
class ConsoleDialogSeam : public DialogSeam
{
public:
    int message(QWidget *owner, const QString &text, int flags, const QString &title) override;
    bool openFile(FileDialogRequest &request) override;
    bool saveFile(FileDialogRequest &request) override;
    bool chooseColour(ColourDialogRequest &request) override;
};

} // namespace sheetsmith
