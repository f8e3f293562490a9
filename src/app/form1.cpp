#include "app/form1.h"

#include "dialogs/busyscope.h"
#include "app/commandactions.h"
#include "app/editorcompleter.h"
#include "app/editorinput.h"
#include "app/icons.h"
#include "app/selectortreecommands.h"
#include "blocks/editcommands.h"
#include "blocks/frmfind.h"
#include "blocks/newselectorpanels.h"
#include "blocks/selectorcommands.h"
#include "blocks/selectortree.h"
#include "check/checkschedule.h"
#include "check/hoverhelp.h"
#include "check/problemsdock.h"
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
#include "text/selectorrules.h"

#include <QAction>
#include <QClipboard>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDockWidget>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QStatusBar>
#include <QToolBar>
#include <QTreeWidget>

#include <optional>
#include <utility>

namespace sheetsmith {

namespace {

// A paste of this many characters or more says that it is busy.
constexpr qsizetype kLargePaste = 1'000'000;

// Caption bars above the panes: bold white text on blue.
QLabel *makeCaptionBar(const QString &name, const QString &caption, QWidget *parent)
{
    auto *label = new QLabel(caption, parent);
    label->setObjectName(name);
    label->setAutoFillBackground(true);
    QPalette pal = label->palette();
    pal.setColor(QPalette::Window, QColor(33, 93, 218));
    pal.setColor(QPalette::WindowText, Qt::white);
    label->setPalette(pal);
    QFont font(QStringLiteral("Tahoma"));
    font.setPointSizeF(8.25);
    font.setBold(true);
    label->setFont(font);
    return label;
}

} // namespace

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

    buildLeftPane();
    buildRightPane();
    m_document = new SheetDocument(*m_mainText, m_colouriser, m_settings, m_recent, *m_fileDialog, this);
    connect(m_document, &SheetDocument::titleChanged, this, &Form1::showDocumentTitle);
    connect(m_document, &SheetDocument::recentChanged, this, &Form1::refreshRecentMenu);
    connect(m_document, &SheetDocument::textLoaded, this, [this] { m_tracker->refresh(); });
    m_tracker = new CaretTracker(*m_mainText, m_colouriser, *m_tv, this);
    connect(m_mainText, &RichEdit::selChanged, m_tracker, &CaretTracker::onSelectionChanged);
    // With live preview on, edits reach the page and the rule at the caret is outlined.
    connect(m_mainText, &RichEdit::textEdited, this, [this] {
        if (m_preview)
            m_preview->sheetChanged();
    });
    connect(m_mainText, &RichEdit::selChanged, this, &Form1::showRuleAtCaret);
    m_editCommands = std::make_unique<EditCommands>(*m_mainText, m_tracker->blocks(), m_colouriser);
    connect(m_panels, &NewSelectorPanels::ruleRequested, this, [this](const QString &selector) {
        InsertRule(*m_mainText, m_tracker->blocks(), selector);
        m_tracker->refresh();
        m_mainText->setFocus();
    });
    buildCommands();
    m_menus = buildMainMenus(*this, *m_commands);
    m_tbP = buildCommandToolbar(QStringLiteral("TbP"), QStringLiteral("Selector toolbar"), m_frame1, QStringLiteral("TbP_"),
                         {{"Refresh", "Refresh", 1},
                          {nullptr, nullptr, 0},
                          {"NElement", "New Element", 2},
                          {"NClass", "New Class", 3},
                          {"NID", "New ID", 4},
                          {nullptr, nullptr, 0},
                          {"Delete", "Delete selected selector", 5}},
                         selectorIcon, *m_commands);
    m_tbM = buildCommandToolbar(QStringLiteral("TbM"), QStringLiteral("Main toolbar"), m_surface, QStringLiteral("TbM_"),
                         {{"New", "New File", 1},
                          {"Open", "Open a new file", 2},
                          {"Save", "Save current File", 3},
                          {nullptr, nullptr, 0},
                          {"Cut", "Cut selected line.", 4},
                          {"Copy", "Copy selected line", 5},
                          {"Paste", "Paste from clipboard", 6},
                          {"Find", "Find and Replace", 7},
                          {nullptr, nullptr, 0},
                          {"Undo", "Undo last action", 8},
                          {nullptr, nullptr, 0},
                          {"Indent", "Indent", 10},
                          {"Outdent", "Unindent", 11},
                          {"Comment", "Comment current selection", 12},
                          {"NextBlock", "Jump to Next Declaration Block", 13},
                          {"PrevBlock", "Jump to previous declaration block", 14},
                          {nullptr, nullptr, 0},
                          {"Test1", "Test current style sheet with browser one", 15},
                          {"Test2", "Test current style sheet with browser two", 16},
                          {nullptr, nullptr, 0},
                          {"ShowPreview", "Show/Hide preview window", 17}},
                         mainToolbarIcon, *m_commands);
    m_treeCommands = new SelectorTreeCommands(*m_tv, *m_mainText, *m_tracker, *m_panels,
                                              m_commands->action(QStringLiteral("Delete")), this);
    // Made before the editor's own input rules, so that the keys of an open popup
    // reach it first.
    m_completer = new EditorCompleter(
        *m_mainText, m_catalogue,
        [this] { return m_settings.read(keys::editor::Section, keys::editor::Complete) != QLatin1String("0"); }, this);
    m_input = new EditorInput(
        *m_mainText, m_menus.edit, [this](const QString &key) { runCommand(key); },
        [this](const QString &path) {
            if (m_document->askToSave())
                OpenDocument(QFileInfo(path).fileName(), path);
        },
        this);
    new SwatchPicker(*m_mainText, this); // a child of this window
    m_mainText->setHoverHelp([this](qsizetype at) {
        return HoverHelpAt(m_mainText->text(), m_mainText->model().commentMarkers(), at, m_catalogue);
    });
    buildStatusBar();
    m_document->setStatusPanel(m_panel1);
    // Selectors complete with the names used in the preview's pages.
    auto *pages = new PageNameSource([this] { return ListedPreviewPages(m_settings); }, m_completer);
    connect(pages, &PageNameSource::pageUnreadable, m_panel1, &QLabel::setText);
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
            disconnect(m_mainText, nullptr, receiver, nullptr);
    }
}

