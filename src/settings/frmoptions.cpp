#include "settings/frmoptions.h"

#include "dialogs/dialogseam.h"
#include "dialogs/focusreturn.h"
#include "editor/colouring.h"
#include "editor/qtcolour.h"
#include "editor/richedit.h"
#include "settings/optionsrules.h"
#include "settings/settingskeys.h"
#include "settings/settingsstore.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPalette>
#include <QPushButton>
#include <QStackedLayout>
#include <QTabBar>

#include <optional>
#include <utility>

namespace sheetsmith {

namespace {

const QString kAddCaption = QStringLiteral(" Add Browser ");
const QString kEditCaption = QStringLiteral(" Edit Browser ");
const QString kCancel = QStringLiteral("Cancel");

constexpr int kMinListedSize = 7;
constexpr int kMaxListedSize = 24;

} // namespace

QPointer<FrmOptions> FrmOptions::s_instance;

QString FrmOptions::addCaption()
{
    return kAddCaption;
}

FrmOptions::FrmOptions(SettingsStore &store, RichEdit &editor, Colouriser &colouriser,
                       QLabel *statusPanel1, std::function<void()> refreshBrowserMenu,
                       QWidget *owner)
    : QDialog(owner),
      m_store(store),
      m_editor(&editor),
      m_colouriser(colouriser),
      m_statusPanel1(statusPanel1),
      m_refreshBrowserMenu(std::move(refreshBrowserMenu))
{
    setObjectName(QStringLiteral("FrmOptions"));
    setWindowTitle(QStringLiteral("Options"));
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);
    FocusReturn::watch(this);
    buildControls();
    loadFromStore();
    m_tb->setCurrentIndex(0);
    showPage(0);
}

FrmOptions::~FrmOptions() = default;

FrmOptions *FrmOptions::showFor(QWidget *owner, SettingsStore &store, RichEdit &editor,
                                Colouriser &colouriser, QLabel *statusPanel1,
                                std::function<void()> refreshBrowserMenu)
{
    if (!s_instance) {
        // Owned by owner; deletes itself when closed.
        s_instance = new FrmOptions(store, editor, colouriser, statusPanel1,
                                    std::move(refreshBrowserMenu), owner);
    }
    s_instance->show();
    s_instance->raise();
    s_instance->activateWindow();
    return s_instance;
}

FrmOptions *FrmOptions::instance()
{
    return s_instance;
}

void FrmOptions::setSampleColour(QWidget *sample, ColourValue colour)
{
    QPalette palette = sample->palette();
    palette.setColor(QPalette::Window, colourToQColor(colour));
    sample->setPalette(palette);
    sample->setAccessibleDescription(QLatin1Char('#') + ColorToHex(colour));
}

ColourValue FrmOptions::sampleColour(const QWidget *sample)
{
    return colourFromQColor(sample->palette().color(QPalette::Window));
}

QWidget *FrmOptions::sampleOf(ColourKind kind) const
{
    switch (kind) {
    case Selectors:
        return m_shpSelectors;
    case Brackets:
        return m_shpBrackets;
    case Comments:
        break;
    }
    return m_shpComments;
}

ColourValue FrmOptions::commentsColour() const
{
    return sampleColour(m_shpComments);
}

ColourValue FrmOptions::bracketsColour() const
{
    return sampleColour(m_shpBrackets);
}

ColourValue FrmOptions::selectorsColour() const
{
    return sampleColour(m_shpSelectors);
}

