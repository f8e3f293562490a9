#pragma once

#include "dialogs/cdlgex.h"
#include "text/colourvalue.h"

#include <QDialog>
#include <QPointer>

#include <functional>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QStackedLayout;
class QTabBar;
class QWidget;

namespace sheetsmith {

class Colouriser;
class RichEdit;
class SettingsStore;

// The "Options" window (objectName "FrmOptions"): the editor's font, size, tab width,
// three syntax colours, completion, colour swatches and the check, and the list of outside browsers of the Tools menu. Modeless,
// owned by the main window, deleted when closed. Opening loads every control from the
// store; nothing takes effect until Apply, and closing any other way discards it all.
//
// Apply rewrites the editor's RTF (font name, size, colour-table entries) so that the
// open sheet shows the new look at once without a change of its text or undo history,
// stores the settings, gives the colouriser the stored colours for later line
// colouring, rebuilds the Tools menu through the callback, and closes the window.
class FrmOptions : public QDialog
{
    Q_OBJECT

public:
    enum BrowserFrameMode { FrameHidden, FrameAdding, FrameEditing };

    // statusPanel1 may be null (no status shown); refreshBrowserMenu may be empty.
    FrmOptions(SettingsStore &store, RichEdit &editor, Colouriser &colouriser,
               QLabel *statusPanel1, std::function<void()> refreshBrowserMenu,
               QWidget *owner = nullptr);
    ~FrmOptions() override;

    // Shows the one Options window, loading it on first use, and brings it forward.
    // An open window keeps its unapplied changes.
    static FrmOptions *showFor(QWidget *owner, SettingsStore &store, RichEdit &editor,
                               Colouriser &colouriser, QLabel *statusPanel1,
                               std::function<void()> refreshBrowserMenu);
    // The open window, or nullptr.
    static FrmOptions *instance();

    // The working colours, as the samples show them.
    ColourValue commentsColour() const;
    ColourValue bracketsColour() const;
    ColourValue selectorsColour() const;

    BrowserFrameMode browserFrameMode() const;

    // Applies and closes; returns false, changing nothing and keeping the window open,
    // when a typed value is refused (the author is told which).
    bool apply();

    // Shows or hides the editor's colour swatches as the store says (Editor/Swatches),
    // for the colour notations of the stored check level.
    static void applySwatchSettings(RichEdit &editor, const SettingsStore &store);

signals:
    // A progress text was put in the main window's first status panel.
    void statusShown(const QString &text);

private:
    enum ColourKind { Selectors = 0, Brackets = 1, Comments = 2 };

    void buildControls();
    void buildEditorPage();
    QGroupBox *buildColourGroup(QWidget *page);
    void buildPreviewPage();
    // The title of the browser frame while it adds a browser.
    static QString addCaption();
    void loadFromStore();
    void showPage(int index);
    void pickColour(ColourKind kind);
    void cmdAddClick();
    void cmdEditClick();
    void cmdDeleteClick();
    void cmdBrowseClick();
    void cmdAddOKClick();
    void showStatus(const QString &text);
    // Checks the typed values; tells the author about the first bad one.
    bool valuesAcceptable();
    void applyEditorLook();
    void storeBrowsers();

    static QWidget *sample(QWidget *parent, const QString &name, const QString &what);
    static void setSampleColour(QWidget *sample, ColourValue colour);
    static ColourValue sampleColour(const QWidget *sample);
    QWidget *sampleOf(ColourKind kind) const;

    static QPointer<FrmOptions> s_instance;

    SettingsStore &m_store;
    QPointer<RichEdit> m_editor;
    Colouriser &m_colouriser;
    QPointer<QLabel> m_statusPanel1;
    std::function<void()> m_refreshBrowserMenu;
    CdlgEx m_dialogs;

    // Controls, owned by this window as its children.
    QTabBar *m_tb = nullptr;
    QStackedLayout *m_pages = nullptr; // owned by the window's layout
    QWidget *m_frEditor = nullptr;
    QWidget *m_frPreview = nullptr;
    QComboBox *m_comFont = nullptr;
    QComboBox *m_comSize = nullptr;
    QLineEdit *m_txtTab = nullptr;
    QCheckBox *m_chkComplete = nullptr;
    QCheckBox *m_chkSwatches = nullptr;
    QCheckBox *m_chkCheck = nullptr;
    QComboBox *m_comCheckLevel = nullptr;
    QWidget *m_shpComments = nullptr;
    QWidget *m_shpBrackets = nullptr;
    QWidget *m_shpSelectors = nullptr;
    QListWidget *m_lstBrowsers = nullptr;
    QListWidget *m_lstlBrowsers = nullptr;
    QPushButton *m_cmdDelete = nullptr;
    QGroupBox *m_frAdd = nullptr;
    QLineEdit *m_txtName = nullptr;
    QLineEdit *m_txtPath = nullptr;
};

} // namespace sheetsmith
