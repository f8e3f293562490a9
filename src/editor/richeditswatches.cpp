// The editor's colour swatches as the pointer meets them, and what its tool tip says.
// Their painting is part of the editor's paint (richedit.cpp).

#include "editor/richedit.h"

#include <QStringList>
#include <QTextBlock>

namespace sheetsmith {

// --- Swatches and tool tips ----------------------------------------------------------------

void RichEdit::setSwatches(bool shown, ColourForms forms)
{
    m_swatches.setShown(shown);
    m_swatches.setForms(forms);
    viewport()->update();
}

void RichEdit::forEachSwatchOnScreen(
    const std::function<void(const QRect &, const ColourSwatches::Swatch &)> &visit, const QRect &within) const
{
    if (!m_swatches.shown())
        return;
    const QPointF offset = contentOffset();
    const QRect area = within.isNull() ? viewport()->rect() : within;
    for (QTextBlock block = firstVisibleBlock(); block.isValid(); block = block.next()) {
        const QRectF box = blockBoundingGeometry(block).translated(offset);
        if (box.top() > area.bottom())
            break;
        // A repaint of one line (a keystroke's) measures that line's swatches alone.
        if (box.bottom() < area.top())
            continue;
        if (block.isVisible() && block.layout())
            m_swatches.forEachSquare(block, box.topLeft() + block.layout()->position(), visit);
    }
}

std::optional<RichEdit::SwatchHit> RichEdit::swatchAt(QPoint viewportPos) const
{
    std::optional<SwatchHit> hit;
    forEachSwatchOnScreen([&](const QRect &square, const ColourSwatches::Swatch &swatch) {
        // A pixel of slack around a square this small.
        if (!hit && square.adjusted(-1, -1, 1, 1).contains(viewportPos))
            hit = SwatchHit{swatch.offset, swatch.length};
    });
    return hit;
}

QRect RichEdit::swatchRect(qsizetype offset) const
{
    QRect found;
    forEachSwatchOnScreen([&](const QRect &square, const ColourSwatches::Swatch &swatch) {
        if (swatch.offset == offset)
            found = square;
    });
    return found;
}

qsizetype RichEdit::qtCharAt(QPoint viewportPos) const
{
    const QTextCursor at = cursorForPosition(viewportPos);
    const QTextBlock block = at.block();
    const QTextLayout *layout = block.layout();
    if (!layout || layout->lineCount() == 0)
        return -1;
    const int caret = at.positionInBlock();
    const QTextLine line = layout->lineForTextPosition(caret);
    if (!line.isValid())
        return -1;
    const QPointF origin = blockBoundingGeometry(block).translated(contentOffset()).topLeft() + layout->position();
    const qreal x = viewportPos.x() - origin.x();
    const qreal y = viewportPos.y() - origin.y();
    if (y < line.y() || y >= line.y() + line.height())
        return -1;
    // The nearest caret place has a character on either side; the pointer is over one
    // of them, or past the line's end.
    const int c = x < line.cursorToX(caret) ? caret - 1 : caret;
    if (c < line.textStart() || c >= line.textStart() + line.textLength())
        return -1;
    if (x < line.cursorToX(c) || x >= line.cursorToX(c + 1))
        return -1;
    return block.position() + c;
}

QString RichEdit::toolTipAt(QPoint viewportPos) const
{
    QStringList parts;
    if (!m_marks.isEmpty()) {
        // The problem under the pointer; a mark at a line's end is found past it.
        const QTextCursor at = cursorForPosition(viewportPos);
        const QRect place = cursorRect(at);
        const QString message = m_marks.messageAt(at.position() - (viewportPos.x() < place.x() ? 1 : 0));
        if (!message.isEmpty())
            parts << message;
    }
    if (m_hoverHelp) {
        const qsizetype qt = qtCharAt(viewportPos);
        if (qt >= 0) {
            const QString help = m_hoverHelp(m_model.fromQtPosition(qt));
            if (!help.isEmpty())
                parts << help;
        }
    }
    return parts.join(QStringLiteral("\n\n"));
}

} // namespace sheetsmith
