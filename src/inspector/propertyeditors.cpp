// The value editors of the property list: built once, opened over the Value cell that
// asks for them, placed and kept over it, and committed or cancelled. The list itself,
// its mouse and keys, and the writing of a value into the sheet are in
// propertyinspector.cpp.

#include "inspector/propertyinspector.h"

#include "dialogs/cdlgex.h"
#include "dialogs/focusreturn.h"
#include "inspector/catalogue.h"
#include "inspector/valuerules.h"
#include "text/colourvalue.h"

#include <QComboBox>
#include <QFontDatabase>
#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QScopedValueRollback>
#include <QTreeWidget>

#include <algorithm>

namespace sheetsmith {

namespace {

const QString kImageFilter = QStringLiteral(
    "Image Files|*.jpg;*.jpeg;*.gif;*.bmp;*.png;*.jif;*.psd;*.svg;*.tif;*.tiff;*.emf;*.wmf;*.tga|All Files|*.*");
const QString kFontSample = QStringLiteral("This is an EXAMPLE");
// The picker's list and sample show their text in Tahoma where it is installed, and in
// the desktop's own font where it is not.
void preferTahoma(QWidget *widget)
{
    QFont font = widget->font();
    font.setFamilies({QStringLiteral("Tahoma"), font.family()});
    widget->setFont(font);
}

QLineEdit *makeLineEdit(const QString &name, const QString &accessibleName, QWidget *parent)
{
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(name);
    edit->setAccessibleName(accessibleName);
    // Frameless, like an in-place editor of a cell, so the text fits the row height.
    edit->setFrame(false);
    return edit;
}

// A frame shown over the Value cell, holding a number box and what follows it.
QFrame *makeCellFrame(const QString &name, const QString &accessibleName, QWidget *parent)
{
    auto *frame = new QFrame(parent);
    frame->setObjectName(name);
    frame->setAccessibleName(accessibleName);
    frame->setAutoFillBackground(true);
    return frame;
}

// The number box and what follows it (the unit list, the "%" label) in one row of the
// frame, hidden until a cell asks for it.
void layOutNumberRow(QFrame *frame, QWidget *number, QWidget *after, int spacing)
{
    auto *row = new QHBoxLayout(frame);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(spacing);
    // The frame takes the cell's height even where the boxes would like more.
    row->setSizeConstraint(QLayout::SetNoConstraint);
    row->addWidget(number, 1);
    row->addWidget(after);
    frame->hide();
}

} // namespace

void PropertyInspector::buildEditors()
{
    const QFont listFont = m_lstP->font();

    m_comP = new QComboBox(m_host);
    m_comP->setObjectName(QStringLiteral("ComP"));
    m_comP->setAccessibleName(QStringLiteral("Property value"));
    m_comP->setEditable(true);
    m_comP->setFrame(false);
    m_comP->setFont(listFont);
    // Typed text is a value to write, never a new entry of the list, and is not
    // completed into an entry behind the author's back.
    m_comP->setInsertPolicy(QComboBox::NoInsert);
    m_comP->setCompleter(nullptr);
    // Only a choice from the list acts on an entry: leaving the box with a typed text
    // that happens to equal an entry must not choose it.
    disconnect(m_comP->lineEdit(), &QLineEdit::editingFinished, m_comP, nullptr);
    connect(m_comP, &QComboBox::activated, this, &PropertyInspector::comPActivated);
    m_comP->installEventFilter(this);
    m_comP->lineEdit()->installEventFilter(this);
    m_comP->hide();

    // The number and text boxes take the list's font and report their keys here.
    const auto valueBox = [&](const QString &name, const QString &accessibleName, QWidget *parent) {
        QLineEdit *box = makeLineEdit(name, accessibleName, parent);
        box->setFont(listFont);
        box->installEventFilter(this);
        return box;
    };

    m_txtP = valueBox(QStringLiteral("TxtP"), QStringLiteral("Property value"), m_host);
    m_txtP->hide();

    m_frLength = makeCellFrame(QStringLiteral("FrLength"), QStringLiteral("Length"), m_host);
    m_txtLength = valueBox(QStringLiteral("TxtLength"), QStringLiteral("Length number"), m_frLength);
    m_comLength = new QComboBox(m_frLength);
    m_comLength->setObjectName(QStringLiteral("ComLength"));
    m_comLength->setAccessibleName(QStringLiteral("Length unit"));
    m_comLength->setFrame(false);
    m_comLength->setFont(listFont);
    m_comLength->addItems(LengthUnits());
    m_comLength->setCurrentIndex(DefaultLengthUnit);
    layOutNumberRow(m_frLength, m_txtLength, m_comLength, 0);

    m_frPercent = makeCellFrame(QStringLiteral("FrPercent"), QStringLiteral("Percentage"), m_host);
    m_txtPercent = valueBox(QStringLiteral("TxtPercent"), QStringLiteral("Percentage number"), m_frPercent);
    m_lblPercent = new QLabel(QStringLiteral("%"), m_frPercent);
    m_lblPercent->setObjectName(QStringLiteral("LblPercent"));
    m_lblPercent->setFont(listFont);
    m_lblPercent->setBuddy(m_txtPercent);
    layOutNumberRow(m_frPercent, m_txtPercent, m_lblPercent, 2);

    // A closed editor leaves the focus where it was when the editor opened.
    for (QWidget *editor : std::initializer_list<QWidget *>{m_comP, m_txtP, m_frLength, m_frPercent})
        FocusReturn::watch(editor);
}

void PropertyInspector::buildFontPicker()
{
    m_txtFontList = makeLineEdit(QStringLiteral("TxtFontList"), QStringLiteral("Font families"), m_host);
    preferTahoma(m_txtFontList);
    m_txtFontList->hide();

    m_lstFont = new QListWidget(m_host);
    m_lstFont->setObjectName(QStringLiteral("LstFont"));
    m_lstFont->setAccessibleName(QStringLiteral("Fonts"));
    m_lstFont->setSelectionMode(QAbstractItemView::SingleSelection);
    preferTahoma(m_lstFont);
    // Mouse moves without a button pressed show a sample of the font under the mouse.
    m_lstFont->setMouseTracking(true);
    m_lstFont->viewport()->setMouseTracking(true);
    m_lstFont->viewport()->installEventFilter(this);
    connect(m_lstFont, &QListWidget::itemChanged, this, &PropertyInspector::fontListChanged);
    m_lstFont->hide();

    m_txtFontPreview = new QLineEdit(kFontSample, m_host);
    m_txtFontPreview->setObjectName(QStringLiteral("TxtFontPreview"));
    m_txtFontPreview->setAccessibleName(QStringLiteral("Font sample"));
    m_txtFontPreview->hide();
    for (QWidget *part : std::initializer_list<QWidget *>{m_txtFontList, m_lstFont, m_txtFontPreview})
        FocusReturn::watch(part);
}

void PropertyInspector::fillFontList()
{
    QScopedValueRollback filling(m_fillingFonts, true);
    // Every installed family in the platform's order: no sorting, no removal of
    // duplicates.
    m_lstFont->clear();
    m_lstFont->addItems(QFontDatabase::families());
    const QStringList generic = GenericFontEntries();
    for (int i = 0; i < generic.size(); ++i)
        m_lstFont->insertItem(i, generic.at(i));
    for (int i = 0; i < m_lstFont->count(); ++i) {
        QListWidgetItem *item = m_lstFont->item(i);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
    }
}

QString PropertyInspector::FontFamilyList() const
{
    QList<FontEntry> entries;
    entries.reserve(m_lstFont->count());
    for (int i = 0; i < m_lstFont->count(); ++i) {
        const QListWidgetItem *item = m_lstFont->item(i);
        entries.append(FontEntry{item->text(), item->checkState() == Qt::Checked});
    }
    return sheetsmith::FontFamilyList(entries);
}

// ---- Opening and committing ----

void PropertyInspector::commitEditors()
{
    QScopedValueRollback busy(m_busy, true);
    // The editor is closed before anything is written, so that the focus and
    // selection changes of the write find nothing open.
    const OpenEditor open = std::exchange(m_open, OpenEditor::None);
    hideEditor(open);
    switch (open) {
    case OpenEditor::None:
        break;
    case OpenEditor::ComP:
        commitValue(m_comP->currentText());
        break;
    case OpenEditor::TxtP:
        commitValue(m_txtP->text());
        break;
    case OpenEditor::FontPicker:
        commitValue(m_txtFontList->text());
        break;
    case OpenEditor::Length: {
        // A unit without a number is no length: the cell keeps its value.
        const QString number = m_txtLength->text().trimmed();
        if (!number.isEmpty())
            commitValue(number + m_comLength->currentText());
        break;
    }
    case OpenEditor::Percent: {
        const QString number = m_txtPercent->text().trimmed();
        if (!number.isEmpty())
            commitValue(number + u'%');
        break;
    }
    }
}

void PropertyInspector::closeEditor()
{
    QScopedValueRollback busy(m_busy, true);
    hideEditor(std::exchange(m_open, OpenEditor::None));
}

void PropertyInspector::hideEditor(OpenEditor editor)
{
    switch (editor) {
    case OpenEditor::None:
        break;
    case OpenEditor::ComP:
        m_comP->hidePopup();
        m_comP->hide();
        break;
    case OpenEditor::TxtP:
        m_txtP->hide();
        break;
    case OpenEditor::FontPicker:
        m_txtFontList->hide();
        m_txtFontPreview->hide();
        m_lstFont->hide();
        break;
    case OpenEditor::Length:
        m_frLength->hide();
        break;
    case OpenEditor::Percent:
        m_frPercent->hide();
        break;
    }
}

void PropertyInspector::openEditorForCell()
{
    const int row = m_currentCell.item;
    if (row < 0 || row >= m_lstP->topLevelItemCount() || m_currentCell.subItem < 1)
        return;
    const QString valueList = row < CataloguePropertyCount ? m_catalogue.PropValues[size_t(row)] : QString();
    switch (editorKindFor(valueList)) {
    case ValueEditorKind::DropDown:
        openComP(valueList);
        break;
    case ValueEditorKind::FontPicker:
        openFontPicker();
        break;
    case ValueEditorKind::FreeText:
        openTxtP();
        break;
    }
}

void PropertyInspector::openComP(const QString &valueList)
{
    const QString text = cellText();
    m_comP->clear();
    m_comP->addItems(DropDownEntries(valueList));
    // The entry equal to the cell's value is the current one, so the list opens on it.
    m_comP->setCurrentIndex(m_comP->findText(text));
    m_comP->setEditText(text);
    m_comPOpenedWith = text;
    m_open = OpenEditor::ComP;
    placeOver(m_comP, true);
    m_comP->setFocus();
    // The list drops down once the click that opened the box is over.
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (m_open == OpenEditor::ComP && m_comP->isVisible())
                m_comP->showPopup();
        },
        Qt::QueuedConnection);
}

