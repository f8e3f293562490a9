#pragma once

#include "text/documentfile.h"

#include <QObject>
#include <QString>

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

    // The untitled document of a fresh start: the editor's text counts as saved.
    void startUntitled();
    // Reads the file first; only when it could be read does it become the document:
    // tabs become blanks, the text goes into the editor coloured, and the file joins
    // the recent list. False, after telling the author, when it could not be read.
    bool open(const QString &title, const QString &path);
    // The document named on the program's command line: the command line with its
    // double quotes removed, a relative path read from the folder the program was
    // started in. It opens from the event loop, after the events already waiting (a
    // window just shown takes its size by one). An empty command line opens nothing.
    void openCommandLine(const QString &commandLine);
    // The File menu's Open: the open dialog, then open().
    void openWithDialog();
    // Recent entry 1 to 4; a file that has gone is told and leaves the list.
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

signals:
    void titleChanged();
    void recentChanged();
    // A new text was put into the editor by open().
    void textLoaded();

private:
    int askSaveChanges();
    bool write(const QString &path, const QString &title);
    void setIdentity(const QString &title, const QString &path);

    RichEdit &m_editor;
    Colouriser &m_colouriser;
    SettingsStore &m_settings;
    RecentFiles &m_recent;
    CdlgEx &m_fileDialog;
    QWidget *m_owner;

    QString m_title = QStringLiteral("Untitled");
    QString m_path;
    QString m_savedText;
    FileFormat m_format;
};

} // namespace sheetsmith
