#include "app/form1.h"

#include "app/icons.h"
#include "blocks/editcommands.h"
#include "blocks/frmfind.h"
#include "blocks/scanner.h"
#include "blocks/selectorcommands.h"
#include "blocks/selectortree.h"
#include "dialogs/cdlgex.h"
#include "dialogs/dialogseam.h"
#include "editor/editorlines.h"
#include "editor/richedit.h"
#include "inspector/blockvalues.h"
#include "inspector/propertyinspector.h"
#include "preview/frmabout.h"
#include "preview/weblinks.h"
#include "settings/frmoptions.h"
#include "settings/settingskeys.h"
#include "settings/settingsstore.h"
#include "text/tabs.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QFrame>
#include <QGuiApplication>
#include <QContextMenuEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMimeData>
#include <QUrl>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QToolBar>
#include <QTreeView>
#include <QTreeWidget>

namespace sheetsmith {

namespace {

const QString kAppTitle = QStringLiteral("Sheetsmith");
const QString kStyleSheetFilter = QStringLiteral(
    "Cascading Style Sheet (.css)|*.css|Text Files (.txt)|*.txt|All Files (*.*)|*.*");

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

QAction *addMenuEntry(QMenu *menu, const QString &name, const QString &caption)
{
    QAction *action = menu->addAction(caption);
    action->setObjectName(name);
    return action;
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

    buildMenus();
    buildMainToolbar();
    buildLeftPane();
    buildRightPane();
    buildStatusBar();

    // Design size of the client area before any placement is restored.
    resize(twipsToPxX(10260), twipsToPxY(8550) + menuBar()->sizeHint().height());
}

Form1::~Form1()
{
    // The editor outlives this window's own members while Qt deletes the children; it
    // must not reach the handlers of a half-destroyed window.
    disconnect(m_mainText, nullptr, this, nullptr);
}

int Form1::twipsToPxX(float twips) const
{
    return qRound(twips * logicalDpiX() / 1440.0f);
}

int Form1::twipsToPxY(float twips) const
{
    return qRound(twips * logicalDpiY() / 1440.0f);
}

float Form1::pxToTwipsX(int px) const
{
    return px * 1440.0f / logicalDpiX();
}

float Form1::pxToTwipsY(int px) const
{
    return px * 1440.0f / logicalDpiY();
}

void Form1::buildMenus()
{
    QMenu *mFile = menuBar()->addMenu(QStringLiteral("File"));
    mFile->setObjectName(QStringLiteral("mFile"));
    connect(addMenuEntry(mFile, QStringLiteral("mNew"), QStringLiteral("New")),
            &QAction::triggered, this, &Form1::New);
    connect(addMenuEntry(mFile, QStringLiteral("mOpen"), QStringLiteral("Open")),
            &QAction::triggered, this, &Form1::Open);
    mFile->addSeparator();
    connect(addMenuEntry(mFile, QStringLiteral("mSave"), QStringLiteral("Save")),
            &QAction::triggered, this, &Form1::Save);
    connect(addMenuEntry(mFile, QStringLiteral("mSaveAs"), QStringLiteral("Save As")),
            &QAction::triggered, this, &Form1::SaveAs);
    mFile->addSeparator();
    for (int i = 0; i < 4; ++i) {
        m_mRecent[size_t(i)] = addMenuEntry(mFile, QStringLiteral("mRecent%1").arg(i + 1),
                                            QStringLiteral("Recent %1").arg(i + 1));
        connect(m_mRecent[size_t(i)], &QAction::triggered, this, [this, i] { openRecent(i + 1); });
    }
    mFile->addSeparator();
    connect(addMenuEntry(mFile, QStringLiteral("mExit"), QStringLiteral("Exit")),
            &QAction::triggered, this, &QWidget::close);

    // Edit: the shortcut texts are shown in the menu's shortcut column; the keys
    // themselves are handled by the editor.
    QMenu *mEdit = menuBar()->addMenu(QStringLiteral("Edit"));
    mEdit->setObjectName(QStringLiteral("mEdit"));
    QAction *mUndi = addMenuEntry(mEdit, QStringLiteral("mUndi"), QStringLiteral("Undo"));
    connect(mUndi, &QAction::triggered, this, [this] { m_mainText->undo(); });
    mEdit->addSeparator();
    const auto command = [this, mEdit](const QString &name, const QString &caption, EditCommand which) {
        connect(addMenuEntry(mEdit, name, caption), &QAction::triggered, this, [this, which] { runCommand(which); });
    };
    command(QStringLiteral("mCut"), QStringLiteral("Cut\tCtrl+X"), EditCommand::Cut);
    command(QStringLiteral("mCopy"), QStringLiteral("Copy\tCtrl+C"), EditCommand::Copy);
    command(QStringLiteral("mPaste"), QStringLiteral("Paste\tCtrl+V"), EditCommand::Paste);
    command(QStringLiteral("mSelectAll"), QStringLiteral("Select All\tCtrl+A"), EditCommand::SelectAll);
    mEdit->addSeparator();
    command(QStringLiteral("mFindReplace"), QStringLiteral("Find and Replace"), EditCommand::Find);
    mEdit->addSeparator();
    command(QStringLiteral("mIndent"), QStringLiteral("Indent"), EditCommand::Indent);
    command(QStringLiteral("mUnident"), QStringLiteral("Unident"), EditCommand::Unindent);
    mEdit->addSeparator();
    command(QStringLiteral("mNBlock"), QStringLiteral("Next Block"), EditCommand::NextBlock);
    command(QStringLiteral("mPBlock"), QStringLiteral("Previous Block"), EditCommand::PreviousBlock);
    mEdit->addSeparator();
    command(QStringLiteral("mComment"), QStringLiteral("Comment"), EditCommand::Comment);
    m_mEdit = mEdit;

    QMenu *mTools = menuBar()->addMenu(QStringLiteral("Tools"));
    mTools->setObjectName(QStringLiteral("mTools"));
    // Browser entries appear once browsers are configured; none can be yet.
    for (int i = 0; i < 10; ++i) {
        m_mPreview[size_t(i)] = addMenuEntry(mTools, QStringLiteral("mPreview%1").arg(i + 1),
                                             QStringLiteral("Preview with Browser %1").arg(i + 1));
        m_mPreview[size_t(i)]->setVisible(false);
    }
    mTools->addSeparator();
    connect(addMenuEntry(mTools, QStringLiteral("mValidate"), QStringLiteral("Validate file using W3C validator")),
            &QAction::triggered, this, [this] { WebLinks::ValidateWithW3C(this, m_mainText->text()); });
    mTools->addSeparator();
    connect(addMenuEntry(mTools, QStringLiteral("mSettings"), QStringLiteral("Settings")), &QAction::triggered, this,
            [this] {
                FrmOptions::showFor(this, m_settings, *m_mainText, m_colouriser, m_panel1,
                                    [this] { RefreshBrowserMenu(); });
            });

    QMenu *mHelp = menuBar()->addMenu(QStringLiteral("Help"));
    mHelp->setObjectName(QStringLiteral("mHelp"));
    connect(addMenuEntry(mHelp, QStringLiteral("mHomePage"), QStringLiteral("&Home Page")), &QAction::triggered,
            this, [this] { WebLinks::OpenHomePage(this); });
    connect(addMenuEntry(mHelp, QStringLiteral("mcss1"), QStringLiteral("CSS1 Reference")), &QAction::triggered,
            this, [this] { WebLinks::OpenCss1Reference(this); });
    connect(addMenuEntry(mHelp, QStringLiteral("mReport"), QStringLiteral("&Report errors, suggestions, comments")),
            &QAction::triggered, this, [this] { WebLinks::ReportErrors(this); });
    mHelp->addSeparator();
    connect(addMenuEntry(mHelp, QStringLiteral("mAbout"), QStringLiteral("About")), &QAction::triggered, this,
            [this] { FrmAbout::showFor(this); });

    // The tree's popup menu; never part of the menu bar.
    m_mTree = new QMenu(QStringLiteral("Tree"), this);
    m_mTree->setObjectName(QStringLiteral("mTree"));
    connect(addMenuEntry(m_mTree, QStringLiteral("mTnew"), QStringLiteral("New")), &QAction::triggered, this,
            &Form1::newFromTree);
    m_mTree->addSeparator();
    m_mTDelete = addMenuEntry(m_mTree, QStringLiteral("mTDelete"), QStringLiteral("Delete"));
    connect(m_mTDelete, &QAction::triggered, this, &Form1::deleteSelector);
    m_mTrename = addMenuEntry(m_mTree, QStringLiteral("mTrename"), QStringLiteral("Rename"));
    connect(m_mTrename, &QAction::triggered, this, [this] {
        if (m_tv->selectedNode() > 3)
            m_tv->editNode(m_tv->selectedNode());
    });
}

void Form1::buildMainToolbar()
{
    m_tbM = new QToolBar(QStringLiteral("Main toolbar"), m_surface);
    m_tbM->setObjectName(QStringLiteral("TbM"));
    m_tbM->setIconSize(QSize(16, 16));
    m_tbM->setCursor(Qt::ArrowCursor);
    struct Button
    {
        const char *key;
        const char *tip;
        int picture;
        bool built;
    };
    // A key of nullptr is a separator.
    static const Button buttons[] = {
        {"New", "New File", 1, true},
        {"Open", "Open a new file", 2, true},
        {"Save", "Save current File", 3, true},
        {nullptr, nullptr, 0, false},
        {"Cut", "Cut selected line.", 4, true},
        {"Copy", "Copy selected line", 5, true},
        {"Paste", "Paste from clipboard", 6, true},
        {"Find", "Find and Replace", 7, true},
        {nullptr, nullptr, 0, false},
        {"Undo", "Undo last action", 8, true},
        {nullptr, nullptr, 0, false},
        {"Indent", "Indent", 10, true},
        {"Outdent", "Unindent", 11, true},
        {"Comment", "Comment current selection", 12, true},
        {"NextBlock", "Jump to Next Declaration Block", 13, true},
        {"PrevBlock", "Jump to previous declaration block", 14, true},
        {nullptr, nullptr, 0, false},
        {"Test1", "Test current style sheet with browser one", 15, false},
        {"Test2", "Test current style sheet with browser two", 16, false},
        {nullptr, nullptr, 0, false},
        {"ShowPreview", "Show/Hide preview window", 17, false},
    };
    for (const Button &b : buttons) {
        if (!b.key) {
            m_tbM->addSeparator();
            continue;
        }
        const QString key = QString::fromLatin1(b.key);
        QAction *action = m_tbM->addAction(mainToolbarIcon(b.picture), QString::fromLatin1(b.tip));
        action->setObjectName(QStringLiteral("TbM_") + key);
        action->setData(key);
        action->setToolTip(QString::fromLatin1(b.tip));
        action->setEnabled(b.built);
        connect(action, &QAction::triggered, this, [this, key] { onMainToolbarButton(key); });
    }
}

void Form1::onMainToolbarButton(const QString &key)
{
    if (key == QLatin1String("New"))
        New();
    else if (key == QLatin1String("Open"))
        Open();
    else if (key == QLatin1String("Save"))
        Save();
    else if (key == QLatin1String("Undo"))
        m_mainText->undo();
    else if (key == QLatin1String("Cut"))
        runCommand(EditCommand::Cut);
    else if (key == QLatin1String("Copy"))
        runCommand(EditCommand::Copy);
    else if (key == QLatin1String("Paste"))
        runCommand(EditCommand::Paste);
    else if (key == QLatin1String("Find"))
        runCommand(EditCommand::Find);
    else if (key == QLatin1String("Indent"))
        runCommand(EditCommand::Indent);
    else if (key == QLatin1String("Outdent"))
        runCommand(EditCommand::Unindent);
    else if (key == QLatin1String("Comment"))
        runCommand(EditCommand::Comment);
    else if (key == QLatin1String("NextBlock"))
        runCommand(EditCommand::NextBlock);
    else if (key == QLatin1String("PrevBlock"))
        runCommand(EditCommand::PreviousBlock);
}

void Form1::onSelectorToolbarButton(const QString &key)
{
    if (key == QLatin1String("Refresh")) {
        RefreshMe();
        FillTree();
    } else if (key == QLatin1String("NElement")) {
        openPanel(m_frElement);
    } else if (key == QLatin1String("NClass")) {
        openPanel(m_frClass);
    } else if (key == QLatin1String("NID")) {
        openPanel(m_frID);
    } else if (key == QLatin1String("Delete")) {
        deleteSelector();
    }
}

void Form1::RefreshMe()
{
    ScanBlocks(m_mainText->model(), m_elementNames, m_blocks);
}

void Form1::FillTree()
{
    m_tv->FillTree(m_blocks);
}

void Form1::buildLeftPane()
{
    m_frame1 = new QFrame(m_surface);
    m_frame1->setObjectName(QStringLiteral("Frame1"));
    m_frame1->setCursor(Qt::ArrowCursor);

    m_lbl1 = makeCaptionBar(QStringLiteral("Lbl1"), QStringLiteral(" Selectors"), m_frame1);

    m_tbP = new QToolBar(QStringLiteral("Selector toolbar"), m_frame1);
    m_tbP->setObjectName(QStringLiteral("TbP"));
    m_tbP->setIconSize(QSize(16, 16));
    struct Button
    {
        const char *key;
        const char *tip;
        int picture;
    };
    static const Button buttons[] = {
        {"Refresh", "Refresh", 1},   {nullptr, nullptr, 0},      {"NElement", "New Element", 2},
        {"NClass", "New Class", 3}, {"NID", "New ID", 4},       {nullptr, nullptr, 0},
        {"Delete", "Delete selected selector", 5},
    };
    for (const Button &b : buttons) {
        if (!b.key) {
            m_tbP->addSeparator();
            continue;
        }
        const QString key = QString::fromLatin1(b.key);
        QAction *action = m_tbP->addAction(selectorIcon(b.picture), QString::fromLatin1(b.tip));
        action->setObjectName(QStringLiteral("TbP_") + key);
        action->setData(key);
        if (key == QLatin1String("Delete"))
            m_tbPDelete = action;
        connect(action, &QAction::triggered, this, [this, key] { onSelectorToolbarButton(key); });
    }

    m_tv = new SelectorTree(m_frame1);
    m_tv->setObjectName(QStringLiteral("Tv"));
    m_tv->setAccessibleName(QStringLiteral("Selectors"));
    m_tv->setPictures(selectorIcon(2), selectorIcon(3), selectorIcon(4));

    // New-selector panels, hidden until the selector commands open them. Each holds
    // its input with an OK and a Cancel button; Enter and Esc in the input do the same.
    const auto makePanel = [this](const QString &name, QWidget *input, const QString &okName,
                                  const QString &okText, const QString &cancelName, const QString &cancelText) {
        auto *frame = new QFrame(m_frame1);
        frame->setObjectName(name);
        frame->setFrameShape(QFrame::StyledPanel);
        frame->setAutoFillBackground(true);
        input->setParent(frame);
        input->installEventFilter(this);
        auto *ok = new QPushButton(okText, frame);
        ok->setObjectName(okName);
        auto *cancel = new QPushButton(cancelText, frame);
        cancel->setObjectName(cancelName);
        auto *row = new QHBoxLayout(frame);
        row->setContentsMargins(twipsToPxX(120), twipsToPxY(60), twipsToPxX(60), twipsToPxY(60));
        row->addWidget(input, 1);
        row->addWidget(ok);
        row->addWidget(cancel);
        connect(ok, &QPushButton::clicked, this, [this, frame] { commitPanel(frame); });
        connect(cancel, &QPushButton::clicked, frame, &QWidget::hide);
        frame->hide();
        return frame;
    };
    m_comNE = new QComboBox;
    m_comNE->setObjectName(QStringLiteral("ComNE"));
    m_comNE->setAccessibleName(QStringLiteral("Element"));
    m_comNE->addItems(ElementNames());
    m_comNE->setCurrentIndex(-1);
    m_frElement = makePanel(QStringLiteral("FrElement"), m_comNE, QStringLiteral("CmdNEOk"), QStringLiteral("OK"),
                            QStringLiteral("CmdNECancel"), QStringLiteral("Cancel"));
    m_txtNC = new QLineEdit(QStringLiteral("Enter ClassName"));
    m_txtNC->setObjectName(QStringLiteral("TxtNC"));
    m_txtNC->setAccessibleName(QStringLiteral("Class name"));
    m_frClass = makePanel(QStringLiteral("FrClass"), m_txtNC, QStringLiteral("CmdNCok"), QStringLiteral("OK"),
                          QStringLiteral("CmdNCcancel"), QStringLiteral("Cancel"));
    m_txtNI = new QLineEdit(QStringLiteral("Enter ID Name"));
    m_txtNI->setObjectName(QStringLiteral("TxtNI"));
    m_txtNI->setAccessibleName(QStringLiteral("ID name"));
    m_frID = makePanel(QStringLiteral("FrID"), m_txtNI, QStringLiteral("CmdNIok"), QStringLiteral("OK"),
                       QStringLiteral("CmdNIcancel"), QStringLiteral("Cancel"));

    // The selected node keeps these colours while the tree does not have the focus.
    QPalette treePalette = m_tv->palette();
    treePalette.setColor(QPalette::Inactive, QPalette::Highlight, QColor(147, 160, 112));
    treePalette.setColor(QPalette::Inactive, QPalette::HighlightedText, Qt::white);
    m_tv->setPalette(treePalette);
    m_tv->viewport()->installEventFilter(this);
    m_tv->installEventFilter(this);
    connect(m_tv, &QAbstractItemView::clicked, this, &Form1::jumpToNode);
    connect(m_tv, &QAbstractItemView::activated, this, &Form1::jumpToNode);
    connect(m_tv, &SelectorTree::labelEdited, this, &Form1::renameSelector);

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
    connect(m_mainText, &RichEdit::selChanged, this, &Form1::onMainTextSelChange);
    connect(m_mainText, &RichEdit::keyDown, this, &Form1::onMainTextKeyDown);
    connect(m_mainText, &RichEdit::mouseUp, this, &Form1::onMainTextMouseUp);
    connect(m_mainText, &RichEdit::draggedOver, this, &Form1::onMainTextDragOver);
    connect(m_mainText, &RichEdit::dropped, this, &Form1::onMainTextDrop);
    m_commands = std::make_unique<EditCommands>(*m_mainText, m_blocks, m_colouriser);
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
}

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
                                        [this] { return m_docPath; }, this);
    connect(m_mainText, &RichEdit::focusGained, m_inspector, &PropertyInspector::commitOpenEditor);