void FrmOptions::loadFromStore()
{
    namespace e = keys::editor;
    namespace p = keys::preview;

    // Every installed family in the platform's order.
    m_comFont->clear();
    m_comFont->addItems(QFontDatabase::families());
    for (int size = kMinListedSize; size <= kMaxListedSize; ++size)
        m_comSize->addItem(QString::number(size));
    m_comFont->setCurrentText(m_store.read(e::Section, e::FontName));
    m_comSize->setCurrentText(m_store.read(e::Section, e::FontSize));

    // The samples start from the colours in effect: a stored number that is missing or
    // malformed reads as the colour the editor actually uses for that kind.
    const EditorSettings effective = m_store.editorSettings();
    setSampleColour(m_shpComments, effective.commentColourValue);
    setSampleColour(m_shpSelectors, effective.selectorColourValue);
    setSampleColour(m_shpBrackets, effective.bracketColourValue);

    m_txtTab->setText(m_store.read(e::Section, e::TabWidth));
    // Missing or anything but "0" means on.
    m_chkComplete->setChecked(m_store.read(e::Section, e::Complete) != QLatin1String("0"));
    m_chkSwatches->setChecked(m_store.read(e::Section, e::Swatches) != QLatin1String("0"));
    m_chkCheck->setChecked(m_store.read(e::Section, e::Check) != QLatin1String("0"));
    m_comCheckLevel->setEnabled(m_chkCheck->isChecked());
    // Missing or malformed means CSS level 1; the key's letter case does not count.
    const bool current = m_store.read(e::Section, e::CheckLevel).compare(e::CheckLevelCurrent, Qt::CaseInsensitive) == 0;
    m_comCheckLevel->setCurrentIndex(current ? 1 : 0);

    for (int n = 1; n <= p::MaxBrowsers; ++n) {
        const QString name = m_store.read(p::Section, p::browserName(n));
        if (name.isEmpty())
            break;
        m_lstBrowsers->addItem(name);
        m_lstlBrowsers->addItem(m_store.read(p::Section, p::browserPath(n)));
    }
}

void FrmOptions::showPage(int index)
{
    m_pages->setCurrentWidget(index == 1 ? m_frPreview : m_frEditor);
}

void FrmOptions::pickColour(ColourKind kind)
{
    // The dialog starts from the colour the editor colours with now, not from the
    // sample, so a pick that was not applied is not offered again.
    ColourValue start = 0;
    switch (kind) {
    case Selectors:
        start = m_colouriser.SelectorColourValue();
        break;
    case Brackets:
        start = m_colouriser.BracketColourValue();
        break;
    case Comments:
        start = m_colouriser.CommentColourValue();
        break;
    }
    m_dialogs.setFlags(CdlgEx::ColourRgbInit);
    m_dialogs.setHOwner(this);
    m_dialogs.setRGBResult(start);
    m_dialogs.ShowColor();
    if (m_dialogs.cdlError() != kCancel)
        setSampleColour(sampleOf(kind), m_dialogs.RGBResult());
}

FrmOptions::BrowserFrameMode FrmOptions::browserFrameMode() const
{
    if (m_frAdd->isHidden())
        return FrameHidden;
    return m_frAdd->title() == kEditCaption ? FrameEditing : FrameAdding;
}

void FrmOptions::cmdAddClick()
{
    // Only ten browsers are read back and cleared by the next Apply: an eleventh would
    // be stored and then never shown or removed again.
    if (m_lstBrowsers->count() >= keys::preview::MaxBrowsers) {
        MsgBox(this, QStringLiteral("No more than %1 browsers can be listed.")
                         .arg(keys::preview::MaxBrowsers),
               DialogSeam::Information);
        return;
    }
    m_frAdd->setTitle(kAddCaption);
    m_txtPath->clear();
    m_txtName->clear();
    m_frAdd->show();
    m_txtName->setFocus();
}

void FrmOptions::cmdEditClick()
{
    QListWidgetItem *item = m_lstBrowsers->currentItem();
    if (!item || !item->isSelected())
        return;
    const int row = m_lstBrowsers->row(item);
    m_frAdd->setTitle(kEditCaption);
    m_frAdd->show();
    m_txtName->setText(item->text());
    QListWidgetItem *path = m_lstlBrowsers->item(row);
    m_txtPath->setText(path ? path->text() : QString());
}

