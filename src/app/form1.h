#pragma once

#include "app/carettracker.h"
#include "app/mainmenus.h"
#include "app/mainpanes.h"
#include "app/panelayout.h"
#include "app/recentfiles.h"
#include "app/sheetdocument.h"
#include "app/windowplacement.h"
#include "dialogs/twips.h"
#include "editor/colouring.h"
#include "inspector/catalogue.h"

#include <QHash>
#include <QMainWindow>
#include <QPointer>
#include <functional>
#include <memory>

class QLabel;

namespace sheetsmith {

class CdlgEx;
class CheckSchedule;
class CommandActions;
class EditCommands;
class EditorCompleter;
class EditorInput;
class FrmPreview;
class PropertyInspector;
class SelectorTreeCommands;
class SettingsStore;

// The main window: menus, the two toolbars, the selector and property panes on the
// left, the style-sheet editor on the right and the status bar. It builds the
// controls (mainpanes, mainmenus) and wires them to the objects that do the work: the
// open document (SheetDocument), caret tracking (CaretTracker), the selector tree's
// commands, the editor's own input rules, the property inspector, the preview window
// and its pick (PickedRule). Every menu entry and toolbar button runs a command by its
// key from one table.
class Form1 : public QMainWindow
{
    Q_OBJECT

public:
    explicit Form1(SettingsStore &settings, QWidget *parent = nullptr);
    ~Form1() override;

    // The start-up sequence: settings, recent files, tree groups, untitled document,
    // editor font, placement, and the document named on the command line (empty when
    // none), which showWindow() opens. Call once, before showWindow(). Returns false,
    // after telling the author why, when the program cannot run (its property
    // catalogue is missing or damaged); the window must then not be shown.
    bool startUp(const QString &commandLine);
    // The catalogue file read at start-up; found beside the program unless set.
    void setCatalogueFile(const QString &path) { m_catalogueFile = path; }
    // Shows the window maximised or at its restored placement, as start-up decided;
    // the document named on the command line opens from the event loop right after,
    // once the window has been painted, and startedUp() follows. The keyboard focus is
    // then in the sheet.
    void showWindow();

    // Runs the command of a menu entry or toolbar button by its key ("New", "Cut",
    // "NextBlock", "Test1", "NElement", ...); an unknown key or a disabled command does
    // nothing.
    void runCommand(const QString &key);
    const CommandActions &commands() const { return *m_commands; }

    // Documents.
    SheetDocument &document() { return *m_document; }
    void New() { m_document->newDocument(); }
    void Open() { m_document->openWithDialog(); }
    bool Save() { return m_document->save(); }
    bool SaveAs() { return m_document->saveAs(); }
    void openRecent(int entry) { m_document->openRecent(entry); }
    bool OpenDocument(const QString &title, const QString &path) { return m_document->open(title, path); }
    QString DocTitle() const { return m_document->title(); }
    QString DocPath() const { return m_document->path(); }
    QString SavedText() const { return m_document->savedText(); }

    // Rebuilds the block list from the editor's text, and the tree from the blocks.
    void RefreshMe() { m_tracker->RefreshMe(); }
    void FillTree() { m_tracker->FillTree(); }

    // Lists the configured browsers in the Tools menu, from the settings store.
    void RefreshBrowserMenu();
    // Shows the composed preview page in configured browser index (1 to 10).
    void PreviewWithBrowser(int index);

    // The preview window: loads it when it is not loaded (without showing it).
    FrmPreview *loadPreview();
    // The loaded preview window, or nullptr.
    FrmPreview *preview() const;
    // Hides a visible preview window, otherwise shows it, loading it first if needed.
    void showHidePreview();

    // Lays the two panes out for the current client size and splitter ratio.
    void LayoutPanes();

    // Caret tracking runs on every selection change of the editor (CaretTracker).
    void onMainTextSelChange() { m_tracker->onSelectionChanged(); }
    int PrevLine() const { return m_tracker->prevLine(); }
    QString caretStatusText() const;

    RichEdit *MainText() const { return m_ui.mainText; }
    const RecentFiles &recentFiles() const { return m_recent; }
    const Catalogue &catalogue() const { return m_catalogue; }
    const Colouriser &colouriser() const { return m_colouriser; }
    const PaneGeometry &paneGeometry() const { return m_geometry; }
    float splitRatio() const { return m_splitRatio; }
    QLabel *Lbl3() const { return m_ui.lbl3; }
    const Root &Blocks() const { return m_tracker->blocks(); }
    SelectorTree *Tv() const { return m_ui.tv; }

signals:
    // The start-up is over: the sheet named on the command line has opened (or could
    // not be), and the author's work begins.
    void startedUp();

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildDocument();
    void buildCommands();
    void buildEditorAids();
    void connectStatusBar();
    void buildProblems();
    void openStartSheet();
    void connectLivePreview();
    void showRuleAtCaret();
    void showDocumentTitle();
    void refreshRecentMenu();
    void applyEditorSettings();
    int twipsToPxX(float twips) const { return twipsToPx(twips, logicalDpiX()); }
    int twipsToPxY(float twips) const { return twipsToPx(twips, logicalDpiY()); }
    float pxToTwipsX(int px) const { return pxToTwips(px, logicalDpiX()); }
    float pxToTwipsY(int px) const { return pxToTwips(px, logicalDpiY()); }

    SettingsStore &m_settings;
    std::unique_ptr<CdlgEx> m_fileDialog;
    RecentFiles m_recent;
    Colouriser m_colouriser;
    WindowPlacement m_placement;
    CommandActions *m_commands = nullptr; // a child of this window

    // Layout.
    PaneGeometry m_geometry;
    float m_splitRatio = 0.32f;
    bool m_splitterDragging = false;

    // Controls (all owned by their Qt parents).
    QWidget *m_surface = nullptr;
    MainPanes m_ui;
    MainMenus m_menus;

    // The objects that do the work; Qt children of this window unless owned here.
    SheetDocument *m_document = nullptr;
    CaretTracker *m_tracker = nullptr;
    SelectorTreeCommands *m_treeCommands = nullptr;
    EditorCompleter *m_completer = nullptr;
    EditorInput *m_input = nullptr;
    CheckSchedule *m_problems = nullptr;
    std::unique_ptr<EditCommands> m_editCommands;
    PropertyInspector *m_inspector = nullptr; // a child of the property list
    QPointer<FrmPreview> m_preview;           // deletes itself when closed

    QString m_catalogueFile;
    Catalogue m_catalogue;
    QString m_commandLineSheet; // opened after showWindow()
};

} // namespace sheetsmith
