// The Settings dialog's controls and their layout; what they do is in frmoptions.cpp.

#include "settings/frmoptions.h"

#include "settings/settingskeys.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStackedLayout>
#include <QTabBar>
#include <QVBoxLayout>

namespace sheetsmith {

namespace {

QPushButton *button(QWidget *parent, const QString &name, const QString &caption)
{
    auto *b = new QPushButton(caption, parent);
    b->setObjectName(name);
    return b;
}

QLabel *label(QWidget *parent, const QString &name, const QString &caption)
{
    auto *l = new QLabel(caption, parent);
    if (!name.isEmpty())
        l->setObjectName(name);
    return l;
}

} // namespace

QWidget *FrmOptions::sample(QWidget *parent, const QString &name, const QString &what)
{
    auto *shape = new QWidget(parent);
    shape->setObjectName(name);
    shape->setAutoFillBackground(true);
    shape->setAccessibleName(what);
    shape->setMinimumSize(48, 18);
    shape->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    return shape;
}

void FrmOptions::buildControls()
{
    m_tb = new QTabBar(this);
    m_tb->setObjectName(QStringLiteral("Tb"));
    m_tb->addTab(QStringLiteral("Editor"));
    m_tb->addTab(QStringLiteral("Preview"));
    connect(m_tb, &QTabBar::currentChanged, this, &FrmOptions::showPage);

    buildEditorPage();
    buildPreviewPage();

    // Both pages share one place; the stack keeps the window the size of the larger,
    // so switching tabs does not resize it.
    m_pages = new QStackedLayout;
    m_pages->addWidget(m_frEditor);
    m_pages->addWidget(m_frPreview);

    QPushButton *cmdApply = button(this, QStringLiteral("CmdApply"), QStringLiteral("&Apply"));
    QPushButton *cmdCancel = button(this, QStringLiteral("CmdCancel"), QStringLiteral("&Cancel"));
    connect(cmdApply, &QPushButton::clicked, this, [this] { apply(); });
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
    auto *dialogButtons = new QHBoxLayout;
    dialogButtons->addStretch(1);
    dialogButtons->addWidget(cmdApply);
    dialogButtons->addWidget(cmdCancel);

    auto *outer = new QVBoxLayout(this);
    outer->addWidget(m_tb);
    outer->addLayout(m_pages, 1);
    outer->addLayout(dialogButtons);
    // A fixed dialog border: the window keeps the size its contents need.
    outer->setSizeConstraint(QLayout::SetFixedSize);
}


void FrmOptions::buildEditorPage()
{
    m_frEditor = new QWidget(this);
    m_frEditor->setObjectName(QStringLiteral("FrEditor"));

    m_comFont = new QComboBox(m_frEditor);
    m_comFont->setObjectName(QStringLiteral("ComFont"));
    // Editable, so that a stored family that is not installed here still shows.
    m_comFont->setEditable(true);
    m_comFont->setInsertPolicy(QComboBox::NoInsert);
    QLabel *lblFont = label(m_frEditor, QStringLiteral("LblFont"), QStringLiteral("Font : "));
    lblFont->setBuddy(m_comFont);

    m_comSize = new QComboBox(m_frEditor);
    m_comSize->setObjectName(QStringLiteral("ComSize"));
    m_comSize->setEditable(true);
    m_comSize->setInsertPolicy(QComboBox::NoInsert);
    QLabel *lblSize = label(m_frEditor, QString(), QStringLiteral("Size : "));
    lblSize->setBuddy(m_comSize);

    m_txtTab = new QLineEdit(m_frEditor);
    m_txtTab->setObjectName(QStringLiteral("TxtTab"));
    QLabel *lblTab = label(m_frEditor, QString(), QStringLiteral("Tab Width : "));
    lblTab->setBuddy(m_txtTab);

    m_chkComplete = new QCheckBox(QStringLiteral("Complete property names and keywords while typing"), m_frEditor);
    m_chkComplete->setObjectName(QStringLiteral("ChkComplete"));
    m_chkSwatches = new QCheckBox(QStringLiteral("Show colour swatches"), m_frEditor);
    m_chkSwatches->setObjectName(QStringLiteral("ChkSwatches"));
    m_chkCheck = new QCheckBox(QStringLiteral("Check the sheet while editing"), m_frEditor);
    m_chkCheck->setObjectName(QStringLiteral("ChkCheck"));
    // Each entry carries the level's stored key.
    m_comCheckLevel = new QComboBox(m_frEditor);
    m_comCheckLevel->setObjectName(QStringLiteral("ComCheckLevel"));
    m_comCheckLevel->addItem(QStringLiteral("CSS level 1"), QString(keys::editor::CheckLevelCss1));
    m_comCheckLevel->addItem(QStringLiteral("Current CSS"), QString(keys::editor::CheckLevelCurrent));
    QLabel *lblCheckLevel = label(m_frEditor, QStringLiteral("LblCheckLevel"), QStringLiteral("Check against : "));
    lblCheckLevel->setBuddy(m_comCheckLevel);
    // The level means nothing while the check is off.
    connect(m_chkCheck, &QCheckBox::toggled, m_comCheckLevel, &QWidget::setEnabled);

    QGroupBox *frCodeColors = buildColourGroup(m_frEditor);

    auto *editorGrid = new QGridLayout(m_frEditor);
    editorGrid->addWidget(lblFont, 0, 0);
    editorGrid->addWidget(m_comFont, 0, 1);
    editorGrid->addWidget(lblSize, 1, 0);
    editorGrid->addWidget(m_comSize, 1, 1);
    editorGrid->addWidget(lblTab, 2, 0);
    editorGrid->addWidget(m_txtTab, 2, 1);
    editorGrid->addWidget(frCodeColors, 3, 0, 1, 2);
    editorGrid->addWidget(m_chkComplete, 4, 0, 1, 2);
    editorGrid->addWidget(m_chkSwatches, 5, 0, 1, 2);
    editorGrid->addWidget(m_chkCheck, 6, 0, 1, 2);
    editorGrid->addWidget(lblCheckLevel, 7, 0);
    editorGrid->addWidget(m_comCheckLevel, 7, 1);
    editorGrid->setColumnStretch(1, 1);
    editorGrid->setRowStretch(8, 1);
}

QGroupBox *FrmOptions::buildColourGroup(QWidget *page)
{
    auto *frCodeColors = new QGroupBox(QStringLiteral(" Color Coding "), page);
    frCodeColors->setObjectName(QStringLiteral("FrCodeColors"));
    m_shpComments = sample(frCodeColors, QStringLiteral("ShpComments"), QStringLiteral("Comments colour"));
    m_shpBrackets = sample(frCodeColors, QStringLiteral("ShpBrackets"), QStringLiteral("Brackets colour"));
    m_shpSelectors = sample(frCodeColors, QStringLiteral("ShpSelectors"), QStringLiteral("Selectors colour"));
    QPushButton *cmdComments = button(frCodeColors, QStringLiteral("CmdComments"), QStringLiteral("..."));
    cmdComments->setAccessibleName(QStringLiteral("Choose the comments colour"));
    QPushButton *cmdBrackets = button(frCodeColors, QStringLiteral("CmdBrackets"), QStringLiteral("..."));
    cmdBrackets->setAccessibleName(QStringLiteral("Choose the brackets colour"));
    QPushButton *cmdSelectors = button(frCodeColors, QStringLiteral("CmdSelectors"), QStringLiteral("..."));
    cmdSelectors->setAccessibleName(QStringLiteral("Choose the selectors colour"));
    connect(cmdComments, &QPushButton::clicked, this, [this] { pickColour(Comments); });
    connect(cmdBrackets, &QPushButton::clicked, this, [this] { pickColour(Brackets); });
    connect(cmdSelectors, &QPushButton::clicked, this, [this] { pickColour(Selectors); });

    auto *colourGrid = new QGridLayout(frCodeColors);
    const struct
    {
        QString caption;
        QWidget *shape;
        QPushButton *cmd;
    } colourRows[] = {
        {QStringLiteral("Comments :"), m_shpComments, cmdComments},
        {QStringLiteral("Brackets   : "), m_shpBrackets, cmdBrackets},
        {QStringLiteral("Selectors  : "), m_shpSelectors, cmdSelectors},
    };
    int row = 0;
    for (const auto &r : colourRows) {
        colourGrid->addWidget(label(frCodeColors, QString(), r.caption), row, 0);
        colourGrid->addWidget(r.shape, row, 1);
        colourGrid->addWidget(r.cmd, row, 2);
        ++row;
    }
    return frCodeColors;
}

void FrmOptions::buildPreviewPage()
{
    m_frPreview = new QWidget(this);
    m_frPreview->setObjectName(QStringLiteral("FrPreview"));
    QLabel *lblBrowsers = label(m_frPreview, QStringLiteral("LblBrowsers"),
                                QStringLiteral("Installed Browsers:"));
    m_lstBrowsers = new QListWidget(m_frPreview);
    m_lstBrowsers->setObjectName(QStringLiteral("LstBrowsers"));
    m_lstBrowsers->setSelectionMode(QAbstractItemView::SingleSelection);
    lblBrowsers->setBuddy(m_lstBrowsers);
    // The paths, entry i beside name i; never shown.
    m_lstlBrowsers = new QListWidget(m_frPreview);
    m_lstlBrowsers->setObjectName(QStringLiteral("LstlBrowsers"));
    m_lstlBrowsers->hide();

    QPushButton *cmdAdd = button(m_frPreview, QStringLiteral("CmdAdd"), QStringLiteral("Add..."));
    QPushButton *cmdEdit = button(m_frPreview, QStringLiteral("CmdEdit"), QStringLiteral("Edit..."));
    m_cmdDelete = button(m_frPreview, QStringLiteral("CmdDelete"), QStringLiteral("Delete"));
    connect(cmdAdd, &QPushButton::clicked, this, &FrmOptions::cmdAddClick);
    connect(cmdEdit, &QPushButton::clicked, this, &FrmOptions::cmdEditClick);
    connect(m_cmdDelete, &QPushButton::clicked, this, &FrmOptions::cmdDeleteClick);

    m_frAdd = new QGroupBox(addCaption(), m_frPreview);
    m_frAdd->setObjectName(QStringLiteral("FrAdd"));
    m_txtName = new QLineEdit(m_frAdd);
    m_txtName->setObjectName(QStringLiteral("TxtName"));
    m_txtPath = new QLineEdit(m_frAdd);
    m_txtPath->setObjectName(QStringLiteral("TxtPath"));
    QLabel *lblName = label(m_frAdd, QString(), QStringLiteral("Name:"));
    lblName->setBuddy(m_txtName);
    QLabel *lblPath = label(m_frAdd, QString(), QStringLiteral("Path :"));
    lblPath->setBuddy(m_txtPath);
    QPushButton *cmdBrowse = button(m_frAdd, QStringLiteral("CmdBrowse"), QStringLiteral("..."));
    cmdBrowse->setAccessibleName(QStringLiteral("Browse for the browser program"));
    QPushButton *cmdAddOK = button(m_frAdd, QStringLiteral("CmdAddOK"), QStringLiteral("Add Browser"));
    connect(cmdBrowse, &QPushButton::clicked, this, &FrmOptions::cmdBrowseClick);
    connect(cmdAddOK, &QPushButton::clicked, this, &FrmOptions::cmdAddOKClick);

    auto *addGrid = new QGridLayout(m_frAdd);
    addGrid->addWidget(lblName, 0, 0);
    addGrid->addWidget(m_txtName, 0, 1, 1, 2);
    addGrid->addWidget(lblPath, 1, 0);
    addGrid->addWidget(m_txtPath, 1, 1);
    addGrid->addWidget(cmdBrowse, 1, 2);
    addGrid->addWidget(cmdAddOK, 2, 1, 1, 2, Qt::AlignRight);
    addGrid->setColumnStretch(1, 1);
    m_frAdd->hide();

    auto *listButtons = new QVBoxLayout;
    listButtons->addWidget(cmdAdd);
    listButtons->addWidget(cmdEdit);
    listButtons->addWidget(m_cmdDelete);
    listButtons->addStretch(1);
    auto *previewGrid = new QGridLayout(m_frPreview);
    previewGrid->addWidget(lblBrowsers, 0, 0, 1, 2);
    previewGrid->addWidget(m_lstBrowsers, 1, 0);
    previewGrid->addLayout(listButtons, 1, 1);
    previewGrid->addWidget(m_frAdd, 2, 0, 1, 2);
    previewGrid->setColumnStretch(0, 1);
    previewGrid->setRowStretch(1, 1);
}

} // namespace sheetsmith