    FillTree(); // the three groups, empty
    m_mTree->menuAction()->setVisible(false);
    m_docTitle = QStringLiteral("Untitled");
    m_docPath.clear();
    showDocumentTitle();
    m_lbl3->setText(QStringLiteral(" Untitled"));
    m_prevLine = 1;
    m_savedText = m_mainText->text();

    m_elementNames.clear();
    for (int i = 0; i < m_comNE->count(); ++i)
        m_elementNames << m_comNE->itemText(i);

    applyEditorSettings();
    restorePlacement();
    RefreshBrowserMenu();
    m_inspector->fillFontList();

    if (!commandLine.isEmpty()) {
        QString path = commandLine;
        path.remove(QLatin1Char('"'));
        // A relative path names a file in the folder the program was started from;
        // the document is shown and remembered by its full path.
        path = QFileInfo(path).absoluteFilePath();
        OpenDocument(QFileInfo(path).fileName(), path);
    }
    return true;
}

void Form1::applyEditorSettings()
{
    const EditorSettings editor = m_settings.editorSettings();
    m_mainText->setEditorFont(editor.fontName, editor.fontSize);
    m_colouriser.setColours(editor.syntaxColours());
}

void Form1::restorePlacement()
{
    m_startMaximised = m_settings.read(keys::window::Section, keys::window::State)
                       != keys::window::StateNormal;
    if (m_startMaximised)
        return;
    const auto value = [this](const QString &key) {
        return SettingsStore::numericValue(m_settings.read(keys::window::Section, key));
    };
    QRect r(twipsToPxX(float(value(keys::window::Left))), twipsToPxY(float(value(keys::window::Top))),
            twipsToPxX(float(value(keys::window::Width))), twipsToPxY(float(value(keys::window::Height))));
    // A stored placement that would give an unusable window (too small, or off every
    // screen) gives way to the design size on the primary screen.
    const QSize minimum(twipsToPxX(3000), twipsToPxY(2000));
    if (r.width() < minimum.width() || r.height() < minimum.height())
        r.setSize(size());
    bool onScreen = false;
    for (QScreen *screen : QGuiApplication::screens())
        onScreen = onScreen || screen->availableGeometry().intersects(r);
    if (!onScreen && QGuiApplication::primaryScreen())
        r.moveTopLeft(QGuiApplication::primaryScreen()->availableGeometry().topLeft());
    m_restoredGeometry = r;
}

