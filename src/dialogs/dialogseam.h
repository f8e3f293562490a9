#pragma once

#include <QColor>
#include <QString>
#include <QStringList>

class QWidget;

namespace sheetsmith {

// What a file dialog is asked to show, and what the user chose.
struct FileDialogRequest
{
    QWidget *owner = nullptr;
    QString title;           // empty: the dialog's own title
    QString directory;       // folder to start in
    QString initialFile;     // name put in the file-name box, without folder
    QStringList nameFilters; // Qt name filters, "Description (*.a *.b)"
    int filterIndex = 0;     // 0-based; in: preselected filter, out: the filter in use
    QString defaultSuffix;   // without the dot; added by a save dialog to a bare name
    int flags = 0;           // the caller's flag bits, for the record
    QString selectedFile;    // out: the chosen file's full path
};

// What a colour dialog is asked to show, and what the user chose.
struct ColourDialogRequest
{
    QWidget *owner = nullptr;
    QColor colour; // in: the colour to start from; out: the chosen colour
    int flags = 0; // the caller's flag bits, for the record
};

// The one way to modal interaction: message boxes and the standard file and colour
// dialogs. The program asks current(); tests install a scripted seam with
// ScopedDialogSeam so that nothing ever waits for a user.
class DialogSeam
{
public:
    // Message-box flags: one button set plus one icon, optionally a default button.
    enum MessageFlag : int {
        OkOnly = 0,
        OkCancel = 1,
        AbortRetryIgnore = 2,
        YesNoCancel = 3,
        YesNo = 4,
        RetryCancel = 5,
        Critical = 16,
        Question = 32,
        Warning = 48,
        Information = 64,
        DefaultButton2 = 256,
        DefaultButton3 = 512,
    };
    static constexpr int ButtonMask = 0x0F;
    static constexpr int IconMask = 0x70;
    static constexpr int DefaultButtonMask = 0x300;

    // What message() returns: the button that closed the box.
    enum Answer : int {
        Ok = 1,
        Cancel = 2,
        Abort = 3,
        Retry = 4,
        Ignore = 5,
        Yes = 6,
        No = 7,
    };

    virtual ~DialogSeam();

    virtual int message(QWidget *owner, const QString &text, int flags, const QString &title) = 0;
    // Each returns true when the user accepted, and then fills in the request's results.
    virtual bool openFile(FileDialogRequest &request) = 0;
    virtual bool saveFile(FileDialogRequest &request) = 0;
    virtual bool chooseColour(ColourDialogRequest &request) = 0;

    // The installed seam, or the one showing Qt's dialogs.
    static DialogSeam &current();

protected:
    DialogSeam() = default;

private:
    friend class ScopedDialogSeam;
    static DialogSeam *s_installed;
};

// A message box titled with the application title; returns the Answer.
int MsgBox(QWidget *owner, const QString &text, int flags);

} // namespace sheetsmith