void PropertyInspector::openTxtP()
{
    m_open = OpenEditor::TxtP;
    placeOver(m_txtP, true);
    m_txtP->setFocus();
    m_txtP->setText(cellText());
    if (!m_txtP->text().isEmpty())
        m_txtP->selectAll();
}

void PropertyInspector::openFontPicker()
{
    // The list keeps its check marks and TxtFontList its text from the last use: the
    // picker composes a list, it does not read the current value back.
    m_open = OpenEditor::FontPicker;
    placeFontPicker();
    m_lstFont->setFocus();
}

void PropertyInspector::openLength()
{
    // The editor opens on the row's present length, so a commit without a change
    // writes that same value (and never a second unit); other values start empty in px.
    const std::optional<NumberAndUnit> length = SplitLength(cellText());
    m_txtLength->setText(length ? length->number : QString());
    m_comLength->setCurrentIndex(length ? int(LengthUnits().indexOf(length->unit)) : DefaultLengthUnit);
    m_open = OpenEditor::Length;
    placeOver(m_frLength, true);
    m_txtLength->setFocus();
    m_txtLength->selectAll();
}

void PropertyInspector::openPercent()
{
    const std::optional<NumberAndUnit> percentage = SplitPercentage(cellText());
    m_txtPercent->setText(percentage ? percentage->number : QString());
    m_open = OpenEditor::Percent;
    placeOver(m_frPercent, false);
    m_txtPercent->setFocus();
    m_txtPercent->selectAll();
}

