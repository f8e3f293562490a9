#pragma once

#include <QPointer>
#include <QString>
#include <QStringList>
#include <QWidget>

namespace sheetsmith {

// The standard open, save and colour dialogs behind one property bag: the caller sets
// properties, calls a Show method, and reads the results back. A cancelled dialog
// leaves cdlError "Cancel" and the result properties as they were. Properties keep
// their values between calls, so each window keeps one instance for its life.
//
// The dialogs run through DialogSeam::current(), so tests script them.
//
// Only the open, save and colour dialogs exist here. The shell's shut-down, restart,
// run, drive-format, icon, folder, object-properties, About, help, font, printer and
// find-files dialogs have no counterpart on this platform and nothing in the editor
// uses them, so they are not built; Action values that would run them do nothing.
class CdlgEx
{
public:
    // File-dialog flag bits that mean a hook procedure or a custom template; there is
    // nothing to hook here, so they are always cleared.
    static constexpr int FileHookFlags = 32 | 64 | 128;
    // Hides the read-only check box; Qt's dialogs have none, so it changes nothing.
    static constexpr int HideReadOnly = 4;
    // Colour-dialog flags; only the four lowest bits are passed on.
    static constexpr int ColourFlagMask = 0x0F;
    static constexpr int ColourRgbInit = 1;  // start from RGBResult (otherwise black)
    static constexpr int ColourFullOpen = 2; // open the full editor (Qt's always is)

    // Runs a dialog: 1 ShowOpen, 2 ShowSave, 3 ShowColor; any other value does nothing.
    void setAction(int action);

    QString cdlError() const { return m_cdlError; }
    void setCdlError(const QString &vData) { m_cdlError = vData; }
    // Kept for callers that set it; cancellation is always reported through cdlError.
    bool CancelError() const { return m_cancelError; }
    void setCancelError(bool vData) { m_cancelError = vData; }
    QWidget *hOwner() const { return m_owner; }
    void setHOwner(QWidget *New_hOwner) { m_owner = New_hOwner; }
    int Flags() const { return m_flags; }
    void setFlags(int New_Flags) { m_flags = New_Flags; }
    QString DialogTitle() const { return m_dialogTitle; }
    void setDialogTitle(const QString &sTitle) { m_dialogTitle = sTitle; }
    QString DefaultExt() const { return m_defaultExt; }
    void setDefaultExt(const QString &sDefExt) { m_defaultExt = sDefExt; }
    QString FileName() const { return m_fileName; }
    void setFileName(const QString &sFileName) { m_fileName = sFileName; }
    QString FileTitle() const { return m_fileTitle; }
    void setFileTitle(const QString &sTitle) { m_fileTitle = sTitle; }
    QString Filter() const { return m_filter; }
    void setFilter(const QString &sFilter) { m_filter = sFilter; }
    // 1-based index of the filter pair shown first.
    int FilterIndex() const { return m_filterIndex; }
    void setFilterIndex(int lIndex) { m_filterIndex = lIndex; }
    QString InitDir() const { return m_initDir; }
    void setInitDir(const QString &sDir) { m_initDir = sDir; }
    int IconSize() const { return m_iconSize; }
    // 16 or 32; any other size becomes 32.
    void setIconSize(int nSize) { m_iconSize = (nSize == 16 || nSize == 32) ? nSize : 32; }
    // A colour number, R + 256 * G + 65536 * B.
    int RGBResult() const { return m_rgbResult; }
    void setRGBResult(int lValue) { m_rgbResult = lValue; }

    void ShowOpen();
    void ShowSave();
    void ShowColor();

    // "Description|*.a;*.b|..." as Qt name filters ("Description (*.a *.b)"). A pair
    // without a pattern is dropped; "*.*" becomes "*", since files here need not have
    // an extension.
    static QStringList toNameFilters(const QString &filter);
    // The index in toNameFilters(filter) of the 1-based pair index; 0 when the index
    // names no pair.
    static int nameFilterIndex(const QString &filter, int filterIndex);
    // The folder a file dialog starts in: InitDir when set; otherwise the folder of a
    // FileName that holds a path to an existing folder (the file chosen last time),
    // else the program's own folder.
    static QString startFolder(const QString &fileName, const QString &initDir);
    // A saved name gets the default extension when the user typed none.
    static QString withDefaultExtension(const QString &path, const QString &defaultExt);

private:
    void showFileDialog(bool save);

    QString m_cdlError;
    bool m_cancelError = false;
    QPointer<QWidget> m_owner;
    int m_flags = 0;
    QString m_dialogTitle;
    QString m_defaultExt;
    QString m_fileName;
    QString m_fileTitle;
    QString m_filter;
    int m_filterIndex = 0;
    QString m_initDir;
    int m_iconSize = 32;
    int m_rgbResult = 0;
};

} // namespace sheetsmith
