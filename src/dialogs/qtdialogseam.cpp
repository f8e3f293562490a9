#include "dialogs/qtdialogseam.h"

#include <QColorDialog>
#include <QFileDialog>
#include <QPushButton>

namespace sheetsmith {

int QtDialogSeam::message(QWidget *owner, const QString &text, int flags, const QString &title)
{
    QMessageBox box(owner);
    box.setWindowTitle(title);
    box.setText(text);
    box.setIcon(iconFor(flags));
    for (QMessageBox::StandardButton button : buttonsFor(flags))
        box.addButton(button);
    box.setDefaultButton(defaultButtonFor(flags));
    const QMessageBox::StandardButton escape = escapeButtonFor(flags);
    box.setEscapeButton(escape);
    box.exec();
    QAbstractButton *clicked = box.clickedButton();
    return answerFor(clicked ? box.standardButton(clicked) : escape);
}

bool QtDialogSeam::openFile(FileDialogRequest &request)
{
    return runFileDialog(request, false);
}

bool QtDialogSeam::saveFile(FileDialogRequest &request)
{
    return runFileDialog(request, true);
}

bool QtDialogSeam::chooseColour(ColourDialogRequest &request)
{
    const QColor chosen = QColorDialog::getColor(request.colour, request.owner);
    if (!chosen.isValid())
        return false;
    request.colour = chosen;
    return true;
}

bool QtDialogSeam::runFileDialog(FileDialogRequest &request, bool save)
{
    // An empty caption lets the dialog use its own "Open" or "Save As" title.
    QFileDialog dialog(request.owner, request.title, request.directory);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    if (!request.nameFilters.isEmpty()) {
        dialog.setNameFilters(request.nameFilters);
        if (request.filterIndex >= 0 && request.filterIndex < request.nameFilters.size())
            dialog.selectNameFilter(request.nameFilters.at(request.filterIndex));
    }
    if (!request.defaultSuffix.isEmpty())
        dialog.setDefaultSuffix(request.defaultSuffix);
    if (!request.initialFile.isEmpty())
        dialog.selectFile(request.initialFile);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    const QStringList files = dialog.selectedFiles();
    if (files.isEmpty())
        return false;
    request.selectedFile = files.first();
    const qsizetype filter = request.nameFilters.indexOf(dialog.selectedNameFilter());
    if (filter >= 0)
        request.filterIndex = int(filter);
    return true;
}

QMessageBox::Icon QtDialogSeam::iconFor(int flags)
{
    switch (flags & IconMask) {
    case Critical:
        return QMessageBox::Critical;
    case Question:
        return QMessageBox::Question;
    case Warning:
        return QMessageBox::Warning;
    case Information:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}

QList<QMessageBox::StandardButton> QtDialogSeam::buttonsFor(int flags)
{
    switch (flags & ButtonMask) {
    case OkCancel:
        return {QMessageBox::Ok, QMessageBox::Cancel};
    case AbortRetryIgnore:
        return {QMessageBox::Abort, QMessageBox::Retry, QMessageBox::Ignore};
    case YesNoCancel:
        return {QMessageBox::Yes, QMessageBox::No, QMessageBox::Cancel};
    case YesNo:
        return {QMessageBox::Yes, QMessageBox::No};
    case RetryCancel:
        return {QMessageBox::Retry, QMessageBox::Cancel};
    default:
        return {QMessageBox::Ok};
    }
}

QMessageBox::StandardButton QtDialogSeam::defaultButtonFor(int flags)
{
    const QList<QMessageBox::StandardButton> buttons = buttonsFor(flags);
    const int index = (flags & DefaultButtonMask) >> 8;
    return index < buttons.size() ? buttons.at(index) : buttons.first();
}

QMessageBox::StandardButton QtDialogSeam::escapeButtonFor(int flags)
{
    const QList<QMessageBox::StandardButton> buttons = buttonsFor(flags);
    return buttons.contains(QMessageBox::Cancel) ? QMessageBox::Cancel : buttons.last();
}

int QtDialogSeam::answerFor(QMessageBox::StandardButton button)
{
    switch (button) {
    case QMessageBox::Ok:
        return Ok;
    case QMessageBox::Abort:
        return Abort;
    case QMessageBox::Retry:
        return Retry;
    case QMessageBox::Ignore:
        return Ignore;
    case QMessageBox::Yes:
        return Yes;
    case QMessageBox::No:
        return No;
    default:
        return Cancel;
    }
}

} // namespace sheetsmith