void Form1::showWindow()
{
    if (m_startMaximised) {
        // The normal placement behind a maximised window is most of the screen, so
        // un-maximising gives a usable window, also where no window manager maximises.
        if (QScreen *screen = QGuiApplication::primaryScreen()) {
            const QRect avail = screen->availableGeometry();
            setGeometry(avail.adjusted(avail.width() / 16, avail.height() / 16, -avail.width() / 16,
                                       -avail.height() / 16));
        }
        showMaximized();
    } else {
        move(m_restoredGeometry.topLeft());
        resize(m_restoredGeometry.size());
        showNormal();
    }
}

void Form1::showDocumentTitle()
{
    setWindowTitle(kAppTitle + QStringLiteral(" / ") + m_docTitle);
}

void Form1::refreshRecentMenu()
{
    for (int i = 0; i < 4; ++i) {
        const RecentFiles::Entry &e = m_recent.entry(i + 1);
        m_mRecent[size_t(i)]->setText(e.caption);
        m_mRecent[size_t(i)]->setData(e.tag);
        // An entry emptied by a missing file and then moved down by a newer one stays out
        // of sight rather than showing a blank menu line.
        m_mRecent[size_t(i)]->setVisible(e.visible && !e.caption.isEmpty());
    }
}

// ---- Documents ----

