#include "app/sheetdocument.h"

#include "dialogs/busyscope.h"

#include "app/memoryuse.h"
#include "app/recentfiles.h"
#include "dialogs/cdlgex.h"
#include "dialogs/dialogseam.h"
#include "editor/colouring.h"
#include "editor/richedit.h"
#include "settings/settingsstore.h"
#include "text/tabs.h"

#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QLabel>
#include <QTextDocument>

#include <utility>

namespace sheetsmith {

namespace {

const QString kStyleSheetFilter = QStringLiteral(
    "Cascading Style Sheet (.css)|*.css|Text Files (.txt)|*.txt|All Files (*.*)|*.*");

} // namespace

SheetDocument::SheetDocument(RichEdit &editor, Colouriser &colouriser, SettingsStore &settings, RecentFiles &recent,
                             CdlgEx &fileDialog, QWidget *owner)
    : QObject(owner)
    , m_editor(editor)
    , m_colouriser(colouriser)
    , m_settings(settings)
    , m_recent(recent)
    , m_fileDialog(fileDialog)
    , m_owner(owner)
{
    if (m_owner)
        m_owner->installEventFilter(this);
}

SheetDocument::~SheetDocument() = default;

void SheetDocument::setIdentity(const QString &title, const QString &path)
{
    m_title = title;
    m_path = path;
    emit titleChanged();
}

bool SheetDocument::isModified() const
{
    return m_editor.text() != m_savedText;
}

QString SheetDocument::expandTabs(const QString &text) const
{
    return ExpandTabs(text, m_settings.editorSettings().tabWidth);
}

void SheetDocument::startUntitled()
{
    setIdentity(QStringLiteral("Untitled"), QString());
    m_savedText = m_editor.text();
}

bool SheetDocument::open(const QString &title, const QString &path)
{
    const BusyScope busy(m_statusPanel, QStringLiteral("Opening ") + title + QStringLiteral("..."));
    // The file is read before anything of the open document changes, so a file that
    // cannot be read leaves the author's text exactly as it was.
    ReadResult file = readDocumentFile(path);
    if (!file.ok) {
        MsgBox(m_owner, file.error, DialogSeam::Critical);
        return false;
    }
    m_colouriser.BuildColourTable();

    m_format = file.format;
    m_disk = file.disk;
    m_recent.addRecentFile(title, path);
    emit recentChanged();
    setIdentity(title, path);

    // The text goes into the editor already coloured, in one assignment. The file's
    // text is handed on, not kept: a large sheet is held once, by the editor.
    m_colouriser.ColourNewText(m_editor, expandTabs(std::exchange(file.text, QString())));
    // A sheet read in starts its own history, also when it holds the very text the
    // editor had (which the editor then keeps, with the history of the other sheet).
    m_editor.document()->clearUndoRedoStacks();
    releaseFreedMemory();
    m_savedText = m_editor.text();
    emit textLoaded();
    emit editsSettled();
    return true;
}

void SheetDocument::restore(const QString &title, const QString &path, const FileFormat &format,
                            const QString &text)
{
    // What the sheet's file holds now is the text the restored one counts as changed
    // from; a sheet never saved, or whose file has gone, is compared with nothing.
    const ReadResult file = path.isEmpty() ? ReadResult() : readDocumentFile(path);
    m_colouriser.BuildColourTable();
    m_format = format;
    m_disk = file.ok ? file.disk : DiskState();
    setIdentity(title, path);
    m_colouriser.ColourNewText(m_editor, text);
    m_savedText = file.ok ? expandTabs(file.text) : QString();
    emit textLoaded();
    emit restored();
}

void SheetDocument::setStatusPanel(QLabel *panel)
{
    m_statusPanel = panel;
}

void SheetDocument::openCommandLine(const QString &commandLine)
{
    if (commandLine.isEmpty())
        return;
    QString path = commandLine;
    path.remove(QLatin1Char('"'));
    // The document is shown and remembered by its full path.
    path = QFileInfo(path).absoluteFilePath();
    open(QFileInfo(path).fileName(), path);
}

void SheetDocument::openWithDialog()
{
    // Another sheet takes the editor's place: unsaved edits are offered for saving
    // first, and Cancel opens nothing.
    if (!askToSave())
        return;
    m_fileDialog.setFilter(kStyleSheetFilter);
    m_fileDialog.setFlags(CdlgEx::HideReadOnly);
    m_fileDialog.setHOwner(m_owner);
    m_fileDialog.ShowOpen();
    if (m_fileDialog.cdlError() == QLatin1String("Cancel"))
        return;
    open(m_fileDialog.FileTitle(), m_fileDialog.FileName());
}

void SheetDocument::openRecent(int entry)
{
    const RecentFiles::Entry e = m_recent.entry(entry);
    const QFileInfo info(e.tag);
    if (!e.tag.isEmpty() && info.exists() && info.isFile()) {
        if (askToSave())
            open(e.caption, e.tag);
        return;
    }
    MsgBox(m_owner, QStringLiteral("File not found!"), DialogSeam::Critical);
    m_recent.removeEntry(entry);
    emit recentChanged();
}

int SheetDocument::askSaveChanges()
{
    return MsgBox(m_owner, QStringLiteral("Saves Changes to ") + m_title + QStringLiteral("?"),
                  DialogSeam::YesNoCancel | DialogSeam::Question);
}

void SheetDocument::newDocument()
{
    const int answer = askSaveChanges();
    if (answer == DialogSeam::Cancel)
        return;
    // A Yes whose save is abandoned or fails keeps the document: clearing it would
    // throw the author's text away unsaved.
    if (answer == DialogSeam::Yes && !save())
        return;
    m_editor.setText(QString());
    releaseFreedMemory();
    m_format = FileFormat();
    m_disk = DiskState();
    setIdentity(QStringLiteral("Untitled"), QString());
    emit editsSettled();
}

bool SheetDocument::askToSave()
{
    if (m_editor.text() == m_savedText)
        return true;
    const int answer = askSaveChanges();
    if (answer == DialogSeam::Cancel)
        return false;
    if (answer == DialogSeam::Yes)
        return save(); // an abandoned or failed save keeps the window open
    return true;
}

bool SheetDocument::save()
{
    if (m_path.isEmpty())
        return saveAs();
    return write(m_path, m_title);
}

bool SheetDocument::saveAs()
{
    m_fileDialog.setFilter(kStyleSheetFilter);
    m_fileDialog.setFlags(2 | CdlgEx::HideReadOnly); // ask before overwriting
    m_fileDialog.setDefaultExt(QStringLiteral("css"));
    m_fileDialog.setHOwner(m_owner);
    if (!m_path.isEmpty())
        m_fileDialog.setFileName(m_path);
    m_fileDialog.ShowSave();
    if (m_fileDialog.cdlError() == QLatin1String("Cancel"))
        return false;
    const QString path = m_fileDialog.FileName();
    const QString title =
        m_fileDialog.FileTitle().isEmpty() ? QFileInfo(path).fileName() : m_fileDialog.FileTitle();
    return write(path, title);
}

bool SheetDocument::confirmWriteOverDisk(const QString &path, const QString &title)
{
    if (path != m_path)
        return true;
    switch (m_disk.compare(path)) {
    case DiskState::Change::Unchanged:
    case DiskState::Change::NotAFile: // the write fails and says what stands there
        return true;
    case DiskState::Change::Changed:
        return MsgBox(m_owner,
                      title + QStringLiteral(" has been changed by another program since it was opened. "
                                             "Overwrite it?"),
                      DialogSeam::YesNo | DialogSeam::Warning | DialogSeam::DefaultButton2)
            == DialogSeam::Yes;
    case DiskState::Change::Removed:
        return MsgBox(m_owner,
                      title + QStringLiteral(" has been deleted or moved by another program since it was "
                                             "opened. Save it again as \"%1\"?")
                                  .arg(QDir::toNativeSeparators(path)),
                      DialogSeam::YesNo | DialogSeam::Question)
            == DialogSeam::Yes;
    }
    return true;
}

bool SheetDocument::write(const QString &path, const QString &title)
{
    if (!confirmWriteOverDisk(path, title))
        return false; // nothing written: the document stays changed, the file as it is
    const QString text = m_editor.text();
    const WriteResult result = writeDocumentFile(path, text, m_format);
    if (!result.ok) {
        MsgBox(m_owner, result.error, DialogSeam::Critical);
        return false;
    }
    if (result.encodingChanged)
        MsgBox(m_owner,
               title + QStringLiteral(" holds characters that Windows-1252 cannot store, so it was saved as UTF-8."),
               DialogSeam::Information);
    m_format = result.formatUsed;
    m_disk = result.disk;
    m_savedText = text;
    if (path != m_path || title != m_title)
        setIdentity(title, path);
    m_recent.addRecentFile(m_title, m_path);
    emit recentChanged();
    emit editsSettled();
    return true;
}

bool SheetDocument::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_owner && event->type() == QEvent::WindowActivate)
        offerReloadIfChangedOnDisk();
    return QObject::eventFilter(watched, event);
}

void SheetDocument::offerReloadIfChangedOnDisk()
{
    // The question itself takes the activation away and gives it back.
    if (m_offeringReload || m_path.isEmpty() || m_disk.compare(m_path) != DiskState::Change::Changed)
        return;
    // Edits here are not thrown away for the file's new content; Save asks about it.
    if (isModified())
        return;
    const DiskState now = DiskState::current(m_path);
    if (!now.isKnown() || now == m_reloadOffered)
        return;
    m_reloadOffered = now;
    m_offeringReload = true;
    const int answer = MsgBox(m_owner,
                              m_title + QStringLiteral(" has been changed by another program. Reload it?"),
                              DialogSeam::YesNo | DialogSeam::Question);
    m_offeringReload = false;
    if (answer == DialogSeam::Yes)
        open(m_title, m_path);
}

} // namespace sheetsmith