void FrmOptions::cmdDeleteClick()
{
    QListWidgetItem *item = m_lstBrowsers->currentItem();
    if (!item || !item->isSelected())
        return;
    const int row = m_lstBrowsers->row(item);
    delete m_lstBrowsers->takeItem(row);
    delete m_lstlBrowsers->takeItem(row);
    // An edit under way belonged to an entry that may be the one just removed; ending
    // it keeps "Add Browser" from overwriting whichever entry is selected next.
    if (browserFrameMode() == FrameEditing)
        m_frAdd->hide();
}

void FrmOptions::cmdBrowseClick()
{
    // Programs here rarely end in ".exe", so all files are offered too and shown first.
    m_dialogs.setFlags(CdlgEx::HideReadOnly);
    m_dialogs.setHOwner(this);
    m_dialogs.setFilter(QStringLiteral("Executables (*.exe)|*.exe|All Files|*"));
    m_dialogs.setFilterIndex(2);
    m_dialogs.ShowOpen();
    if (m_dialogs.cdlError() == kCancel)
        return;
    m_txtPath->setText(m_dialogs.FileName());
    m_txtName->setText(m_dialogs.FileTitle());
}

void FrmOptions::cmdAddOKClick()
{
    // An empty name ends the list when it is read back, which would lose every browser
    // after it at the next Apply.
    if (m_txtName->text().trimmed().isEmpty()) {
        MsgBox(this, QStringLiteral("Please enter a name for the browser."), DialogSeam::Warning);
        m_txtName->setFocus();
        return;
    }
    const BrowserFrameMode mode = browserFrameMode();
    m_frAdd->hide();
    if (mode == FrameAdding) {
        m_lstBrowsers->addItem(m_txtName->text());
        m_lstlBrowsers->addItem(m_txtPath->text());
    } else if (mode == FrameEditing) {
        QListWidgetItem *item = m_lstBrowsers->currentItem();
        if (!item || !item->isSelected())
            return;
        const int row = m_lstBrowsers->row(item);
        item->setText(m_txtName->text());
        if (QListWidgetItem *path = m_lstlBrowsers->item(row))
            path->setText(m_txtPath->text());
        m_lstBrowsers->setCurrentRow(row);
    }
}

void FrmOptions::showStatus(const QString &text)
{
    if (m_statusPanel1)
        m_statusPanel1->setText(text);
    emit statusShown(text);
}

bool FrmOptions::valuesAcceptable()
{
    const auto refuse = [this](QWidget *field, const QString &text) {
        m_tb->setCurrentIndex(0);
        MsgBox(this, text, DialogSeam::Warning);
        field->setFocus();
        return false;
    };
    if (!IsUsableFontName(m_comFont->currentText()))
        return refuse(m_comFont, QStringLiteral("Font: please choose a font. Its name may not be "
                                                "empty or contain ; { } or \\."));
    if (!ParseFontSize(m_comSize->currentText()))
        return refuse(m_comSize, QStringLiteral("Size: please enter a number of points from %1 to %2.")
                                     .arg(kMinFontSize)
                                     .arg(kMaxFontSize));
    if (!ParseTabWidth(m_txtTab->text()))
        return refuse(m_txtTab, QStringLiteral("Tab Width: please enter a whole number from %1 to %2.")
                                    .arg(kMinTabWidth)
                                    .arg(kMaxTabWidth));
    return true;
}

bool FrmOptions::apply()
{
    if (!valuesAcceptable())
        return false;

    {
        // The rich text is replaced as the program's own change: caret tracking takes
        // the selection notifications of the replacement for that.
        std::optional<ColouringScope> colouring;
        if (m_editor)
            colouring.emplace(*m_editor);
        showStatus(QStringLiteral("Saving modified editor settings..."));
        applyEditorLook();
    }

    showStatus(QStringLiteral("Saving modified preview settings..."));
    storeBrowsers();
    if (m_refreshBrowserMenu)
        m_refreshBrowserMenu();

    showStatus(QStringLiteral("Ready"));
    QWidget *owner = parentWidget();
    close();
    if (owner) {
        owner->raise();
        owner->activateWindow();
    }
    return true;
}

