#include "inspector/propertyinspector.h"

#include "blocks/scanner.h"
#include "dialogs/cdlgex.h"
#include "editor/richedit.h"
#include "inspector/catalogue.h"
#include "inspector/declarationwriter.h"
#include "inspector/valuerules.h"

#include <QComboBox>
#include <QFrame>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QScopedValueRollback>
#include <QScrollBar>
#include <QTreeWidget>

#include <algorithm>
#include <utility>

namespace sheetsmith {

namespace {

const QBrush kValueRowColour{QColor(128, 0, 0)};
const QBrush kEmptyRowColour{QColor(0, 0, 0)};

bool isEnter(const QKeyEvent *event)
{
    return event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
}

} // namespace

PropertyInspector::PropertyInspector(QTreeWidget *lstP, QPlainTextEdit *txtInfo, RichEdit &editor,
                                     const Catalogue &catalogue, CdlgEx &dialogs, std::function<QString()> docPath,
                                     QWidget *dialogOwner)
    : QObject(lstP)
    , m_lstP(lstP)
    , m_txtInfo(txtInfo)
    , m_editor(editor)
    , m_catalogue(catalogue)
    , m_dialogs(dialogs)
    , m_docPath(std::move(docPath))
    , m_dialogOwner(dialogOwner)
    , m_host(lstP->parentWidget() ? lstP->parentWidget() : lstP)
{
    setObjectName(QStringLiteral("PropertyInspector"));
    buildEditors();
    buildFontPicker();

    m_lstP->installEventFilter(this);
    m_lstP->viewport()->installEventFilter(this);
    m_lstP->header()->viewport()->installEventFilter(this);
    // The open editor follows its cell.
    connect(m_lstP->verticalScrollBar(), &QScrollBar::valueChanged, this, &PropertyInspector::placeOpenEditor);
    connect(m_lstP->horizontalScrollBar(), &QScrollBar::valueChanged, this, &PropertyInspector::placeOpenEditor);
    connect(m_lstP->header(), &QHeaderView::sectionResized, this, &PropertyInspector::placeOpenEditor);
}

PropertyInspector::~PropertyInspector() = default;

QString PropertyInspector::RelativePath(const QString &docPath, const QString &file)
{
    return sheetsmith::RelativePath(docPath, file);
}

// ---- The list's mouse and keys ----

bool PropertyInspector::eventFilter(QObject *watched, QEvent *event)
{
    // Only the author's input and the list's geometry concern this filter. Other events
    // also arrive while the list is being destroyed, when it is no longer a tree
    // widget and must not be looked at as one.
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseMove:
    case QEvent::KeyPress:
    case QEvent::ShortcutOverride:
    case QEvent::Move:
    case QEvent::Resize:
        break;
    default:
        return false;
    }
    if (m_lstP && watched == m_lstP->viewport()) {
        switch (event->type()) {
        case QEvent::MouseButtonPress: {
            const auto *mouse = static_cast<QMouseEvent *>(event);
            listPressed(mouse->position().toPoint(), true);
            m_leftPressed = mouse->button() == Qt::LeftButton;
            break;
        }
        case QEvent::MouseButtonRelease: {
            // The second release of a double click follows no press event of its own;
            // the first click has already opened the editor.
            const auto *mouse = static_cast<QMouseEvent *>(event);
            const bool click = m_leftPressed && mouse->button() == Qt::LeftButton;
            m_leftPressed = false;
            if (click)
                listClicked(mouse->position().toPoint());
            break;
        }
        case QEvent::Resize:
            placeOpenEditor();
            break;
        default:
            break;
        }
        return false;
    }
    if (m_lstP && (watched == m_lstP->header()->viewport() || watched == m_lstP.data())) {
        // A press on the header or the list's frame hits no row. A press the viewport
        // left unaccepted reaches the list as well; it has been handled already.
        if (event->type() == QEvent::MouseButtonPress) {
            const QPoint global = static_cast<QMouseEvent *>(event)->globalPosition().toPoint();
            const QPoint at = m_lstP->viewport()->mapFromGlobal(global);
            if (watched != m_lstP.data() || !m_lstP->viewport()->rect().contains(at))
                listPressed(at, false);
        } else if (watched == m_lstP.data() && event->type() == QEvent::KeyPress) {
            return listKeyPressed(static_cast<QKeyEvent *>(event));
        } else if (watched == m_lstP.data() && (event->type() == QEvent::Move || event->type() == QEvent::Resize)) {
            placeOpenEditor();
        }
        return false;
    }
    if (m_lstFont && watched == m_lstFont->viewport() && event->type() == QEvent::MouseMove) {
        previewFontAt(static_cast<QMouseEvent *>(event)->position().toPoint());
        return false;
    }
    if (event->type() == QEvent::ShortcutOverride || event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() != Qt::Key_Escape && !isEnter(key))
            return false;
        if (event->type() == QEvent::ShortcutOverride) {
            // Esc and Enter belong to the editor, not to a shortcut of the window.
            const bool ours = watched == m_comP || (m_comP && watched == m_comP->lineEdit()) || watched == m_txtP
                              || watched == m_txtLength || watched == m_txtPercent;
            if (ours)
                event->accept();
            return ours;
        }
        return editorKeyPressed(watched, key);
    }
    return false;
}

