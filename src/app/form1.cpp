#include "app/form1.h"

#include "app/commandactions.h"
#include "app/editmenucommands.h"
#include "app/editorcompleter.h"
#include "app/editorinput.h"
#include "app/icons.h"
#include "app/pickedrule.h"
#include "app/selectortreecommands.h"
#include "blocks/editcommands.h"
#include "blocks/newselectorpanels.h"
#include "blocks/selectorcommands.h"
#include "blocks/selectortree.h"
#include "check/checkschedule.h"
#include "check/hoverhelp.h"
#include "check/problemsdock.h"
#include "dialogs/busyscope.h"
#include "dialogs/cdlgex.h"
#include "dialogs/dialogseam.h"
#include "editor/richedit.h"
#include "editor/swatchpicker.h"
#include "inspector/propertyinspector.h"
#include "preview/browserpreview.h"
#include "preview/frmabout.h"
#include "preview/frmpreview.h"
#include "preview/pagenamesource.h"
#include "preview/weblinks.h"
#include "settings/frmoptions.h"
#include "settings/settingskeys.h"
#include "settings/settingsstore.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDockWidget>
#include <QEventLoop>
#include <QFileInfo>
#include <QLabel>
#include <QMenuBar>
#include <QMouseEvent>
#include <QTreeWidget>

#include <optional>
#include <utility>

