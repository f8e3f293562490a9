#include "editor/colourswatches.h"

#include "editor/qtcolour.h"
#include "text/textmodel.h"

#include <QPainter>
#include <QTextBlock>

#include <algorithm>

namespace sheetsmith {

void ColourSwatches::setShown(bool shown)
{
    if (shown == m_shown)
        return;
    m_shown = shown;
    forgetAll();
}

void ColourSwatches::setForms(ColourForms forms)
{
    if (forms == m_forms)
        return;
    m_forms = forms;
    forgetAll();
}

void ColourSwatches::setSide(int side)
{
    if (side == m_side)
        return;
    m_side = side;
    ++m_revision;
}

void ColourSwatches::forgetAll()
{
    m_blocks.clear();
    ++m_revision;
}

namespace {

// Characters whose coming or going may change what the text around them is part of:
// the bounds of a statement, a comment, a string, a url or an escape, or a value's
// property.
bool isStructural(QChar c)
{
    switch (c.unicode()) {
    case u'{': case u'}': case u';': case u':': case u'/': case u'*': case u'"':
    case u'\'': case u'\\': case u'(': case u')': case u'\r': case u'\n':
        return true;
    default:
        return false;
    }
}

bool anyStructural(QStringView s)
{
    return std::any_of(s.begin(), s.end(), isStructural);
}

} // namespace

void ColourSwatches::textChanged(qsizetype from, qsizetype removed, qsizetype added)
{
    const QString &text = m_model.text();
    const int line = m_model.lineOfOffset(from);
    const auto cached = m_blocks.constFind(line);
    // What the line held before, from its last reading, tells what the edit took away.
    if (m_lineCount != m_model.lineCount() || cached == m_blocks.constEnd()) {
        m_lineCount = m_model.lineCount();
        forgetAll();
        return;
    }
    const qsizetype start = m_model.lineStart(line);
    const QString &old = cached->text;
    const qsizetype column = from - start;
    if (column < 0 || column + removed > old.size() || from + added > text.size()
        || anyStructural(QStringView(old).sliced(column, removed))
        || anyStructural(QStringView(text).sliced(from, added))) {
        forgetAll();
        return;
    }
    // Only letters, digits, blanks and the like changed inside the line: the values of
    // this line may change, and those of the lines after it up to the end of its
    // statement (the next ";", "{" or "}"), whose property may be the one edited. The
    // lines in between are read from the text, as a line that is not cached may stand
    // between two that are.
    qsizetype end = from + added;
    while (end < text.size() && text[end] != u';' && text[end] != u'{' && text[end] != u'}')
        ++end;
    const int lastLine = m_model.lineOfOffset(end);
    if (qsizetype(lastLine - line) > m_blocks.size()) {
        m_blocks.removeIf([&](const auto &it) { return it.key() >= line && it.key() <= lastLine; });
    } else {
        for (int next = line; next <= lastLine; ++next)
            m_blocks.remove(next);
    }
    ++m_revision;
}

const std::vector<ColourSwatches::Swatch> &ColourSwatches::of(const QTextBlock &block) const
{
    static const std::vector<Swatch> none;
    if (!m_shown || !block.isValid())
        return none;
    const int number = block.blockNumber();
    if (const auto found = m_blocks.constFind(number); found != m_blocks.constEnd())
        return found->swatches;
    if (m_blocks.size() >= kCachedBlocks)
        m_blocks.clear();
    m_lineCount = m_model.lineCount();
    const QString &text = m_model.text();
    // A block holds no break, so positions in it and offsets in its CR LF line agree.
    const qsizetype start = m_model.fromQtPosition(block.position());
    const qsizetype end = std::min<qsizetype>(start + block.length() - 1, text.size());
    std::vector<Swatch> swatches;
    for (const ColourSpan &span : ColourSpans(text, m_model.commentMarkers(), start, end, m_forms)) {
        Swatch s;
        s.position = int(span.offset - start);
        s.offset = span.offset;
        s.length = span.length;
        s.colour = span.colour;
        s.widened = s.position > 0 && text[span.offset - 1] != u'\t';
        swatches.push_back(s);
    }
    return m_blocks.insert(number, Reading{text.sliced(start, end - start), std::move(swatches)})->swatches;
}

void ColourSwatches::addRoom(const QTextBlock &block, std::vector<QTextLayout::FormatRange> &ranges) const
{
    for (const Swatch &s : of(block)) {
        if (!s.widened)
            continue;
        QTextLayout::FormatRange range;
        range.start = s.position - 1;
        range.length = 1;
        range.format.setFontLetterSpacingType(QFont::AbsoluteSpacing);
        range.format.setFontLetterSpacing(room());
        ranges.push_back(range);
    }
}

void ColourSwatches::forEachSquare(const QTextBlock &block, QPointF origin,
                                   const std::function<void(const QRect &, const Swatch &)> &visit) const
{
    const QTextLayout *layout = block.layout();
    if (!layout || layout->lineCount() == 0)
        return;
    for (const Swatch &s : of(block)) {
        if (s.position == 0)
            continue;
        const QTextLine line = layout->lineForTextPosition(s.position);
        // A value that starts a wrapped line has its room at the end of the line before.
        if (!line.isValid() || layout->lineForTextPosition(s.position - 1).lineNumber() != line.lineNumber())
            continue;
        const qreal valueX = line.cursorToX(s.position);
        if (!s.widened && valueX - line.cursorToX(s.position - 1) < room())
            continue;
        const qreal right = valueX - kGapAfter;
        const qreal top = line.y() + (line.height() - m_side) / 2.0;
        visit(QRect(qRound(origin.x() + right) - m_side, qRound(origin.y() + top), m_side, m_side), s);
    }
}

void ColourSwatches::paint(QPainter &painter, const QRect &square, const CssColour &colour, const QColor &frame)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    if (colour.alpha < 255) {
        // Light and dark quarters show through what is not opaque.
        painter.fillRect(square, Qt::white);
        const int half = square.width() / 2;
        painter.fillRect(QRect(square.topLeft(), QSize(half, half)), QColor(0xc0, 0xc0, 0xc0));
        painter.fillRect(QRect(square.topLeft() + QPoint(half, half), square.bottomRight()), QColor(0xc0, 0xc0, 0xc0));
    }
    QColor fill = colourToQColor(colour.rgb);
    fill.setAlpha(colour.alpha);
    painter.fillRect(square, fill);
    painter.setPen(frame);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(square.adjusted(0, 0, -1, -1));
    painter.restore();
}

} // namespace sheetsmith