bool Form1::OpenDocument(const QString &title, const QString &path)
{
    // The file is read before anything of the open document changes, so a file that
    // cannot be read leaves the author's text exactly as it was.
    const ReadResult file = readDocumentFile(path);
    if (!file.ok) {
        MsgBox(this, file.error, DialogSeam::Critical);
        return false;
    }
    const int tabWidth = m_settings.editorSettings().tabWidth;
    m_colouriser.BuildColourTable();

    m_docTitle = title;
    m_docPath = path;
    m_format = file.format;
    m_recent.addRecentFile(title, path);
    refreshRecentMenu();
    showDocumentTitle();
    m_lbl3->setText(QStringLiteral(" ") + m_docPath);

    // The text goes into the editor already coloured, in one assignment.
    m_colouriser.ColourNewText(*m_mainText, ExpandTabs(file.text, tabWidth));
    m_savedText = m_mainText->text();
    RefreshMe();
    FillTree();
    return true;
}

void Form1::New()
{
    const int answer = MsgBox(this, QStringLiteral("Saves Changes to ") + m_docTitle + QStringLiteral("?"),
                              DialogSeam::YesNoCancel | DialogSeam::Question);
    if (answer == DialogSeam::Cancel)
        return;
    // A Yes whose save is abandoned or fails keeps the document: clearing it would
    // throw the author's text away unsaved.
    if (answer == DialogSeam::Yes && !Save())
        return;
    m_mainText->setText(QString());
    m_docTitle = QStringLiteral("Untitled");
    m_docPath.clear();
    m_format = FileFormat();
    showDocumentTitle();
    m_lbl3->setText(QStringLiteral(" Untitled"));
}