void FrmOptions::applyEditorLook()
{
    namespace e = keys::editor;

    const QString fontName = m_comFont->currentText().trimmed();
    const QString sizeText = m_comSize->currentText().trimmed();
    const double size = ParseFontSize(sizeText).value_or(keys::defaults::FontSize);
    const int halfPoints = HalfPoints(size);
    const QString tabText = m_txtTab->text().trimmed();

    // Selectors, braces, comments: the order of the colour-table rewrite and of storing.
    const KindColours newColours{selectorsColour(), bracketsColour(), commentsColour()};
    const RestylePlan plan = PlanRestyle(m_store.editorSettings().syntaxColours(), newColours);

    if (RichEdit *editor = m_editor.data()) {
        // One load for all the rewrites: the text is the same, so the caret and the undo
        // history stay, and only colours and font change.
        editor->setTextRTF(RestyleRtf(editor->textRTF(), editor->text(), editor->fontName(),
                                      fontName, halfPoints, plan));
        // The rewrite finds the font only where the table holds the editor's name as
        // given; setting it again makes sure the editor shows what is stored.
        editor->setEditorFont(fontName, size);
    }

    m_store.write(e::Section, e::FontName, fontName);
    m_store.write(e::Section, e::FontSize, sizeText);
    m_store.write(e::Section, e::TabWidth, tabText);
    m_store.write(e::Section, e::Complete, m_chkComplete->isChecked() ? QStringLiteral("1") : QStringLiteral("0"));
    m_store.write(e::Section, e::Swatches, m_chkSwatches->isChecked() ? QStringLiteral("1") : QStringLiteral("0"));
    m_store.write(e::Section, e::Check, m_chkCheck->isChecked() ? QStringLiteral("1") : QStringLiteral("0"));
    m_store.write(e::Section, e::CheckLevel, m_comCheckLevel->currentData().toString());
    const QLatin1String definitionKeys[] = {e::Selectors, e::Brackets, e::Comments};
    const QLatin1String numberKeys[] = {e::LSelectors, e::LBrackets, e::LComments};
    for (size_t k = 0; k < 3; ++k) {
        m_store.write(e::Section, definitionKeys[k], plan.newDefinitions[k]);
        m_store.write(e::Section, numberKeys[k], QString::number(newColours[k]));
    }

    // Lines coloured from now on take the new colours.
    m_colouriser.setColours(m_store.editorSettings().syntaxColours());
    if (RichEdit *editor = m_editor.data())
        applySwatchSettings(*editor, m_store);
}

void FrmOptions::applySwatchSettings(RichEdit &editor, const SettingsStore &store)
{
    namespace e = keys::editor;
    // Missing or anything but "0" means on; the level's key as the check reads it.
    const bool shown = store.read(e::Section, e::Swatches) != QLatin1String("0");
    const bool current = store.read(e::Section, e::CheckLevel).compare(e::CheckLevelCurrent, Qt::CaseInsensitive) == 0;
    editor.setSwatches(shown, current ? ColourForms::Current : ColourForms::Css1);
}

void FrmOptions::storeBrowsers()
{
    namespace p = keys::preview;
    for (int n = 1; n <= p::MaxBrowsers; ++n) {
        m_store.remove(p::Section, p::browserName(n));
        m_store.remove(p::Section, p::browserPath(n));
    }
    for (int i = 0; i < m_lstBrowsers->count(); ++i) {
        m_store.write(p::Section, p::browserName(i + 1), m_lstBrowsers->item(i)->text());
        QListWidgetItem *path = m_lstlBrowsers->item(i);
        m_store.write(p::Section, p::browserPath(i + 1), path ? path->text() : QString());
    }
}

} // namespace sheetsmith