// ---- Commands, menus and toolbars ----

void Form1::buildProblems()
{
    // The check follows the blocks; its dock lists what it finds, shown and hidden from
    // the Tools menu.
    m_problems = new CheckSchedule(*m_mainText, m_settings, m_panel1, this);
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
    EditCommands &edit = *m_editCommands;
    m_commands = new CommandActions(this);
    const std::initializer_list<std::pair<const char *, std::function<void()>>> table = {
        {"New", [this] { New(); }},
        {"Open", [this] { Open(); }},
        {"Save", [this] { Save(); }},
        {"SaveAs", [this] { SaveAs(); }},
        {"Exit", [this] { close(); }},
        {"Undo", [this] { m_mainText->undo(); }},
        {"Redo", [this] { m_mainText->redo(); }},
        {"Cut", [&edit] { edit.Cut(); }},
        {"Copy", [&edit] { edit.Copy(); }},
        {"Paste",
         [this, &edit] {
             // A paste of megabytes takes a while to lay out.
             const QClipboard *clipboard = QGuiApplication::clipboard();
             std::optional<BusyScope> busy;
             if (clipboard && clipboard->text().size() >= kLargePaste)
                 busy.emplace(m_panel1, QStringLiteral("Pasting..."));
             edit.Paste();
         }},
        {"SelectAll", [&edit] { edit.SelectAll(); }},
        {"Find", [this] { FrmFind::showFor(this, *m_mainText)->setStatusPanel(m_panel1); }},
        {"Indent", [this, &edit] { edit.Indent(m_settings.tabWidth()); }},
        {"Outdent", [this, &edit] { edit.Unindent(m_settings.tabWidth()); }},
        {"Comment", [&edit] { edit.Comment(); }},
        {"Format",
         [this, &edit] {
             {
                 const BusyScope busy(m_panel1, QStringLiteral("Formatting..."));
                 if (!edit.Format(m_settings.tabWidth()))
                     return;
                 // The blocks and the tree follow at once: every line may have moved.
                 m_tracker->refresh();
             }
             m_mainText->ensureCursorVisible();
         }},
        {"NextBlock", [&edit] { edit.NextBlock(); }},
        {"PrevBlock", [&edit] { edit.PreviousBlock(); }},
        {"Test1", [this] { PreviewWithBrowser(1); }},
        {"Test2", [this] { PreviewWithBrowser(2); }},
        {"ShowPreview", [this] { showHidePreview(); }},
        {"Validate", [this] { WebLinks::ValidateWithW3C(this, m_mainText->text()); }},
        {"Settings",
         [this] {
             FrmOptions::showFor(this, m_settings, *m_mainText, m_colouriser, m_panel1, [this] {
                 RefreshBrowserMenu();
                 m_problems->applySettings();
             });
         }},
        {"HomePage", [this] { WebLinks::OpenHomePage(this); }},
        {"Css1Reference", [this] { WebLinks::OpenCss1Reference(this); }},
        {"Report", [this] { WebLinks::ReportErrors(this); }},
        {"About", [this] { FrmAbout::showFor(this); }},
        {"Refresh", [this] { m_tracker->refresh(); }},
        {"NElement", [this] { m_panels->open(NewSelectorPanels::Kind::Element); }},
        {"NClass", [this] { m_panels->open(NewSelectorPanels::Kind::Class); }},
        {"NID", [this] { m_panels->open(NewSelectorPanels::Kind::ID); }},
        {"Delete", [this] { m_treeCommands->deleteSelector(); }},
    };
    for (const auto &[key, handler] : table)
        m_commands->add(QString::fromLatin1(key), handler);
    for (int i = 1; i <= 4; ++i)
        m_commands->add(QStringLiteral("Recent%1").arg(i), [this, i] { openRecent(i); });
    for (int i = 1; i <= 10; ++i)
        m_commands->add(QStringLiteral("Browser%1").arg(i), [this, i] { PreviewWithBrowser(i); });

    // Undo and Redo are offered only when there is something to take back or give back.
    QAction *undo = m_commands->action(QStringLiteral("Undo"));
    QAction *redo = m_commands->action(QStringLiteral("Redo"));
    undo->setEnabled(false);
    redo->setEnabled(false);
    connect(m_mainText, &QPlainTextEdit::undoAvailable, undo, &QAction::setEnabled);
    connect(m_mainText, &QPlainTextEdit::redoAvailable, redo, &QAction::setEnabled);
}