void PropertyInspector::comPActivated(int index)
{
    if (m_busy || m_open != OpenEditor::ComP)
        return;
    const QString entry = index >= 0 ? m_comP->itemText(index) : m_comP->currentText();
    if (entry == QLatin1String("<url>")) {
        chooseImage();
    } else if (entry == QLatin1String("<length>")) {
        closeEditor();
        openLength();
    } else if (entry == QLatin1String("<percentage>")) {
        // Nothing is written until the percentage is committed, so Esc in the editor
        // leaves the text as it was.
        closeEditor();
        openPercent();
    } else if (entry == QLatin1String("<color>")) {
        chooseColour();
    } else {
        QScopedValueRollback busy(m_busy, true);
        closeEditor();
        setCellText(entry);
        WriteDeclaration();
    }
}

void PropertyInspector::chooseImage()
{
    QScopedValueRollback busy(m_busy, true);
    m_dialogs.setFlags(CdlgEx::HideReadOnly);
    m_dialogs.setFilter(kImageFilter);
    m_dialogs.setHOwner(m_dialogOwner);
    m_dialogs.ShowOpen();
    if (m_dialogs.cdlError() == QLatin1String("Cancel")) {
        // The box stays open on the value it had, not on the placeholder.
        m_comP->setEditText(m_comPOpenedWith);
        m_comP->setFocus();
        return;
    }
    const QString value = UrlValue(RelativePath(m_docPath ? m_docPath() : QString(), m_dialogs.FileName()));
    m_comP->setEditText(value);
    closeEditor();
    setCellText(value);
    WriteDeclaration();
}

