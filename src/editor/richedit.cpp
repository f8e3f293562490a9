#include "editor/richedit.h"

#include "editor/colourhighlighter.h"
#include "editor/richeditscope.h"

#include <QHelpEvent>
#include <QPainter>
#include <QPointer>
#include <QTextBlock>
#include <QTextDocument>
#include <QToolTip>

#include <algorithm>
#include <utility>

namespace sheetsmith {

namespace {

constexpr QChar kParagraphSeparator(0x2029);

// Qt's form of CR LF text: one U+2029 per break.
QString toQtForm(QStringView crLf)
{
    QString out;
    out.reserve(crLf.size());
    for (qsizetype i = 0; i < crLf.size(); ++i) {
        if (crLf[i] == u'\r' && i + 1 < crLf.size() && crLf[i + 1] == u'\n') {
            out += kParagraphSeparator;
            ++i;
        } else {
            out += crLf[i];
        }
    }
    return out;
}

// How many characters two texts share at their start, and then, of what is left, at
// their end: what lies between is what changed.
std::pair<qsizetype, qsizetype> commonEnds(QStringView a, QStringView b)
{
    const qsizetype shorter = std::min(a.size(), b.size());
    qsizetype prefix = 0;
    while (prefix < shorter && a[prefix] == b[prefix])
        ++prefix;
    qsizetype suffix = 0;
    while (suffix < shorter - prefix && a[a.size() - 1 - suffix] == b[b.size() - 1 - suffix])
        ++suffix;
    return {prefix, suffix};
}

} // namespace

RichEdit::RichEdit(QWidget *parent)
    : QPlainTextEdit(parent), m_highlighter(document(), &m_colours, &m_marks, &m_swatches)
{
    m_fontName = font().family();
    m_fontSize = font().pointSizeF() > 0 ? font().pointSizeF() : 10.0;

    // The model must follow a change before anything else reacts to it.
    connect(document(), &QTextDocument::contentsChange, this, &RichEdit::onContentsChange);
    connect(document(), &QTextDocument::contentsChanged, this, &RichEdit::onCursorOrSelectionChanged);
    connect(this, &QPlainTextEdit::cursorPositionChanged, this, &RichEdit::onCursorOrSelectionChanged);
    connect(this, &QPlainTextEdit::selectionChanged, this, &RichEdit::onCursorOrSelectionChanged);
    connect(this, &RichEdit::textEdited, this,
            [this](qsizetype from, qsizetype removed, qsizetype added) { m_swatches.textChanged(from, removed, added); });

    updateSelectionPalette();
}

RichEdit::~RichEdit()
{
    // The base classes tear the document down after the members are gone: nothing may
    // reach the model or the colour layer from here on.
    disconnect(document(), nullptr, this, nullptr);
    disconnect(this, nullptr, this, nullptr);
}

// --- Keeping the model in step --------------------------------------------------------

void RichEdit::onContentsChange(int position, int removed, int added)
{
    if (m_replacingAll)
        return;
    const qsizetype oldLength = m_model.qtLength();
    const qsizetype newLength = document()->characterCount() - 1;
    // Reports may count the document's final separator or cover more than changed.
    const qsizetype pos = position;
    const qsizetype rem = std::min<qsizetype>(removed, oldLength - pos);
    const qsizetype add = std::min<qsizetype>(added, newLength - pos);
    if (pos < 0 || rem < 0 || add < 0 || oldLength - rem + add != newLength) {
        rebuildFromDocument();
        return;
    }
    if (pos == 0 && (rem == oldLength || add == newLength)) {
        // The whole content is new (as setPlainText reports it, in several steps whose
        // order cannot be relied on): read it whole.
        rebuildFromDocument();
        return;
    }

    QTextCursor range(document());
    range.setPosition(int(pos));
    range.setPosition(int(pos + add), QTextCursor::KeepAnchor);
    const QString addedText = range.selectedText();
    const qsizetype from = m_model.fromQtPosition(pos);
    const qsizetype to = m_model.fromQtPosition(pos + rem);
    const QString removedText = toQtForm(QStringView(m_model.text()).mid(from, to - from));

    // Narrow the change to what really differs, so that colours of characters that
    // were only reported, not replaced, stay.
    const auto [prefix, suffix] = commonEnds(removedText, addedText);
    const qsizetype changePos = pos + prefix;
    const qsizetype changeRemoved = rem - prefix - suffix;
    const qsizetype changeAdded = add - prefix - suffix;
    if (changeRemoved == 0 && changeAdded == 0)
        return;

    const ColourValue colour = insertedColour(changePos);
    const std::optional<TextModel::Change> change =
        m_model.applyQtChange(changePos, changeRemoved, addedText.mid(prefix, changeAdded));
    if (!change || !m_colours.replace(changePos, changeRemoved, changeAdded, colour)) {
        rebuildFromDocument();
        return;
    }
    m_marks.follow(changePos, changeRemoved, changeAdded);
    m_typingColour.reset();
    m_textChanged = true;
    emit textEdited(change->from, change->removed, change->added);
}

ColourValue RichEdit::insertedColour(qsizetype qtPosition) const
{
    if (m_typingColour && m_typingColour->qtPosition == qtPosition)
        return m_typingColour->colour;
    return m_colours.at(qtPosition > 0 ? qtPosition - 1 : 0);
}

void RichEdit::rebuildFromDocument()
{
    const QString newText = document()->toRawText();
    const QString oldText = toQtForm(m_model.text());
    // Colours of the unchanged start and end stay; the middle is treated as typed.
    const auto [prefix, suffix] = commonEnds(oldText, newText);
    if (m_colours.size() != oldText.size())
        m_colours.reset(oldText.size());
    m_colours.replace(prefix, oldText.size() - prefix - suffix, newText.size() - prefix - suffix,
                      insertedColour(prefix));
    m_marks.follow(prefix, oldText.size() - prefix - suffix, newText.size() - prefix - suffix);
    const qsizetype oldLength = m_model.length();
    m_model.setText(newText);
    m_typingColour.reset();
    m_textChanged = true;
    emit textEdited(0, oldLength, m_model.length());
}

// --- Selection notification ----------------------------------------------------------

void RichEdit::onCursorOrSelectionChanged()
{
    // Inside an event or an operation the scope reports at its end; a change made from
    // outside any of them (through the base class's own slots) is reported at once.
    if (m_notifyDepth == 0)
        flushSelectionChange();
}

void RichEdit::flushSelectionChange()
{
    const QTextCursor cursor = textCursor();
    if (m_typingColour && (cursor.hasSelection() || cursor.position() != m_typingColour->qtPosition))
        m_typingColour.reset();
    const qsizetype start = m_model.fromQtPosition(cursor.selectionStart());
    const qsizetype length = m_model.fromQtPosition(cursor.selectionEnd()) - start;
    if (start == m_notifiedStart && length == m_notifiedLength && !m_textChanged)
        return;
    // Recorded before emitting: a handler's own changes are then reported as new ones.
    m_notifiedStart = start;
    m_notifiedLength = length;
    m_textChanged = false;
    emit selChanged();
}

bool RichEdit::event(QEvent *event)
{
    // Qt sends the editor events of its own from inside a change of the document (the
    // input-method queries that follow a caret move, while the document is still
    // mid-edit): only the outermost event or operation reports, once everything is done.
    const QPointer<RichEdit> alive(this);
    ++m_notifyDepth;
    const bool result = QPlainTextEdit::event(event);
    if (alive && --m_notifyDepth == 0)
        flushSelectionChange();
    return result;
}

bool RichEdit::viewportEvent(QEvent *event)
{
    if (event->type() == QEvent::ToolTip && (!m_marks.isEmpty() || m_hoverHelp)) {
        const auto *help = static_cast<QHelpEvent *>(event);
        const QString tip = toolTipAt(help->pos());
        if (!tip.isEmpty()) {
            // As rich text, so that a long description wraps instead of crossing the screen.
            QToolTip::showText(help->globalPos(),
                               QStringLiteral("<qt>") + tip.toHtmlEscaped().replace(u'\n', QStringLiteral("<br>"))
                                   + QStringLiteral("</qt>"),
                               viewport());
            return true;
        }
        QToolTip::hideText();
    }
    const QPointer<RichEdit> alive(this);
    ++m_notifyDepth;
    const bool result = QPlainTextEdit::viewportEvent(event);
    if (alive && --m_notifyDepth == 0)
        flushSelectionChange();
    return result;
}

// --- Text and selection ----------------------------------------------------------------

void RichEdit::setText(const QString &text)
{
    NotifyScope scope(*this);
    replaceAll(text, false);
}

// Replaces the text at once. When `coloured`, the layer already holds the colours of
// the new text, one per character of its Qt form; otherwise all are automatic.
void RichEdit::replaceAll(const QString &text, bool coloured)
{
    m_typingColour.reset();
    if (!coloured)
        m_colours.reset(0);
    m_marks.clear();
    m_replacingAll = true;
    setPlainText(text);
    m_replacingAll = false;
    const qsizetype oldLength = m_model.length();
    // Qt breaks the text where the model does (CR LF, CR, LF, paragraph separator) and
    // at its two frame marks: a text without those is taken as it is, sharing its
    // characters, instead of being read back from the document.
    const bool frameMarks = text.contains(QChar(0xFDD0)) || text.contains(QChar(0xFDD1));
    m_model.setText(frameMarks ? document()->toRawText() : text);
    if (m_model.qtLength() != document()->characterCount() - 1)
        m_model.setText(document()->toRawText());
    if (m_colours.size() != m_model.qtLength()) {
        // Qt broke the text differently from what the colours were made for.
        m_colours.reset(m_model.qtLength());
    }
    if (coloured)
        repaintColours();
    m_textChanged = true;
    emit textEdited(0, oldLength, m_model.length());
}

void RichEdit::setColouredText(const QString &text, std::vector<quint8> colourIndexes,
                               const std::vector<ColourValue> &palette, const QString &fontName,
                               int fontHalfPoints)
{
    NotifyScope scope(*this);
    if (!fontName.isEmpty())
        m_fontName = fontName;
    if (fontHalfPoints > 0)
        m_fontSize = fontHalfPoints / 2.0;
    applyFont();
    m_colours.assignIndexed(colourIndexes, palette);
    std::vector<quint8>().swap(colourIndexes);
    m_typingColour.reset();
    if (text == m_model.text()) {
        // Only colours and font change: the document is not touched.
        repaintColours();
        return;
    }
    replaceAll(text, true);
}

qsizetype RichEdit::selStart() const
{
    return m_model.fromQtPosition(textCursor().selectionStart());
}

qsizetype RichEdit::caretOffset() const
{
    return m_model.fromQtPosition(textCursor().position());
}

qsizetype RichEdit::selLength() const
{
    const QTextCursor cursor = textCursor();
    return m_model.fromQtPosition(cursor.selectionEnd()) - m_model.fromQtPosition(cursor.selectionStart());
}

void RichEdit::setSelStart(qsizetype offset)
{
    NotifyScope scope(*this);
    QTextCursor cursor = textCursor();
    cursor.setPosition(int(m_model.toQtPosition(offset)));
    setTextCursor(cursor);
}

void RichEdit::setSelLength(qsizetype length)
{
    NotifyScope scope(*this);
    const qsizetype start = selStart();
    selectOffsets(start, start + std::max<qsizetype>(length, 0));
}

qsizetype RichEdit::qtEndPosition(qsizetype offset) const
{
    const QString &text = m_model.text();
    offset = std::clamp<qsizetype>(offset, 0, text.size());
    // An end between a CR and its LF takes in the whole break.
    if (offset > 0 && offset < text.size() && text[offset - 1] == u'\r' && text[offset] == u'\n')
        ++offset;
    return m_model.toQtPosition(offset);
}

void RichEdit::selectOffsets(qsizetype from, qsizetype to)
{
    QTextCursor cursor = textCursor();
    cursor.setPosition(int(m_model.toQtPosition(from)));
    cursor.setPosition(int(qtEndPosition(std::max(from, to))), QTextCursor::KeepAnchor);
    setTextCursor(cursor);
}

QString RichEdit::selText() const
{
    const QTextCursor cursor = textCursor();
    const qsizetype from = m_model.fromQtPosition(cursor.selectionStart());
    const qsizetype to = m_model.fromQtPosition(cursor.selectionEnd());
    return m_model.text().mid(from, to - from);
}

std::pair<qsizetype, qsizetype> RichEdit::insertOverSelection(const QString &text)
{
    QTextCursor cursor = textCursor();
    const qsizetype start = cursor.selectionStart();
    beginProgramEdit(cursor);
    cursor.insertText(text);
    endProgramEdit(cursor);
    setTextCursor(cursor);
    return {start, cursor.position()};
}

void RichEdit::beginProgramEdit(QTextCursor &cursor)
{
    // An edit block of its own keeps the edit from merging with the typing before or
    // after it in the undo history; inside a group whose step has begun, the edit goes
    // into that step instead.
    if (m_undoGroupDepth > 0 && m_undoGroupStarted)
        cursor.joinPreviousEditBlock();
    else
        cursor.beginEditBlock();
    m_undoStepsBefore = document()->availableUndoSteps();
}

void RichEdit::endProgramEdit(QTextCursor &cursor)
{
    cursor.endEditBlock();
    // The group's step exists once an edit has added one: an edit that changed nothing
    // leaves the history as it was, and the next edit must not join the author's typing.
    if (m_undoGroupDepth > 0 && !m_undoGroupStarted)
        m_undoGroupStarted = document()->availableUndoSteps() > m_undoStepsBefore;
}

void RichEdit::setSelText(const QString &text)
{
    NotifyScope scope(*this);
    insertOverSelection(text);
}

void RichEdit::replaceEach(const std::vector<qsizetype> &offsets, qsizetype length, const QString &with)
{
    if (offsets.empty())
        return;
    NotifyScope scope(*this);
    const size_t count = offsets.size();
    std::vector<qsizetype> starts(count);
    std::vector<qsizetype> ends(count);
    qsizetype removed = 0;
    for (size_t i = 0; i < count; ++i) {
        starts[i] = m_model.toQtPosition(offsets[i]);
        ends[i] = m_model.toQtPosition(offsets[i] + length);
        removed += ends[i] - starts[i];
    }
    // The colours of what stays between the replacements, read before the edit: the
    // document reports the run as one change, which the layer follows in one colour.
    const ColourValue firstColour = insertedColour(starts.front());
    std::vector<ColourValue> kept;
    kept.reserve(size_t(std::max<qsizetype>(0, starts.back() - ends.front())));
    for (size_t i = 0; i + 1 < count; ++i) {
        for (qsizetype p = ends[i]; p < starts[i + 1]; ++p)
            kept.push_back(m_colours.at(p));
    }

    const qsizetype before = document()->characterCount();
    QTextCursor cursor(document());
    beginProgramEdit(cursor);
    // From the last to the first, so that the positions still to come stay as they were.
    for (size_t i = count; i-- > 0;) {
        cursor.setPosition(int(starts[i]));
        cursor.setPosition(int(ends[i]), QTextCursor::KeepAnchor);
        cursor.insertText(with);
    }
    endProgramEdit(cursor);
    const auto inserted = size_t((document()->characterCount() - before + removed) / qsizetype(count));

    // The run's colours: each replacement in the colour before it, the rest as it was;
    // set one run of a colour at a time.
    std::vector<ColourValue> run;
    run.reserve(kept.size() + count * inserted);
    ColourValue previous = firstColour;
    for (size_t i = 0, next = 0; i < count; ++i) {
        run.insert(run.end(), inserted, previous);
        for (qsizetype p = ends[i]; i + 1 < count && p < starts[i + 1]; ++p)
            run.push_back(previous = kept[next++]);
    }
    const qsizetype from = starts.front();
    for (size_t i = 0, first = 0; i <= run.size(); ++i) {
        if (i == run.size() || run[i] != run[first]) {
            if (i > first)
                m_colours.fill(from + qsizetype(first), qsizetype(i - first), run[first]);
            first = i;
        }
    }
    const qsizetype at = from + qsizetype(run.size());
    repaintColours(from, at);
    cursor.setPosition(int(at));
    setTextCursor(cursor);
}

void RichEdit::setSelColor(ColourValue colour)
{
    // A value outside 24 bits is no colour; nothing changes.
    if (!isValidColour(colour))
        return;
    const QTextCursor cursor = textCursor();
    if (!cursor.hasSelection()) {
        m_typingColour = TypingColour{cursor.position(), colour};
        return;
    }
    if (m_colours.fill(cursor.selectionStart(), cursor.selectionEnd() - cursor.selectionStart(), colour))
        repaintColours(cursor.selectionStart(), cursor.selectionEnd());
}

void RichEdit::setColours(qsizetype offset, const std::vector<ColourValue> &colours)
{
    const QString &text = m_model.text();
    const qsizetype end = std::min(offset + qsizetype(colours.size()), text.size());
    qsizetype i = std::max<qsizetype>(offset, 0);
    // Starting on the LF of a break: the break's colour belongs to its CR.
    if (i > 0 && i < end && text[i] == u'\n' && text[i - 1] == u'\r')
        ++i;
    if (i >= end)
        return;
    const qsizetype qtFrom = m_model.toQtPosition(i);
    qsizetype qt = qtFrom;
    // Runs of one colour go into the layer together.
    qsizetype runStart = qt;
    ColourValue runColour = colours[size_t(i - offset)];
    bool changed = false;
    const auto flush = [&] {
        if (qt > runStart && (runColour == kAutoColour || isValidColour(runColour)))
            changed = m_colours.fill(runStart, qt - runStart, runColour) || changed;
    };
    for (; i < end; ++i) {
        if (text[i] == u'\n' && i > 0 && text[i - 1] == u'\r')
            continue;
        const ColourValue colour = colours[size_t(i - offset)];
        if (colour != runColour) {
            flush();
            runStart = qt;
            runColour = colour;
        }
        ++qt;
    }
    flush();
    if (changed)
        repaintColours(qtFrom, qt);
}

ColourValue RichEdit::colourAt(qsizetype offset) const
{
    if (offset < 0 || offset >= m_model.length())
        return kAutoColour;
    return m_colours.at(m_model.toQtPosition(offset));
}

int RichEdit::blocksOnScreen() const
{
    // At most one block a line of the viewport, and one more partly shown.
    return viewport()->height() / std::max(1, fontMetrics().lineSpacing()) + 2;
}

void RichEdit::repaintColours()
{
    // The blocks on screen take the new colours when they are painted next.
    viewport()->update();
}

void RichEdit::repaintColours(qsizetype qtFrom, qsizetype qtTo)
{
    // Blocks off screen take their colours when they are shown; one block on screen is
    // repainted alone.
    const QTextBlock first = document()->findBlock(int(qtFrom));
    const QTextBlock last = document()->findBlock(int(std::max(qtFrom, qtTo - 1)));
    const int top = firstVisibleBlock().blockNumber();
    if (!first.isValid() || last.blockNumber() < top || first.blockNumber() > top + blocksOnScreen())
        return;
    if (first == last)
        viewport()->update(blockBoundingGeometry(first).translated(contentOffset()).toAlignedRect());
    else
        viewport()->update();
}

void RichEdit::scrollContentsBy(int dx, int dy)
{
    // Only sideways scrolls are held: the base class keeps its top line itself, from
    // the vertical scroll bar, but reads the horizontal position from its bar alone.
    if (m_colouring && dy == 0) {
        m_heldScrollX += dx;
        return;
    }
    QPlainTextEdit::scrollContentsBy(dx, dy);
}

void RichEdit::releaseHeldScroll()
{
    if (const int dx = std::exchange(m_heldScrollX, 0))
        QPlainTextEdit::scrollContentsBy(dx, 0);
}

void RichEdit::paintEvent(QPaintEvent *event)
{
    // Colours reach a block's layout just before it is shown. Blocks that were on screen
    // at the last paint already carry the colours of the layer, as long as no colour and
    // no character changed since: a repaint of the caret does not look at them again.
    // A swatch is about as tall as a capital letter of the editor's font.
    m_swatches.setSide(std::max(5, qRound(fontMetrics().ascent() * 0.75)));
    const QTextBlock first = firstVisibleBlock();
    const int count = blocksOnScreen();
    const quint64 revision = m_colours.revision() + m_marks.revision() + m_swatches.revision();
    const bool checked = revision == m_formattedRevision && first.blockNumber() >= m_formattedFirst
                         && first.blockNumber() + count <= m_formattedFirst + m_formattedCount;
    if (!checked) {
        QTextBlock block = first;
        for (int n = count; block.isValid() && n > 0; block = block.next(), --n)
            m_highlighter.formatBlock(block);
        m_formattedRevision = revision;
        m_formattedFirst = first.blockNumber();
        m_formattedCount = count;
    }
    QPlainTextEdit::paintEvent(event);
    if (m_swatches.shown()) {
        // The painter only when a square needs it: a repaint of the caret rarely does.
        std::vector<std::pair<QRect, CssColour>> squares;
        forEachSwatchOnScreen(
            [&](const QRect &square, const ColourSwatches::Swatch &swatch) {
                if (square.intersects(event->rect()))
                    squares.emplace_back(square, swatch.colour);
            },
            event->rect());
        if (!squares.empty()) {
            QPainter painter(viewport());
            QColor frame = palette().color(QPalette::Text);
            frame.setAlpha(110);
            for (const auto &[square, colour] : squares)
                ColourSwatches::paint(painter, square, colour, frame);
        }
    }
}

} // namespace sheetsmith