void Form1::runCommand(const QString &key)
{
    m_commands->run(key);
}

// ---- Panes ----

void Form1::buildLeftPane()
{
    m_frame1 = new QFrame(m_surface);
    m_frame1->setObjectName(QStringLiteral("Frame1"));
    m_frame1->setCursor(Qt::ArrowCursor);
    m_lbl1 = makeCaptionBar(QStringLiteral("Lbl1"), QStringLiteral(" Selectors"), m_frame1);

    m_tv = new SelectorTree(m_frame1);
    m_tv->setObjectName(QStringLiteral("Tv"));
    m_tv->setAccessibleName(QStringLiteral("Selectors"));
    m_tv->setPictures(selectorIcon(2), selectorIcon(3), selectorIcon(4));
    // The selected node keeps these colours while the tree does not have the focus.
    QPalette treePalette = m_tv->palette();
    treePalette.setColor(QPalette::Inactive, QPalette::Highlight, QColor(147, 160, 112));
    treePalette.setColor(QPalette::Inactive, QPalette::HighlightedText, Qt::white);
    m_tv->setPalette(treePalette);
    m_panels = new NewSelectorPanels(m_frame1);

    m_lbl2 = makeCaptionBar(QStringLiteral("Lbl2"), QStringLiteral(" Properties"), m_frame1);
    m_lstP = new QTreeWidget(m_frame1);
    m_lstP->setObjectName(QStringLiteral("LstP"));
    m_lstP->setAccessibleName(QStringLiteral("Properties"));
    m_lstP->setColumnCount(2);
    m_lstP->setHeaderLabels({QStringLiteral("Property"), QStringLiteral("Value")});
    m_lstP->setRootIsDecorated(false);
    m_lstP->setUniformRowHeights(true);

    m_txtInfo = new QPlainTextEdit(m_frame1);
    m_txtInfo->setObjectName(QStringLiteral("TxtInfo"));
    m_txtInfo->setAccessibleName(QStringLiteral("Property description"));
    m_txtInfo->setReadOnly(true);
}

void Form1::buildRightPane()
{
    m_frame2 = new QFrame(m_surface);
    m_frame2->setObjectName(QStringLiteral("Frame2"));
    m_frame2->setCursor(Qt::ArrowCursor);
    m_lbl3 = makeCaptionBar(QStringLiteral("Lbl3"), QStringLiteral(" Untitled Document"), m_frame2);
    m_mainText = new RichEdit(m_frame2);
    m_mainText->setObjectName(QStringLiteral("MainText"));
    m_mainText->setAccessibleName(QStringLiteral("Style sheet"));
    // Style sheets are read line by line; long lines scroll rather than wrap.
    m_mainText->setLineWrapMode(QPlainTextEdit::NoWrap);
}

