// The editor as a widget: its look (font, selection colours) and what it does with the
// author's keys, mouse, context menu, clipboard and drag and drop. The text, selection
// and colour operations are in richedit.cpp, its RTF form in richeditrtf.cpp, the
// swatches under the pointer and the tool tip in richeditswatches.cpp.

#include "editor/richedit.h"

#include <QContextMenuEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPointer>

#include <utility>

namespace sheetsmith {

namespace {

const QString kRtfMime = QStringLiteral("text/rtf");
const QString kRtfMimeAlt = QStringLiteral("application/rtf");

std::optional<RtfContent> rtfFromMime(const QMimeData *source)
{
    for (const QString &format : {kRtfMime, kRtfMimeAlt}) {
        if (source->hasFormat(format)) {
            // RTF is 7-bit text; anything beyond ASCII is read as Latin-1, never lost.
            if (auto content = readRtf(QString::fromLatin1(source->data(format))))
                return content;
        }
    }
    return std::nullopt;
}

} // namespace

// --- Appearance --------------------------------------------------------------------------

void RichEdit::setHideSelection(bool hide)
{
    m_hideSelection = hide;
    updateSelectionPalette();
}

void RichEdit::updateSelectionPalette()
{
    // The editor paints its selection with the palette's inactive highlight while it has
    // no focus: either the active one (kept visible) or the plain text colours (hidden).
    QPalette pal = palette();
    if (m_hideSelection) {
        pal.setBrush(QPalette::Inactive, QPalette::Highlight, pal.brush(QPalette::Inactive, QPalette::Base));
        pal.setBrush(QPalette::Inactive, QPalette::HighlightedText, pal.brush(QPalette::Inactive, QPalette::Text));
    } else {
        pal.setBrush(QPalette::Inactive, QPalette::Highlight, pal.brush(QPalette::Active, QPalette::Highlight));
        pal.setBrush(QPalette::Inactive, QPalette::HighlightedText,
                     pal.brush(QPalette::Active, QPalette::HighlightedText));
    }
    setPalette(pal);
}

void RichEdit::setEditorFont(const QString &family, double pointSize)
{
    if (!family.isEmpty())
        m_fontName = family;
    if (pointSize > 0)
        m_fontSize = pointSize;
    applyFont();
}

void RichEdit::applyFont()
{
    QFont f = font();
    f.setFamily(m_fontName);
    f.setPointSizeF(m_fontSize);
    setFont(f);
}

// --- Input events --------------------------------------------------------------------------

void RichEdit::keyPressEvent(QKeyEvent *event)
{
    bool consumed = false;
    const QPointer<RichEdit> alive(this);
    emit keyDown(event, &consumed);
    if (!alive)
        return;
    if (consumed) {
        event->accept();
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

// A left click on a swatch is the swatch's: it neither moves the caret nor selects.
void RichEdit::mousePressEvent(QMouseEvent *event)
{
    m_swatchPressed.reset();
    if (event->button() == Qt::LeftButton && event->modifiers() == Qt::NoModifier)
        m_swatchPressed = swatchAt(event->position().toPoint());
    if (m_swatchPressed) {
        event->accept();
        return;
    }
    QPlainTextEdit::mousePressEvent(event);
}

void RichEdit::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && swatchAt(event->position().toPoint())) {
        event->accept();
        return;
    }
    QPlainTextEdit::mouseDoubleClickEvent(event);
}

void RichEdit::mouseMoveEvent(QMouseEvent *event)
{
    if (m_swatchPressed) {
        event->accept();
        return;
    }
    if (event->buttons() == Qt::NoButton && m_swatches.shown()) {
        const Qt::CursorShape shape =
            swatchAt(event->position().toPoint()) ? Qt::PointingHandCursor : Qt::IBeamCursor;
        if (viewport()->cursor().shape() != shape)
            viewport()->setCursor(shape);
    }
    // A drag of the selection starts inside the base class's mouse-move handling.
    m_inMouseMove = true;
    QPlainTextEdit::mouseMoveEvent(event);
    m_inMouseMove = false;
    // A drag runs to its end inside that call.
    m_dragSource = QTextCursor();
}

void RichEdit::mouseReleaseEvent(QMouseEvent *event)
{
    if (const std::optional<SwatchHit> pressed = std::exchange(m_swatchPressed, std::nullopt)) {
        event->accept();
        const std::optional<SwatchHit> here = swatchAt(event->position().toPoint());
        if (event->button() == Qt::LeftButton && here && here->offset == pressed->offset)
            emit swatchClicked(pressed->offset, pressed->length);
        return;
    }
    const Qt::MouseButton button = event->button();
    const Qt::KeyboardModifiers modifiers = event->modifiers();
    const QPoint position = event->position().toPoint();
    const QPointer<RichEdit> alive(this);
    QPlainTextEdit::mouseReleaseEvent(event);
    if (alive)
        emit mouseUp(button, modifiers, position);
}

void RichEdit::focusInEvent(QFocusEvent *event)
{
    QPlainTextEdit::focusInEvent(event);
    emit focusGained();
}

void RichEdit::contextMenuEvent(QContextMenuEvent *event)
{
    // The editor has no menu of its own: the window opens one on mouseUp.
    event->accept();
}

QMimeData *RichEdit::createMimeDataFromSelection() const
{
    // A plain QMimeData: the base class's own lists a fixed set of formats and would
    // hide the RTF added to it.
    auto *data = new QMimeData; // handed to the caller
    data->setText(selText().replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    const QByteArray rtf = selRTF().toLatin1();
    data->setData(kRtfMime, rtf);
    data->setData(kRtfMimeAlt, rtf);
    if (m_inMouseMove) {
        m_dragSource = textCursor();
        // The signal is not const; this is the only place that knows a drag is starting.
        emit const_cast<RichEdit *>(this)->dragStarting(data);
    }
    return data;
}

bool RichEdit::canInsertFromMimeData(const QMimeData *source) const
{
    return QPlainTextEdit::canInsertFromMimeData(source) || source->hasFormat(kRtfMime)
           || source->hasFormat(kRtfMimeAlt);
}

void RichEdit::insertFromMimeData(const QMimeData *source)
{
    if (!source->hasText()) {
        if (const auto content = rtfFromMime(source)) {
            insertRtfContent(*content);
            return;
        }
    }
    QPlainTextEdit::insertFromMimeData(source);
}

void RichEdit::dragEnterEvent(QDragEnterEvent *event)
{
    bool handled = false;
    emit draggedOver(event, &handled);
    if (!handled)
        QPlainTextEdit::dragEnterEvent(event);
}

void RichEdit::dragMoveEvent(QDragMoveEvent *event)
{
    bool handled = false;
    emit draggedOver(event, &handled);
    if (!handled)
        QPlainTextEdit::dragMoveEvent(event);
}

void RichEdit::dropEvent(QDropEvent *event)
{
    // Qt starts the drag from the viewport, the widget its text control works in.
    const bool ownDrag = (event->source() == viewport() || event->source() == this)
                         && m_dragSource.hasSelection();
    if (ownDrag) {
        // Dropping the dragged text onto itself or next to it changes nothing.
        const int at = cursorForPosition(event->position().toPoint()).position();
        if (at >= m_dragSource.selectionStart() && at <= m_dragSource.selectionEnd()) {
            event->ignore();
            return;
        }
    }
    bool handled = false;
    const QPointer<RichEdit> alive(this);
    // What the handler inserts and the removal of moved text below are one undo step.
    const UndoGroup step(*this);
    emit dropped(event, &handled);
    if (!alive)
        return;
    if (!handled) {
        QPlainTextEdit::dropEvent(event);
        return;
    }
    // The base class removes moved text only when it lands elsewhere; here it landed
    // in this editor through the handler, so the original goes now.
    if (ownDrag && event->dropAction() == Qt::MoveAction && m_dragSource.hasSelection()) {
        beginProgramEdit(m_dragSource);
        m_dragSource.removeSelectedText();
        endProgramEdit(m_dragSource);
    }
    m_dragSource = QTextCursor();
}

} // namespace sheetsmith