void Form1::Open()
{
    m_fileDialog->setFilter(kStyleSheetFilter);
    m_fileDialog->setFlags(4);
    m_fileDialog->setHOwner(this);
    m_fileDialog->ShowOpen();
    if (m_fileDialog->cdlError() == QLatin1String("Cancel"))
        return;
    OpenDocument(m_fileDialog->FileTitle(), m_fileDialog->FileName());
}

void Form1::openRecent(int entry)
{
    const RecentFiles::Entry e = m_recent.entry(entry);
    const QFileInfo info(e.tag);
    if (!e.tag.isEmpty() && info.exists() && info.isFile()) {
        OpenDocument(e.caption, e.tag);
        return;
    }
    MsgBox(this, QStringLiteral("File not found!"), DialogSeam::Critical);
    m_recent.removeEntry(entry);
    refreshRecentMenu();
}

bool Form1::Save()
{
    if (m_docPath.isEmpty())
        return SaveAs();
    return writeDocument(m_docPath, m_docTitle);
}

bool Form1::SaveAs()
{
    m_fileDialog->setFilter(kStyleSheetFilter);
    m_fileDialog->setFlags(2 | 4); // ask before overwriting; no read-only option
    m_fileDialog->setDefaultExt(QStringLiteral("css"));
    m_fileDialog->setHOwner(this);
    if (!m_docPath.isEmpty())
        m_fileDialog->setFileName(m_docPath);
    m_fileDialog->ShowSave();
    if (m_fileDialog->cdlError() == QLatin1String("Cancel"))
        return false;
    const QString path = m_fileDialog->FileName();
    const QString title = m_fileDialog->FileTitle().isEmpty() ? QFileInfo(path).fileName()
                                                              : m_fileDialog->FileTitle();
    return writeDocument(path, title);
}