void Form1::buildStatusBar()
{
    m_stBar = new QStatusBar(m_surface);
    m_stBar->setObjectName(QStringLiteral("StBar"));
    m_stBar->setSizeGripEnabled(false);
    m_stBar->setCursor(Qt::ArrowCursor);
    m_panel1 = new QLabel(QStringLiteral("Ready"), m_stBar);
    m_panel1->setObjectName(QStringLiteral("StBarPanel1"));
    m_panel1->setAccessibleName(QStringLiteral("Status"));
    m_panel2 = new QLabel(QStringLiteral("Line 1 of 1, Col 1"), m_stBar);
    m_panel2->setObjectName(QStringLiteral("StBarPanel2"));
    m_panel2->setAccessibleName(QStringLiteral("Caret position"));
    m_panel2->setFixedWidth(twipsToPxX(3000));
    m_stBar->addWidget(m_panel1, 1);
    m_stBar->addWidget(m_panel2);
    connect(m_tracker, &CaretTracker::statusChanged, m_panel2, &QLabel::setText);
    // While the completion popup shows a property, the first panel describes it; then
    // it says again what it said before.
    connect(m_completer, &EditorCompleter::described, m_panel1, [this](const QString &text) {
        if (!text.isEmpty()) {
            if (!m_panel1->property("describing").toBool())
                m_panel1->setProperty("textBefore", m_panel1->text());
            m_panel1->setProperty("describing", true);
            m_panel1->setText(text);
        } else if (m_panel1->property("describing").toBool()) {
            m_panel1->setProperty("describing", false);
            m_panel1->setText(m_panel1->property("textBefore").toString());
        }
    });
}

QString Form1::caretStatusText() const
{
    return m_panel2->text();
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
        auto *row = new QTreeWidgetItem(m_lstP, QStringList{name, QString()});
        row->setData(0, Qt::UserRole, name); // the row's key
    }
    // The value editors work on the rows just made; owned by the list.
    m_inspector = new PropertyInspector(m_lstP, m_txtInfo, *m_mainText, m_catalogue, *m_fileDialog,
                                        [this] { return DocPath(); }, this);
    connect(m_mainText, &RichEdit::focusGained, m_inspector, &PropertyInspector::commitOpenEditor);
    m_tracker->setInspector(m_inspector);

    FillTree(); // the three groups, empty
    m_document->startUntitled();
    m_tracker->setPrevLine(1);
    if (m_settings.read(keys::preview::Section, keys::preview::Show) == QLatin1String("1"))
        loadPreview()->show();
    m_tracker->setElementNames(m_panels->elementNames());

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
    m_mainText->setFocus(Qt::OtherFocusReason);
    QMetaObject::invokeMethod(this, &Form1::openStartSheet, Qt::QueuedConnection);
}