namespace sheetsmith {

Form1::Form1(SettingsStore &settings, QWidget *parent)
    : QMainWindow(parent)
    , m_settings(settings)
    , m_fileDialog(std::make_unique<CdlgEx>())
{
    setObjectName(QStringLiteral("Form1"));
    m_surface = new QWidget(this);
    m_surface->setObjectName(QStringLiteral("Form1Surface"));
    m_surface->setCursor(Qt::SplitHCursor);
    m_surface->installEventFilter(this);
    setCentralWidget(m_surface);

    buildPanes(m_surface, m_ui);
    buildDocument();
    buildCommands();
    m_menus = buildMainMenus(*this, *m_commands);
    m_ui.toolbars = buildMainToolbars(m_ui.frame1, m_surface, *m_commands);
    m_treeCommands = new SelectorTreeCommands(*m_ui.tv, *m_ui.mainText, *m_tracker, *m_ui.panels,
                                              m_commands->action(QStringLiteral("Delete")), this);
    buildEditorAids();
    buildStatusBar(m_surface, m_ui);
    connectStatusBar();
    m_document->setStatusPanel(m_ui.panel1);
    // Selectors complete with the names used in the preview's pages.
    auto *pages = new PageNameSource([this] { return ListedPreviewPages(m_settings); }, m_completer);
    connect(pages, &PageNameSource::pageUnreadable, m_ui.panel1, &QLabel::setText);
    m_completer->setPageNames(pages);
    buildProblems();

    // Design size of the client area before any placement is restored.
    resize(twipsToPxX(10260), twipsToPxY(8550) + menuBar()->sizeHint().height());
}

Form1::~Form1()
{
    // The editor outlives this window's own members while Qt deletes the children; it
    // must not reach the handlers of a half-destroyed window.
    for (QObject *receiver :
         std::initializer_list<QObject *>{this, m_tracker, m_completer, m_input, m_inspector, m_problems}) {
        if (receiver)
            disconnect(m_ui.mainText, nullptr, receiver, nullptr);
    }
}

void Form1::buildDocument()
{
    m_document = new SheetDocument(*m_ui.mainText, m_colouriser, m_settings, m_recent, *m_fileDialog, this);
    connect(m_document, &SheetDocument::titleChanged, this, &Form1::showDocumentTitle);
    connect(m_document, &SheetDocument::recentChanged, this, &Form1::refreshRecentMenu);
    connect(m_document, &SheetDocument::textLoaded, this, [this] { m_tracker->refresh(); });
    m_tracker = new CaretTracker(*m_ui.mainText, m_colouriser, *m_ui.tv, this);
    connect(m_ui.mainText, &RichEdit::selChanged, m_tracker, &CaretTracker::onSelectionChanged);
    // With live preview on, edits reach the page and the rule at the caret is outlined.
    connect(m_ui.mainText, &RichEdit::textEdited, this, [this] {
        if (m_preview)
            m_preview->sheetChanged();
    });
    connect(m_ui.mainText, &RichEdit::selChanged, this, &Form1::showRuleAtCaret);
    m_editCommands = std::make_unique<EditCommands>(*m_ui.mainText, m_tracker->blocks(), m_colouriser);
    connect(m_ui.panels, &NewSelectorPanels::ruleRequested, this, [this](const QString &selector) {
        InsertRule(*m_ui.mainText, m_tracker->blocks(), selector);
        m_tracker->refresh();
        m_ui.mainText->setFocus();
    });
}

void Form1::buildEditorAids()
{
    // Made before the editor's own input rules, so that the keys of an open popup
    // reach it first.
    m_completer = new EditorCompleter(
        *m_ui.mainText, m_catalogue,
        [this] { return m_settings.read(keys::editor::Section, keys::editor::Complete) != QLatin1String("0"); }, this);
    m_input = new EditorInput(
        *m_ui.mainText, m_menus.edit, [this](const QString &key) { runCommand(key); },
        [this](const QString &path) {
            if (m_document->askToSave())
                OpenDocument(QFileInfo(path).fileName(), path);
        },
        this);
    new SwatchPicker(*m_ui.mainText, this); // a child of this window
    m_ui.mainText->setHoverHelp([this](qsizetype at) {
        return HoverHelpAt(m_ui.mainText->text(), m_ui.mainText->model().commentMarkers(), at, m_catalogue);
    });
}

// ---- Commands, menus and toolbars ----

void Form1::buildProblems()
{
    // The check follows the blocks; its dock lists what it finds, shown and hidden from
    // the Tools menu.
    m_problems = new CheckSchedule(*m_ui.mainText, m_settings, m_ui.panel1, this);
    connect(m_tracker, &CaretTracker::refreshed, m_problems, &CheckSchedule::check);
    const auto *dock = new ProblemsDock(*this, *m_problems, m_settings);
    if (auto *tools = menuBar()->findChild<QMenu *>(QStringLiteral("mTools")))
        tools->insertAction(tools->findChild<QAction *>(QStringLiteral("mSettings")), dock->dock()->toggleViewAction());
    m_input->setQuickFixes([this](qsizetype offset) -> std::optional<EditorInput::QuickFix> {
        const std::optional<CheckSchedule::Fix> fix = m_problems->fixAt(offset);
        if (!fix)
            return std::nullopt;
        return EditorInput::QuickFix{fix->caption, [this, fix = *fix] {
                                         m_problems->applyFix(fix);
                                         m_tracker->refresh();
                                     }};
    });
}

void Form1::buildCommands()
{
    m_commands = new CommandActions(this);
    m_commands->add({
        {"New", [this] { New(); }},
        {"Open", [this] { Open(); }},
        {"Save", [this] { Save(); }},
        {"SaveAs", [this] { SaveAs(); }},
        {"Exit", [this] { close(); }},
    });
    addEditMenuCommands(*m_commands, *m_editCommands, *m_ui.mainText, *m_tracker, m_settings, m_ui.panel1, this);
    m_commands->add({
        {"Test1", [this] { PreviewWithBrowser(1); }},
        {"Test2", [this] { PreviewWithBrowser(2); }},
        {"ShowPreview", [this] { showHidePreview(); }},
        {"Validate", [this] { WebLinks::ValidateWithW3C(this, m_ui.mainText->text()); }},
        {"Settings",
         [this] {
             FrmOptions::showFor(this, m_settings, *m_ui.mainText, m_colouriser, m_ui.panel1, [this] {
                 RefreshBrowserMenu();
                 m_problems->applySettings();
             });
         }},
        {"HomePage", [this] { WebLinks::OpenHomePage(this); }},
        {"Css1Reference", [this] { WebLinks::OpenCss1Reference(this); }},
        {"Report", [this] { WebLinks::ReportErrors(this); }},
        {"About", [this] { FrmAbout::showFor(this); }},
        {"Refresh", [this] { m_tracker->refresh(); }},
        {"NElement", [this] { m_ui.panels->open(NewSelectorPanels::Kind::Element); }},
        {"NClass", [this] { m_ui.panels->open(NewSelectorPanels::Kind::Class); }},
        {"NID", [this] { m_ui.panels->open(NewSelectorPanels::Kind::ID); }},
        {"Delete", [this] { m_treeCommands->deleteSelector(); }},
    });
    for (int i = 1; i <= 4; ++i)
        m_commands->add(QStringLiteral("Recent%1").arg(i), [this, i] { openRecent(i); });
    for (int i = 1; i <= 10; ++i)
        m_commands->add(QStringLiteral("Browser%1").arg(i), [this, i] { PreviewWithBrowser(i); });
}

void Form1::runCommand(const QString &key)
{
    m_commands->run(key);
}

// ---- Status bar ----

void Form1::connectStatusBar()
{
    connect(m_tracker, &CaretTracker::statusChanged, m_ui.panel2, &QLabel::setText);
    // While the completion popup shows a property, the first panel describes it; then
    // it says again what it said before.
    connect(m_completer, &EditorCompleter::described, m_ui.panel1, [this](const QString &text) {
        if (!text.isEmpty()) {
            if (!m_ui.panel1->property("describing").toBool())
                m_ui.panel1->setProperty("textBefore", m_ui.panel1->text());
            m_ui.panel1->setProperty("describing", true);
            m_ui.panel1->setText(text);
        } else if (m_ui.panel1->property("describing").toBool()) {
            m_ui.panel1->setProperty("describing", false);
            m_ui.panel1->setText(m_ui.panel1->property("textBefore").toString());
        }
    });
}

QString Form1::caretStatusText() const
{
    return m_ui.panel2->text();
}

// ---- Start-up and shut-down ----

bool Form1::startUp(const QString &commandLine)
{
    m_splitRatio = 0.32f;
    m_recent.loadRecentList(m_settings);
    refreshRecentMenu();

    const CatalogueResult loaded =
        LoadCatalogue(m_catalogueFile.isEmpty() ? catalogueFilePath() : m_catalogueFile);
    if (!loaded.ok) {
        MsgBox(this, loaded.error + QStringLiteral("\n\nSheetsmith cannot start without it."),
               DialogSeam::Critical);
        return false;
    }
    m_catalogue = loaded.catalogue;
    for (const QString &name : m_catalogue.PropName) {
        auto *row = new QTreeWidgetItem(m_ui.lstP, QStringList{name, QString()});
        row->setData(0, Qt::UserRole, name); // the row's key
    }
    // The value editors work on the rows just made; owned by the list.
    m_inspector = new PropertyInspector(m_ui.lstP, m_ui.txtInfo, *m_ui.mainText, m_catalogue, *m_fileDialog,
                                        [this] { return DocPath(); }, this);
    connect(m_ui.mainText, &RichEdit::focusGained, m_inspector, &PropertyInspector::commitOpenEditor);
    m_tracker->setInspector(m_inspector);

    FillTree(); // the three groups, empty
    m_document->startUntitled();
    m_tracker->setPrevLine(1);
    if (m_settings.read(keys::preview::Section, keys::preview::Show) == QLatin1String("1"))
        loadPreview()->show();
    m_tracker->setElementNames(m_ui.panels->elementNames());

    applyEditorSettings();
    m_placement.restore(m_settings, *this);
    RefreshBrowserMenu();
    m_inspector->fillFontList();

    // The sheet named on the command line is opened last, once the window is shown and
    // has taken its size (showWindow): an editor whose width changes while it holds a
    // text lays out every line of it again.
    m_commandLineSheet = commandLine;
    return true;
}

void Form1::showWindow()
{
    m_placement.show(*this);
    // The author starts typing in the sheet, not in the first control of the tab order.
    m_ui.mainText->setFocus(Qt::OtherFocusReason);
    QMetaObject::invokeMethod(this, &Form1::openStartSheet, Qt::QueuedConnection);
}

void Form1::openStartSheet()
{
    const QString sheet = std::exchange(m_commandLineSheet, QString());
    if (!sheet.isEmpty()) {
        const BusyScope busy(m_ui.panel1, QStringLiteral("Opening ") + QFileInfo(sheet).fileName()
                                           + QStringLiteral("..."));
        // The window is mapped, laid out and painted, saying what it is doing, before a
        // large sheet keeps the program busy. Only this start-up step waits here, and
        // what follows it is started by startedUp(), so nothing else runs in between.
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        m_document->openCommandLine(sheet);
    }
    emit startedUp();
}

void Form1::applyEditorSettings()
{
    const EditorSettings editor = m_settings.editorSettings();
    m_ui.mainText->setEditorFont(editor.fontName, editor.fontSize);
    m_colouriser.setColours(editor.syntaxColours());
    FrmOptions::applySwatchSettings(*m_ui.mainText, m_settings);
}

void Form1::showDocumentTitle()
{
    setWindowTitle(QStringLiteral("Sheetsmith / ") + DocTitle());
    m_ui.lbl3->setText(DocPath().isEmpty() ? QStringLiteral(" Untitled") : QStringLiteral(" ") + DocPath());
}

void Form1::refreshRecentMenu()
{
    showRecentFiles(m_menus, m_recent);
}

void Form1::closeEvent(QCloseEvent *event)
{
    if (!m_document->askToSave()) {
        event->ignore();
        return;
    }
    WindowPlacement::save(m_settings, *this);
    FrmPreview::deleteStoredCopies(m_settings);
    // Closing the preview window stores its own placement and "Show" "0".
    if (m_preview)
        m_preview->close();
    m_recent.writeRecentList(m_settings);
    event->accept();
}

// ---- Browsers and the preview window ----

void Form1::RefreshBrowserMenu()
{
    showBrowsers(m_menus, m_settings);
}

void Form1::PreviewWithBrowser(int index)
{
    if (index < 1 || index > int(m_menus.browser.size()))
        return;
    const QAction *entry = m_menus.browser[size_t(index - 1)];
    const BrowserEntry browser{entry->property("browserName").toString(), entry->data().toString()};
    sheetsmith::PreviewWithBrowser(this, index, browser, [this] { return loadPreview()->ComposePreviewPage(false); });
}

FrmPreview *Form1::loadPreview()
{
    if (!m_preview) {
        const FrmPreview::Pictures pictures{previewIcon(1), previewIcon(2), previewIcon(3), previewIcon(4)};
        m_preview = new FrmPreview(m_settings, [this] { return m_ui.mainText->text(); }, pictures, this);
        m_preview->setLivePictures(previewIcon(5), previewIcon(6));
        connectLivePreview();
    }
    return m_preview;
}

void Form1::connectLivePreview()
{
    new PickedRule(*m_ui.mainText, *m_tracker, m_ui.panel1, *m_preview); // a child of the preview
    showRuleAtCaret();
}

void Form1::showRuleAtCaret()
{
    if (!m_preview || !m_preview->isLive())
        return;
    const Root &blocks = m_tracker->blocks();
    const qsizetype at = blocks.FindCurrentBlock(m_ui.mainText->caretOffset());
    m_preview->showRule(at > 0 ? blocks.Item(at).ID() : QString());
}

FrmPreview *Form1::preview() const
{
    return m_preview;
}

void Form1::showHidePreview()
{
    if (m_preview && m_preview->isVisible()) {
        m_preview->hide();
        return;
    }
    loadPreview()->show();
    m_preview->raise();
}

// ---- Layout and splitter ----

bool Form1::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_surface) {
        switch (event->type()) {
        case QEvent::Resize:
            LayoutPanes();
            break;
        case QEvent::MouseButtonPress:
            m_splitterDragging = true;
            break;
        case QEvent::MouseButtonRelease:
            m_splitterDragging = false;
            break;
        case QEvent::MouseMove:
            if (m_splitterDragging) {
                const auto *me = static_cast<QMouseEvent *>(event);
                m_splitRatio = SplitRatioAt(pxToTwipsX(qRound(me->position().x())),
                                            pxToTwipsX(m_surface->width()));
                LayoutPanes();
            }
            break;
        default:
            break;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void Form1::LayoutPanes()
{
    LayoutInput in;
    in.clientWidth = pxToTwipsX(m_surface->width());
    in.clientHeight = pxToTwipsY(m_surface->height());
    in.outerWidth = pxToTwipsX(frameGeometry().width());
    in.minimised = isMinimized();
    in.splitRatio = m_splitRatio;
    sheetsmith::LayoutPanes(in, m_geometry);
    placePanes(m_ui, m_geometry, *m_surface);
}

} // namespace sheetsmith
