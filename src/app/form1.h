#pragma once

#include "app/documentfile.h"
#include "app/panelayout.h"
#include "app/recentfiles.h"
#include "blocks/root.h"
#include "editor/colouring.h"
#include "inspector/catalogue.h"

#include <QMainWindow>
#include <QPointer>
#include <array>
#include <memory>

class QAction;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QMenu;
class QDragMoveEvent;
class QDropEvent;
class QKeyEvent;
class QModelIndex;
class QMouseEvent;
class QPlainTextEdit;
class QPushButton;
class QStatusBar;
class QToolBar;
class QTreeWidget;

namespace sheetsmith {

class CdlgEx;
class EditCommands;
class PropertyInspector;
class RichEdit;
class SelectorTree;
class FrmPreview;
class SettingsStore;

// The main window: menus, the two toolbars, the selector and property panes on the
// left, the style-sheet editor on the right and the status bar. It owns the open
// document and wires the controls to the commands; the rules of those commands live
// in their own classes (documents, recent files, layout).
class Form1 : public QMainWindow
{
    Q_OBJECT

public:
    explicit Form1(SettingsStore &settings, QWidget *parent = nullptr);
    ~Form1() override;

    // The start-up sequence: settings, recent files, tree groups, untitled document,
    // editor font, placement, and the document named on the command line (empty when
    // none). Call once, before showWindow(). Returns false, after telling the author
    // why, when the program cannot run (its property catalogue is missing or damaged);
    // the window must then not be shown.
    bool startUp(const QString &commandLine);
    // The catalogue file read at start-up; found beside the program unless set.
    void setCatalogueFile(const QString &path) { m_catalogueFile = path; }
    // Shows the window maximised or at its restored placement, as start-up decided.
    void showWindow();

    // Documents.
    void New();
    void Open();
    bool Save();
    bool SaveAs();
    void openRecent(int entry); // 1 to 4
    bool OpenDocument(const QString &title, const QString &path);

    // Rebuilds the block list from the editor's text, and the tree from the blocks.
    void RefreshMe();
    void FillTree();

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

    // Caret tracking: runs on every selection change of the editor. When the caret has
    // moved to another line (no selection, not during a program-made change) it catches
    // up with the line left: recolours it, loads the property values of the block at
    // the caret and rebuilds the blocks and the tree. Always updates the status bar.
    void onMainTextSelChange();
    int PrevLine() const { return m_prevLine; }
    QString caretStatusText() const;

    QString DocTitle() const { return m_docTitle; }
    QString DocPath() const { return m_docPath; }
    QString SavedText() const { return m_savedText; }
    RichEdit *MainText() const { return m_mainText; }
    const RecentFiles &recentFiles() const { return m_recent; }
    const Catalogue &catalogue() const { return m_catalogue; }
    const PaneGeometry &paneGeometry() const { return m_geometry; }
    float splitRatio() const { return m_splitRatio; }
    QLabel *Lbl3() const { return m_lbl3; }
    const Root &Blocks() const { return m_blocks; }
    SelectorTree *Tv() const { return m_tv; }

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildMenus();
    void buildMainToolbar();
    void buildLeftPane();
    void buildRightPane();
    void buildStatusBar();
    void onMainToolbarButton(const QString &key);
    void onSelectorToolbarButton(const QString &key);
    void showDocumentTitle();
    void refreshRecentMenu();
    void applyEditorSettings();
    void restorePlacement();
    void savePlacement();
    void deletePreviewCopies();
    bool askToSave(); // true when the caller may go on (No, or Yes and saved)
    // Writes the editor's text to path; on success the document is that file, shown
    // by title. A failure is reported and changes nothing.
    bool writeDocument(const QString &path, const QString &title);
    void applyGeometry();
    void catchUp();
    enum class EditCommand { Cut, Copy, Paste, SelectAll, Find, Indent, Unindent, Comment, NextBlock, PreviousBlock };
    void runCommand(EditCommand which);
    void onMainTextKeyDown(QKeyEvent *event, bool *consumed);
    void onMainTextMouseUp(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPoint position);
    void onMainTextDragOver(QDragMoveEvent *event, bool *handled);
    void onMainTextDrop(QDropEvent *event, bool *handled);
    void placePanel(QFrame *panel);
    void openPanel(QFrame *panel);
    void commitPanel(QFrame *panel);
    void newFromTree();
    void deleteSelector();
    void renameSelector(int node, const QString &text);
    void jumpToNode(const QModelIndex &index);
    void treeMouseReleased(QMouseEvent *event);
    void loadValueColumn(qsizetype currentBlock);
    int twipsToPxX(float twips) const;
    int twipsToPxY(float twips) const;
    float pxToTwipsX(int px) const;
    float pxToTwipsY(int px) const;

    SettingsStore &m_settings;
    std::unique_ptr<CdlgEx> m_fileDialog;
    RecentFiles m_recent;

    // The open document.
    QString m_docTitle;
    QString m_docPath;
    QString m_savedText;
    FileFormat m_format;

    // Layout.
    PaneGeometry m_geometry;
    float m_splitRatio = 0.32f;
    bool m_splitterDragging = false;
    bool m_startMaximised = true;
    QRect m_restoredGeometry;

    // Controls (all owned by their Qt parents).
    QWidget *m_surface = nullptr;
    QToolBar *m_tbM = nullptr;
    QFrame *m_frame1 = nullptr;
    QFrame *m_frame2 = nullptr;
    QLabel *m_lbl1 = nullptr;
    QLabel *m_lbl2 = nullptr;
    QLabel *m_lbl3 = nullptr;
    QToolBar *m_tbP = nullptr;
    SelectorTree *m_tv = nullptr;
    QTreeWidget *m_lstP = nullptr;
    QPlainTextEdit *m_txtInfo = nullptr;
    QFrame *m_frElement = nullptr;
    QFrame *m_frClass = nullptr;
    QFrame *m_frID = nullptr;
    QComboBox *m_comNE = nullptr;
    QLineEdit *m_txtNC = nullptr;
    QLineEdit *m_txtNI = nullptr;
    QAction *m_tbPDelete = nullptr;
    QAction *m_mTDelete = nullptr;
    QAction *m_mTrename = nullptr;
    RichEdit *m_mainText = nullptr;
    QStatusBar *m_stBar = nullptr;
    QLabel *m_panel1 = nullptr;
    QLabel *m_panel2 = nullptr;
    QMenu *m_mTree = nullptr;
    QMenu *m_mEdit = nullptr;
    std::unique_ptr<EditCommands> m_commands;
    PropertyInspector *m_inspector = nullptr; // a child of the property list
    std::array<QAction *, 4> m_mRecent{};
    std::array<QAction *, 10> m_mPreview{};
    QPointer<FrmPreview> m_preview; // deletes itself when closed

    QStringList m_elementNames;
    QString m_catalogueFile;
    Catalogue m_catalogue;
    Root m_blocks;
    Colouriser m_colouriser;
    int m_prevLine = 1;
    int m_curLine = 1;
};

} // namespace sheetsmith