bool Form1::writeDocument(const QString &path, const QString &title)
{
    const QString text = m_mainText->text();
    const WriteResult result = writeDocumentFile(path, text, m_format);
    if (!result.ok) {
        MsgBox(this, result.error, DialogSeam::Critical);
        return false;
    }
    if (result.encodingChanged)
        MsgBox(this,
               title + QStringLiteral(" holds characters that Windows-1252 cannot store, so it was saved as UTF-8."),
               DialogSeam::Information);
    m_format = result.formatUsed;
    m_savedText = text;
    if (path != m_docPath || title != m_docTitle) {
        m_docPath = path;
        m_docTitle = title;
        showDocumentTitle();
        m_lbl3->setText(QStringLiteral(" ") + m_docPath);
    }
    m_recent.addRecentFile(m_docTitle, m_docPath);
    refreshRecentMenu();
    return true;
}

// ---- Browsers ----

void Form1::RefreshBrowserMenu()
{
    for (QAction *entry : m_mPreview) {
        entry->setVisible(false);
        entry->setData(QString());
    }
    for (int n = 1; n <= int(m_mPreview.size()); ++n) {
        const QString name = m_settings.read(keys::preview::Section, keys::preview::browserName(n));
        if (name.isEmpty())
            break;
        QAction *entry = m_mPreview[size_t(n - 1)];
        entry->setText(QStringLiteral("Preview with ") + name);
        entry->setData(m_settings.read(keys::preview::Section, keys::preview::browserPath(n)));
        entry->setVisible(true);
        // Starting a browser on the composed preview page needs the preview window,
        // which is not part of the program yet: the configured browsers are listed,
        // but cannot be started.
        entry->setEnabled(false);
    }
}

// ---- Editing commands and the editor's own keys, mouse and drops ----

void Form1::runCommand(EditCommand which)
{
    switch (which) {
    case EditCommand::Cut: m_commands->Cut(); break;
    case EditCommand::Copy: m_commands->Copy(); break;
    case EditCommand::Paste: m_commands->Paste(); break;
    case EditCommand::SelectAll: m_commands->SelectAll(); break;
    case EditCommand::Indent: m_commands->Indent(m_settings.tabWidth()); break;
    case EditCommand::Unindent: m_commands->Unindent(m_settings.tabWidth()); break;
    case EditCommand::Comment: m_commands->Comment(); break;
    case EditCommand::NextBlock: m_commands->NextBlock(); break;
    case EditCommand::PreviousBlock: m_commands->PreviousBlock(); break;
    case EditCommand::Find: FrmFind::showFor(this, *m_mainText); break;
    }
}

void Form1::onMainTextKeyDown(QKeyEvent *event, bool *consumed)
{
    // The keypad flag says where a key sits, not which modifiers are held.
    const Qt::KeyboardModifiers mods = event->modifiers() & ~Qt::KeypadModifier;
    const int key = event->key();
    if (mods == Qt::ControlModifier && (key == Qt::Key_V || key == Qt::Key_C || key == Qt::Key_X || key == Qt::Key_F)) {
        runCommand(key == Qt::Key_V   ? EditCommand::Paste
                   : key == Qt::Key_C ? EditCommand::Copy
                   : key == Qt::Key_X ? EditCommand::Cut
                                      : EditCommand::Find);
        *consumed = true;
    } else if (key == Qt::Key_Tab || key == Qt::Key_Backtab) {
        // Shift+Tab arrives as Backtab; Tab with any other modifiers indents.
        runCommand(mods == Qt::ShiftModifier ? EditCommand::Unindent : EditCommand::Indent);
        *consumed = true;
    }
}

void Form1::onMainTextMouseUp(Qt::MouseButton button, Qt::KeyboardModifiers, QPoint position)
{
    if (button == Qt::RightButton)
        m_mEdit->popup(m_mainText->viewport()->mapToGlobal(position));
}

void Form1::onMainTextDragOver(QDragMoveEvent *event, bool *handled)
{
    const QMimeData *data = event->mimeData();
    const bool ctrl = (event->modifiers() & ~Qt::KeypadModifier) == Qt::ControlModifier;
    if (data->hasUrls()) {
        // A file can only be opened, never moved into the sheet.
        event->setDropAction(Qt::CopyAction);
        event->accept();
        *handled = true;
    } else if (data->hasText()) {
        event->setDropAction(ctrl ? Qt::CopyAction : Qt::MoveAction);
        event->accept();
        m_mainText->setSelStart(m_mainText->charFromPos(event->position().toPoint()));
        *handled = true;
    }
}

void Form1::onMainTextDrop(QDropEvent *event, bool *handled)
{
    const QMimeData *data = event->mimeData();
    // Files dragged from a file manager come as a list of URLs, often with their
    // addresses as text beside it: a list of files is taken as files, never as text.
    if (data->hasUrls() || !data->hasText()) {
        const QList<QUrl> urls = data->urls();
        if (urls.size() == 1 && urls.first().isLocalFile()) {
            const QString path = urls.first().toLocalFile();
            OpenDocument(QFileInfo(path).fileName(), path);
        }
        event->setDropAction(Qt::CopyAction);
        event->accept();
        *handled = true;
        return;
    }
    const bool ctrl = (event->modifiers() & ~Qt::KeypadModifier) == Qt::ControlModifier;
    event->setDropAction(ctrl ? Qt::CopyAction : Qt::MoveAction);
    event->accept();
    const ColouringScope colouring(*m_mainText);
    // Text dragged from another program may come without an RTF form: its plain text
    // goes in then, in the colour of the text before it.
    const QByteArray rtf = data->data(QStringLiteral("text/rtf"));
    if (!rtf.isEmpty())
        m_mainText->setSelRTF(QString::fromUtf8(rtf));
    else
        m_mainText->setSelText(data->text());
    *handled = true;
}