void PropertyInspector::chooseColour()
{
    QScopedValueRollback busy(m_busy, true);
    m_dialogs.setFlags(CdlgEx::ColourRgbInit | CdlgEx::ColourFullOpen);
    m_dialogs.setHOwner(m_dialogOwner);
    m_dialogs.setRGBResult(HexToColor(cellText()));
    m_dialogs.ShowColor();
    closeEditor();
    if (m_dialogs.cdlError() == QLatin1String("Cancel"))
        return;
    setCellText(u'#' + ColorToHex(WebSafeColor(m_dialogs.RGBResult())));
    WriteDeclaration();
}

bool PropertyInspector::editorKeyPressed(QObject *watched, QKeyEvent *event)
{
    const bool escape = event->key() == Qt::Key_Escape;
    OpenEditor editor = OpenEditor::None;
    if (watched == m_comP || (m_comP && watched == m_comP->lineEdit()))
        editor = OpenEditor::ComP;
    else if (watched == m_txtP)
        editor = OpenEditor::TxtP;
    else if (watched == m_txtLength)
        editor = OpenEditor::Length;
    else if (watched == m_txtPercent)
        editor = OpenEditor::Percent;
    if (editor == OpenEditor::None || editor != m_open || m_busy)
        return false;
    if (escape)
        closeEditor();
    else
        commitEditors();
    return true;
}

// ---- Placing ----

std::optional<QRect> PropertyInspector::cellGeometry(bool widen) const
{
    const int row = m_currentCell.item;
    if (!m_lstP || row < 0 || row >= m_lstP->topLevelItemCount())
        return std::nullopt;
    QRect cell = m_lstP->visualRect(m_lstP->model()->index(row, std::max(m_currentCell.subItem, 0)));
    if (widen)
        cell.setWidth(cell.width() + twipsToPixelsX(10));
    // The editor stays inside the list: only the visible part of the cell is covered.
    cell = cell.intersected(m_lstP->viewport()->rect());
    if (cell.isEmpty())
        return std::nullopt;
    return QRect(m_lstP->viewport()->mapTo(m_host.data(), cell.topLeft()), cell.size());
}

