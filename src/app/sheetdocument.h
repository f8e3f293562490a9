#pragma once

#include "text/documentfile.h"

#include <QObject>
#include <QPointer>
#include <QString>

class QLabel;
class QWidget;

namespace sheetsmith {

class CdlgEx;
class Colouriser;
class RecentFiles;
class RichEdit;
class SettingsStore;

// The open style sheet: its title and path, the format its file was read in, and the
// text as last opened or saved, against which "changed" is decided. New, Open, Save,
// Save As and the question before throwing edits away all live here; the main window
// only shows what changed (titleChanged, recentChanged) and rebuilds its views of the
// text when a new one is loaded (textLoaded).
//
// A file that cannot be read, and a save that fails or is abandoned, change nothing:
// the author's text stays in the editor as it was, and the author is told why.
//
// The state of the file on disk is kept from the last read or write, so that a file
// changed by another program is never overwritten without asking, and is offered for
// reloading when the window becomes active again while nothing here is unsaved.
class SheetDocument : public QObject
{
    Q_OBJECT

public:
    SheetDocument(RichEdit &editor, Colouriser &colouriser, SettingsStore &settings, RecentFiles &recent,
                  CdlgEx &fileDialog, QWidget *owner);
    ~SheetDocument() override;

    QString title() const { return m_title; }
    QString path() const { return m_path; }
    QString savedText() const { return m_savedText; }
    FileFormat format() const { return m_format; }
    // The editor's text differs from the text last opened or saved.
    bool isModified() const;

    // The untitled document of a fresh start: the editor's text counts as saved.
    void startUntitled();
    // Reads the file first; only when it could be read does it become the document:
    // tabs become blanks, the text goes into the editor coloured, and the file joins
    // the recent list. False, after telling the author, when it could not be read.
    bool open(const QString &title, const QString &path);
    // The document named on the program's command line: the command line with its
    // double quotes removed, a relative path read from the folder the program was
    // started in. An empty command line opens nothing.
    void openCommandLine(const QString &commandLine);
    // The status panel that says "Opening NAME..." while a sheet is read.
    void setStatusPanel(QLabel *panel);
    // The File menu's Open: unsaved edits offered for saving (askToSave), the open
    // dialog, then open().
    void openWithDialog();
    // Recent entry 1 to 4, after askToSave; a file that has gone is told and leaves
    // the list.
    void openRecent(int entry);
    // Asks whether to save (always, even when nothing changed), then empties the editor
    // as an untitled document. Cancel, or a Yes whose save does not happen, keeps all.
    void newDocument();
    // Saves to the document's file; an untitled document asks for a name first.
    bool save();
    bool saveAs();
    // Before edits would be lost (closing): true when the caller may go on, because the
    // text is unchanged, the author said No, or said Yes and the save succeeded.
    bool askToSave();

    // Puts back text that was being edited when the program ended unexpectedly, as an
    // edited document with that title, path and file format. The sheet's file is only
    // read, to serve as what the text is compared with (empty when there is none), so
    // the document counts as changed and nothing is written until the author saves.
    void restore(const QString &title, const QString &path, const FileFormat &format, const QString &text);

    // When the document's file was changed by another program and nothing here is
    // unsaved, offers to read it again; each change is offered once. The window's
    // activation calls this.
    void offerReloadIfChangedOnDisk();

signals:
    void titleChanged();
    void recentChanged();
    // A new text was put into the editor by open() or restore().
    void textLoaded();
    // The editor holds nothing that is not in the document's file, or nothing the
    // author wants kept: after an open, a save, or New.
    void editsSettled();
    // restore() put text back that is not saved anywhere.
    void restored();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    int askSaveChanges();
    bool write(const QString &path, const QString &title);
    // Before writing over the document's own file: true when it may be written, asking
    // the author first when another program has changed or removed it.
    bool confirmWriteOverDisk(const QString &path, const QString &title);
    QString expandTabs(const QString &text) const;
    void setIdentity(const QString &title, const QString &path);

    RichEdit &m_editor;
    Colouriser &m_colouriser;
    SettingsStore &m_settings;
    RecentFiles &m_recent;
    CdlgEx &m_fileDialog;
    QWidget *m_owner;
    QPointer<QLabel> m_statusPanel;

    QString m_title = QStringLiteral("Untitled");
    QString m_path;
    QString m_savedText;
    FileFormat m_format;
    DiskState m_disk;
    // The change of the file last offered for reloading, so it is offered only once.
    DiskState m_reloadOffered;
    bool m_offeringReload = false;
};

} // namespace sheetsmith
