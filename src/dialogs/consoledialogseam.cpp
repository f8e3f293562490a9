#include "dialogs/consoledialogseam.h"

#include "dialogs/qtdialogseam.h"

#include <cstdio>

namespace sheetsmith {

int ConsoleDialogSeam::message(QWidget *, const QString &text, int flags, const QString &title)
{
    const QByteArray line = (title + QStringLiteral(": ") + text + u'\n').toLocal8Bit();
    std::fwrite(line.constData(), 1, size_t(line.size()), stderr);
    return QtDialogSeam::answerFor(QtDialogSeam::defaultButtonFor(flags));
}

bool ConsoleDialogSeam::openFile(FileDialogRequest &)
{
    return false;
}

bool ConsoleDialogSeam::saveFile(FileDialogRequest &)
{
    return false;
}

bool ConsoleDialogSeam::chooseColour(ColourDialogRequest &)
{
    return false;
}

} // namespace sheetsmith