void PropertyInspector::placeOver(QWidget *editor, bool widen)
{
    QScopedValueRollback busy(m_busy, true);
    const std::optional<QRect> cell = cellGeometry(widen);
    if (!cell) {
        editor->hide();
        return;
    }
    editor->setGeometry(*cell);
    editor->show();
    editor->raise();
}

void PropertyInspector::placeFontPicker()
{
    QScopedValueRollback busy(m_busy, true);
    const std::optional<QRect> cell = cellGeometry(false);
    if (!cell) {
        m_txtFontList->hide();
        m_lstFont->hide();
        m_txtFontPreview->hide();
        return;
    }
    m_txtFontList->setGeometry(*cell);

    // The font list and the sample hang below the cell, 20 twips apart, as wide as the
    // cell or wide enough for a family name, within the list's parent.
    const QRect area = m_host->rect();
    const int gap = std::max(1, twipsToPixelsY(20));
    const int width = std::min(area.width(), std::max(cell->width(), m_lstFont->fontMetrics().averageCharWidth() * 28));
    const int left = std::clamp(cell->left(), 0, std::max(0, area.width() - width));
    const int rowHeight = std::max(1, m_lstFont->sizeHintForRow(0));
    const int frame = 2 * m_lstFont->frameWidth();
    const int previewHeight = m_txtFontPreview->sizeHint().height();
    const int listTop = cell->bottom() + 1 + gap;
    const int room = area.bottom() + 1 - listTop - gap - previewHeight;
    const int listHeight = std::max(std::min(rowHeight * 8 + frame, room), rowHeight * 3 + frame);
    m_lstFont->setGeometry(left, listTop, width, listHeight);
    m_txtFontPreview->setGeometry(left, listTop + listHeight + gap, width, previewHeight);

    for (QWidget *w : {static_cast<QWidget *>(m_txtFontList.data()), static_cast<QWidget *>(m_lstFont.data()),
                       static_cast<QWidget *>(m_txtFontPreview.data())}) {
        w->show();
        w->raise();
    }
}

void PropertyInspector::placeOpenEditor()
{
    switch (m_open) {
    case OpenEditor::None:
        break;
    case OpenEditor::ComP:
        placeOver(m_comP, true);
        break;
    case OpenEditor::TxtP:
        placeOver(m_txtP, true);
        break;
    case OpenEditor::FontPicker:
        placeFontPicker();
        break;
    case OpenEditor::Length:
        placeOver(m_frLength, true);
        break;
    case OpenEditor::Percent:
        placeOver(m_frPercent, false);
        break;
    }
}

int PropertyInspector::twipsToPixelsX(int twips) const
{
    return qRound(twips * m_lstP->logicalDpiX() / 1440.0);
}

int PropertyInspector::twipsToPixelsY(int twips) const
{
    return qRound(twips * m_lstP->logicalDpiY() / 1440.0);
}

// ---- Font picker ----

void PropertyInspector::fontListChanged()
{
    if (m_fillingFonts)
        return;
    // Rebuilt from every entry, so the order of checking does not matter.
    m_txtFontList->setText(FontFamilyList());
    m_txtFontList->end(false);
}

void PropertyInspector::previewFontAt(QPoint viewportPos)
{
    QListWidgetItem *item = m_lstFont->itemAt(viewportPos);
    if (!item)
        return;
    // The entry becomes the highlighted one; its check mark stays as it is.
    m_lstFont->setCurrentItem(item, QItemSelectionModel::ClearAndSelect);
    if (IsGenericFontEntry(item->text())) {
        m_txtFontPreview->setText(QStringLiteral("..."));
        return;
    }
    QFont font = m_txtFontPreview->font();
    font.setFamily(item->text());
    m_txtFontPreview->setFont(font);
    m_txtFontPreview->setText(item->text());
}

} // namespace sheetsmith
