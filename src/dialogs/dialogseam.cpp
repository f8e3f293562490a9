#include "dialogs/dialogseam.h"

#include "dialogs/qtdialogseam.h"

namespace sheetsmith {

DialogSeam *DialogSeam::s_installed = nullptr;

DialogSeam::~DialogSeam() = default;

DialogSeam &DialogSeam::current()
{
    if (s_installed)
        return *s_installed;
    static QtDialogSeam qtDialogs;
    return qtDialogs;
}

int MsgBox(QWidget *owner, const QString &text, int flags)
{
    return DialogSeam::current().message(owner, text, flags, QStringLiteral("Sheetsmith"));
}

} // namespace sheetsmith