void Form1::openStartSheet()
{
    const QString sheet = std::exchange(m_commandLineSheet, QString());
    if (!sheet.isEmpty()) {
        const BusyScope busy(m_panel1, QStringLiteral("Opening ") + QFileInfo(sheet).fileName()
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
    m_mainText->setEditorFont(editor.fontName, editor.fontSize);
    m_colouriser.setColours(editor.syntaxColours());
    FrmOptions::applySwatchSettings(*m_mainText, m_settings);
}

void Form1::showDocumentTitle()
{
    setWindowTitle(QStringLiteral("Sheetsmith / ") + DocTitle());
    m_lbl3->setText(DocPath().isEmpty() ? QStringLiteral(" Untitled") : QStringLiteral(" ") + DocPath());
}

void Form1::refreshRecentMenu()
{
    for (int i = 0; i < 4; ++i) {
        const RecentFiles::Entry &e = m_recent.entry(i + 1);
        m_menus.recent[size_t(i)]->setText(e.caption);
        m_menus.recent[size_t(i)]->setData(e.tag);
        // An entry emptied by a missing file and then moved down by a newer one stays out
        // of sight rather than showing a blank menu line.
        m_menus.recent[size_t(i)]->setVisible(e.visible && !e.caption.isEmpty());
    }
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
    for (QAction *entry : m_menus.browser) {
        entry->setVisible(false);
        entry->setData(QString());
    }
    for (int n = 1; n <= int(m_menus.browser.size()); ++n) {
        const QString name = m_settings.read(keys::preview::Section, keys::preview::browserName(n));
        if (name.isEmpty())
            break;
        QAction *entry = m_menus.browser[size_t(n - 1)];
        entry->setText(QStringLiteral("Preview with ") + name);
        entry->setData(m_settings.read(keys::preview::Section, keys::preview::browserPath(n)));
        entry->setProperty("browserName", name);
        entry->setVisible(true);
    }
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
        m_preview = new FrmPreview(m_settings, [this] { return m_mainText->text(); }, pictures, this);
        m_preview->setLivePictures(previewIcon(5), previewIcon(6));
        connectLivePreview();
    }
    return m_preview;
}

void Form1::connectLivePreview()
{
    // The selectors of the sheet's rules as they stand when picking starts; the answer
    // counts in the same list.
    m_preview->setPickSelectors([this] {
        QStringList rules;
        for (const ItmClass &block : m_tracker->blocks())
            rules << block.ID();
        m_pickCandidates = PickCandidatesFor(rules);
        return m_pickCandidates.selectors;
    });
    connect(m_preview, &FrmPreview::elementPicked, this, [this](const QList<int> &matched) {
        const PickOutcome outcome = WinningRule(m_pickCandidates, matched);
        if (outcome.rule < 0 || outcome.rule >= m_tracker->blocks().Count()) {
            m_panel1->setText(QStringLiteral("No rule of this sheet matches this element at rest"));
            return;
        }
        // An ordinary caret move: caret tracking follows with the tree and the values.
        // The caret goes just inside the block, after its "{", since a caret before the
        // selector counts as outside every block and would show no values.
        const ItmClass &block = m_tracker->blocks().Item(outcome.rule + 1);
        const QString &text = m_mainText->model().text();
        const qsizetype brace = text.indexOf(u'{', block.Begins());
        m_mainText->setSelStart(brace >= 0 && brace < block.Ends() ? brace + 1 : block.Begins() + 1);
        m_mainText->ensureCursorVisible();
        activateWindow();
        m_mainText->setFocus(Qt::OtherFocusReason);
        // At rest: the states the click put the element in (hovered, pressed, focused) do not count.
        m_panel1->setText(outcome.matchedRules == 1
                              ? QStringLiteral("1 rule matches this element at rest")
                              : QStringLiteral("%1 rules match this element at rest; the caret is in the one that wins")
                                    .arg(outcome.matchedRules));
    });
    showRuleAtCaret();
}

void Form1::showRuleAtCaret()
{
    if (!m_preview || !m_preview->isLive())
        return;
    const Root &blocks = m_tracker->blocks();
    const qsizetype at = blocks.FindCurrentBlock(m_mainText->caretOffset());
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
    applyGeometry();
}

void Form1::applyGeometry()
{
    // The surface is filtered from the start; the controls exist only once built.
    if (!m_stBar)
        return;
    const auto place = [this](QWidget *w, const TwipRect &r) {
        w->setGeometry(twipsToPxX(r.left), twipsToPxY(r.top), twipsToPxX(r.width), twipsToPxY(r.height));
    };
    const PaneGeometry &g = m_geometry;
    m_tbM->setGeometry(0, 0, m_surface->width(), twipsToPxY(360));
    place(m_frame1, g.frame1);
    place(m_frame2, g.frame2);
    place(m_lbl1, g.lbl1);
    // The selector toolbar keeps its design place; it is widened when the style's
    // buttons need more room than the design width, so no button is hidden.
    m_tbP->setGeometry(twipsToPxX(60), twipsToPxY(405),
                       qMax(twipsToPxX(2040), m_tbP->sizeHint().width()), twipsToPxY(330));
    place(m_tv, g.tv);
    place(m_lbl2, g.lbl2);
    place(m_lstP, g.lstP);
    m_lstP->setColumnWidth(0, twipsToPxX(g.propertyColumnWidth));
    m_lstP->setColumnWidth(1, twipsToPxX(g.valueColumnWidth));
    place(m_txtInfo, g.txtInfo);
    place(m_lbl3, g.lbl3);
    place(m_mainText, g.mainText);

    const int barHeight = qMax(twipsToPxY(255), m_stBar->sizeHint().height());
    m_stBar->setGeometry(0, m_surface->height() - barHeight, m_surface->width(), barHeight);
    m_panel1->setMaximumWidth(twipsToPxX(g.statusPanel1Width));
    placePanels();
}

void Form1::placePanels()
{
    // The new-selector panels sit over the bottom of the tree, 20 twips in from its
    // sides and 10 above its bottom.
    const TwipRect &tv = m_geometry.tv;
    m_panels->place(twipsToPxX(tv.left + 20), twipsToPxY(tv.top + tv.height - 10), twipsToPxX(tv.width - 40),
                    twipsToPxY(495));
}

} // namespace sheetsmith