// ---- Selector tree and new-selector panels ----

void Form1::placePanel(QFrame *panel)
{
    const PaneGeometry &g = m_geometry;
    // All three panels are as high as the element panel.
    const int height = qMax(twipsToPxY(495), m_frElement->sizeHint().height());
    const int top = twipsToPxY(g.tv.top + g.tv.height - 10) - height;
    panel->setGeometry(twipsToPxX(g.tv.left + 20), top, twipsToPxX(g.tv.width - 40), height);
}

void Form1::openPanel(QFrame *panel)
{
    placePanel(panel);
    for (QFrame *other : {m_frElement, m_frClass, m_frID})
        other->setVisible(other == panel);
    panel->raise();
    if (panel == m_frElement) {
        m_comNE->setFocus();
    } else {
        QLineEdit *input = panel == m_frClass ? m_txtNC : m_txtNI;
        input->setFocus();
        input->selectAll();
    }
}

void Form1::commitPanel(QFrame *panel)
{
    QString name;
    QString message;
    if (panel == m_frElement) {
        name = m_comNE->currentText();
        message = QStringLiteral("Please choose an element.");
    } else if (panel == m_frClass) {
        name = m_txtNC->text();
        message = QStringLiteral("Please enter a valid class name.");
    } else {
        name = m_txtNI->text();
        message = QStringLiteral("Please enter a valid ID name.");
    }
    if (name.isEmpty()) {
        MsgBox(this, message, DialogSeam::Critical);
        return;
    }
    InsertRule(*m_mainText, m_blocks, panel == m_frID ? u'#' + name : name);
    panel->hide();
    RefreshMe();
    FillTree();
    m_mainText->setFocus();
}

void Form1::newFromTree()
{
    const QString path = m_tv->fullPath(m_tv->currentIndex());
    if (path.startsWith(u'E'))
        openPanel(m_frElement);
    else if (path.startsWith(u'C'))
        openPanel(m_frClass);
    else if (path.startsWith(u'I'))
        openPanel(m_frID);
}

void Form1::deleteSelector()
{
    const int node = m_tv->selectedNode();
    if (node == 0)
        return;
    const QString path = m_tv->fullPath(m_tv->indexOfNode(node));
    if (path == QLatin1String("IDs") || path == QLatin1String("Elements") || path == QLatin1String("Classes"))
        return;
    const ItmClass &block = m_blocks.Item(node - 3);
    if (!DeleteBlock(*m_mainText, block)) {
        MsgBox(this,
               QStringLiteral("The rule ") + block.ID()
                   + QStringLiteral(" has no closing brace, so where it ends is not known. Delete it in the text."),
               DialogSeam::Warning);
        return;
    }
    RefreshMe();
    FillTree();
}

void Form1::renameSelector(int node, const QString &text)
{
    if (node < 4 || node - 3 > m_blocks.Count())
        return;
    RenameSelector(*m_mainText, m_blocks.Item(node - 3), text);
    RefreshMe();
    FillTree();
    m_mainText->setFocus();
}

void Form1::jumpToNode(const QModelIndex &index)
{
    JumpToSelector(*m_mainText, m_blocks, index.data().toString());
    m_mainText->setFocus();
}

void Form1::treeMouseReleased(QMouseEvent *event)
{
    const QModelIndex index = m_tv->indexAt(event->position().toPoint());
    if (!index.isValid())
        return;
    const bool group = m_tv->nodeIndex(index) <= 3;
    if (event->button() == Qt::RightButton) {
        m_mTDelete->setEnabled(!group);
        m_mTrename->setEnabled(!group);
        m_tv->setCurrentIndex(index);
        m_mTree->popup(m_tv->viewport()->mapToGlobal(event->position().toPoint()));
    } else if (event->button() == Qt::LeftButton) {
        m_tbPDelete->setEnabled(!group);
    }
}

// ---- Caret tracking ----

QString Form1::caretStatusText() const
{
    return m_panel2->text();
}

void Form1::onMainTextSelChange()
{
    m_curLine = CaretLine(*m_mainText);
    if (!m_mainText->colouring() && m_curLine != m_prevLine && m_mainText->selLength() == 0)
        catchUp();
    m_prevLine = CaretLine(*m_mainText);
    m_panel2->setText(CaretPositionText(m_curLine, LineCount(*m_mainText), CaretColumn(*m_mainText)));
}