void PropertyInspector::listPressed(QPoint viewportPos, bool overRows)
{
    if (m_busy)
        return;
    // Commit first: the open editor writes to the cell it was opened on.
    commitEditors();
    if (overRows) {
        m_currentCell = hitTestCell(viewportPos);
    } else {
        m_currentCell = Cell{};
        m_currentCell.x = viewportPos.x();
        m_currentCell.y = viewportPos.y();
        m_currentCell.flags = HitNowhere;
    }
}

void PropertyInspector::listClicked(QPoint viewportPos)
{
    if (m_busy || m_currentCell.item < 0)
        return;
    // A click is a release on the row that was pressed; a drag to another row opens
    // nothing, so an editor never opens on a row other than the current cell's.
    const QModelIndex at = m_lstP->indexAt(viewportPos);
    if (!at.isValid() || at.row() != m_currentCell.item)
        return;
    showInfo(m_currentCell.item);
    openEditorForCell();
}

bool PropertyInspector::listKeyPressed(QKeyEvent *event)
{
    // Keyboard access to the editors: Enter or F2 opens the Value cell of the current
    // row, as a click on it would.
    if (m_busy || !(isEnter(event) || event->key() == Qt::Key_F2))
        return false;
    QTreeWidgetItem *item = m_lstP->currentItem();
    if (!item || item->parent())
        return false;
    commitEditors();
    const int row = m_lstP->indexOfTopLevelItem(item);
    const QPoint centre = m_lstP->visualRect(m_lstP->model()->index(row, 1)).center();
    m_currentCell = Cell{centre.x(), centre.y(), HitOnItem, row, 1};
    showInfo(row);
    openEditorForCell();
    return true;
}

PropertyInspector::Cell PropertyInspector::hitTestCell(QPoint viewportPos) const
{
    Cell cell;
    cell.x = viewportPos.x();
    cell.y = viewportPos.y();
    cell.flags = HitNowhere;
    const QModelIndex at = m_lstP->indexAt(viewportPos);
    if (at.isValid() && !at.parent().isValid()) {
        cell.flags = HitOnItem;
        cell.item = at.row();
        cell.subItem = at.column();
    }
    return cell;
}

void PropertyInspector::showInfo(int row)
{
    if (!m_txtInfo)
        return;
    m_txtInfo->setPlainText(row >= 0 && row < CataloguePropertyCount ? m_catalogue.PropInfo[size_t(row)] : QString());
}

void PropertyInspector::commitOpenEditor()
{
    if (m_busy)
        return;
    commitEditors();
    m_currentCell = Cell{};
    m_currentCell.flags = HitNowhere;
}

// ---- Cells and the text ----

QTreeWidgetItem *PropertyInspector::currentRow() const
{
    const int row = m_currentCell.item;
    if (!m_lstP || row < 0 || row >= m_lstP->topLevelItemCount())
        return nullptr;
    return m_lstP->topLevelItem(row);
}

QString PropertyInspector::cellText() const
{
    const QTreeWidgetItem *row = currentRow();
    return row ? row->text(1) : QString();
}

void PropertyInspector::setCellText(const QString &text)
{
    QTreeWidgetItem *row = currentRow();
    if (!row)
        return;
    row->setText(std::max(m_currentCell.subItem, 1), text);
    const QBrush &colour = text.isEmpty() ? kEmptyRowColour : kValueRowColour;
    row->setForeground(0, colour);
    row->setForeground(1, colour);
}

void PropertyInspector::commitValue(const QString &text)
{
    if (!currentRow())
        return;
    const QString before = cellText();
    setCellText(text);
    // An editor committed without a change leaves the sheet alone: rewriting the
    // declaration would only drop what the cell does not show (spacing, comments,
    // "!important").
    if (text != before)
        WriteDeclaration();
}

void PropertyInspector::WriteDeclaration()
{
    QTreeWidgetItem *row = currentRow();
    if (!row)
        return;
    QScopedValueRollback busy(m_busy, true);
    const QString name = row->text(0);
    const QString value = row->text(1);

    // The blocks are taken from the text as it is now: the program's block list is
    // rebuilt only when the caret changes line, and typing on the caret's line since
    // then would leave its positions behind the text.
    ScanBlocks(m_editor.model(), QStringList(), m_writeBlocks);
    const std::optional<DeclarationEdit> edit =
        PlanDeclaration(m_editor.model(), m_writeBlocks, m_editor.selStart(), name, value);
    if (!edit)
        return;
    m_editor.setSelColor(makeColour(0, 0, 0));
    m_editor.setSelStart(edit->start);
    m_editor.setSelLength(edit->length);
    m_editor.setSelText(edit->text);
    // Moving the selection may have let caret tracking reload the Value column from the
    // text before the write; the cell shows what was written.
    if (currentRow() == row && row->text(1) != value)
        setCellText(value);
}

} // namespace sheetsmith