void Form1::catchUp()
{
    // The editor, the list and the tree stop painting while they change and paint once
    // at the end; hiding them would move the focus and relayout the panes.
    m_lstP->setUpdatesEnabled(false);
    m_mainText->setUpdatesEnabled(false);
    const qsizetype pos = m_mainText->selStart();

    QString left = LineText(*m_mainText, m_prevLine);
    m_colouriser.ColourLine(left, LineStart(*m_mainText, m_prevLine), QStringLiteral("Text"), m_mainText);
    {
        const ColouringScope colouring(*m_mainText);
        m_mainText->setSelStart(pos);
    }

    // The blocks still describe the text as it was at the last rebuild.
    const qsizetype cur = m_blocks.FindCurrentBlock(pos);
    if (m_blocks.Count() > 0)
        loadValueColumn(cur);

    m_tv->setUpdatesEnabled(false);
    RefreshMe();
    FillTree();
    m_tv->setUpdatesEnabled(true);
    m_lstP->setUpdatesEnabled(true);
    m_mainText->setUpdatesEnabled(true);
    m_mainText->setFocus();
}

void Form1::loadValueColumn(qsizetype currentBlock)
{
    static const QBrush black(QColor(0, 0, 0));
    static const QBrush darkRed(QColor(128, 0, 0));
    const int rows = m_lstP->topLevelItemCount();
    for (int r = 0; r < rows; ++r) {
        QTreeWidgetItem *row = m_lstP->topLevelItem(r);
        if (!row->text(1).isEmpty())
            row->setText(1, QString());
        if (row->foreground(0) != black) {
            row->setForeground(0, black);
            row->setForeground(1, black);
        }
    }
    if (currentBlock == -1)
        return;
    const ItmClass &block = m_blocks.Item(currentBlock);
    // Rows stand in catalogue order, so row j is the property PropName[j].
    for (int j = 0; j < rows && j < int(m_catalogue.PropName.size()); ++j) {
        const std::optional<QString> value = DeclaredValue(m_mainText->model(), block, m_catalogue.PropName[size_t(j)]);
        if (!value)
            continue;
        QTreeWidgetItem *row = m_lstP->topLevelItem(j);
        row->setText(1, *value);
        row->setForeground(0, darkRed);
        row->setForeground(1, darkRed);
    }
}

// ---- Shut-down ----

bool Form1::askToSave()
{
    if (m_mainText->text() == m_savedText)
        return true;
    const int answer = MsgBox(this, QStringLiteral("Saves Changes to ") + m_docTitle + QStringLiteral("?"),
                              DialogSeam::YesNoCancel | DialogSeam::Question);
    if (answer == DialogSeam::Cancel)
        return false;
    if (answer == DialogSeam::Yes)
        return Save(); // an abandoned or failed save keeps the window open
    return true;
}

void Form1::closeEvent(QCloseEvent *event)
{
    if (!askToSave()) {
        event->ignore();
        return;
    }
    savePlacement();
    deletePreviewCopies();
    m_recent.writeRecentList(m_settings);
    event->accept();
}

void Form1::savePlacement()
{
    using namespace keys::window;
    const auto single = [](float v) { return QString::number(v, 'g', 7); };
    m_settings.write(Section, Top, single(pxToTwipsY(pos().y())));
    m_settings.write(Section, Left, single(pxToTwipsX(pos().x())));
    m_settings.write(Section, Width, single(pxToTwipsX(width())));
    m_settings.write(Section, Height, single(pxToTwipsY(height())));
    m_settings.write(Section, State, isMaximized() ? QString(StateMaximised) : QString(StateNormal));
}

void Form1::deletePreviewCopies()
{
    // Composed preview pages are written beside each stored page; they are temporary.
    for (int i = 1; i <= 30; ++i) {
        const QString page = m_settings.read(keys::preview::Section, keys::preview::file(i));
        if (page.isEmpty())
            break;
        const QString copy = page + QStringLiteral("prvw.htm");
        if (QFileInfo(copy).isFile())
            QFile::remove(copy);
    }
}

// ---- Layout and splitter ----

bool Form1::eventFilter(QObject *watched, QEvent *event)
{
    // Events arrive while the window is still being built; the tree may not exist yet.
    if (!m_tv) {
    } else if (watched == m_tv->viewport() && event->type() == QEvent::MouseButtonRelease) {
        treeMouseReleased(static_cast<QMouseEvent *>(event));
    } else if (watched == m_tv && event->type() == QEvent::ContextMenu) {
        // The mouse opens the popup on release; the keyboard's menu key opens it at
        // the current node.
        const auto *menuEvent = static_cast<QContextMenuEvent *>(event);
        if (menuEvent->reason() == QContextMenuEvent::Keyboard && m_tv->currentIndex().isValid()) {
            const bool group = m_tv->nodeIndex(m_tv->currentIndex()) <= 3;
            m_mTDelete->setEnabled(!group);
            m_mTrename->setEnabled(!group);
            m_mTree->popup(m_tv->viewport()->mapToGlobal(m_tv->visualRect(m_tv->currentIndex()).center()));
        }
        return true;
    } else if ((watched == m_comNE || watched == m_txtNC || watched == m_txtNI) && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        QFrame *panel = watched == m_comNE ? m_frElement : watched == m_txtNC ? m_frClass : m_frID;
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            commitPanel(panel);
            return true;
        }
        if (key->key() == Qt::Key_Escape) {
            panel->hide();
            return true;
        }
    }
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

    // The new-selector panels sit over the bottom of the tree.
    for (QFrame *panel : {m_frElement, m_frClass, m_frID})
        placePanel(panel);
}

} // namespace sheetsmith
