#include "blocks/editcommands.h"

#include "blocks/root.h"
#include "editor/colouring.h"
#include "editor/editorlines.h"
#include "editor/richedit.h"
#include "text/formatsheet.h"
#include "text/textmodel.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QStringView>

#include <algorithm>
#include <vector>

namespace sheetsmith {

namespace {

const QString kRtfMime = QStringLiteral("text/rtf");

// The characters Format Sheet may change.
bool IsBlank(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n';
}

// Unindent's count for one line: the first of tw, tw - 1, tw - 2 and tw - 3 (counts
// below 1 skipped) that the line begins with that many blanks; 0 when none fits.
qsizetype blanksToRemove(QStringView line, int tw)
{
    qsizetype leading = 0;
    while (leading < line.size() && line[leading] == u' ')
        ++leading;
    for (int count = tw; count >= tw - 3; --count) {
        if (count >= 1 && leading >= count)
            return count;
    }
    return 0;
}

} // namespace

EditCommands::EditCommands(RichEdit &editor, const Root &blocks, Colouriser &colouriser)
    : m_editor(editor), m_blocks(blocks), m_colouriser(colouriser)
{
}

// --- Navigation ------------------------------------------------------------------------

void EditCommands::NextBlock()
{
    m_editor.setSelStart(m_blocks.FindNearestBegin(m_editor.selStart()));
}

void EditCommands::PreviousBlock()
{
    const qsizetype k = m_blocks.FindCurrentBlock(m_editor.selStart());
    qsizetype target = 0;
    if (k >= 2)
        target = m_blocks.Item(k - 1).Begins();
    else if (k == 1)
        target = m_blocks.Item(1).Begins();
    m_editor.setSelStart(target);
}

// --- Indent and Unindent --------------------------------------------------------------------

bool EditCommands::changeLineStarts(int first, int last, const std::function<qsizetype(QStringView)> &change)
{
    // All lines change in one replacement: one undo step, and one pass over the text
    // however many lines are selected (an edit per line would copy the whole text once
    // per line).
    const TextModel &model = m_editor.model();
    const QString &text = model.text();
    const qsizetype from = model.lineStart(first - 1);
    const qsizetype to = model.lineStart(last - 1) + model.lineLength(last - 1);
    if (from < 0 || to < from)
        return false;

    // The replacement and the colour of each of its characters: a character that stays
    // keeps its colour; added blanks take the colour of the character before them, as
    // typed text does (at the very start of the text, the first character's).
    QString replacement;
    std::vector<ColourValue> colours;
    bool changed = false;
    for (int n = first; n <= last; ++n) {
        const qsizetype start = model.lineStart(n - 1);
        const qsizetype length = model.lineLength(n - 1);
        const QStringView line = QStringView(text).mid(start, length);
        const qsizetype delta = change(line);
        changed = changed || delta != 0;
        if (delta > 0) {
            const ColourValue blankColour = m_editor.colourAt(start > 0 ? start - 1 : 0);
            replacement += QString(delta, u' ');
            colours.insert(colours.end(), size_t(delta), blankColour);
        }
        const qsizetype kept = std::min(length, std::max<qsizetype>(-delta, 0));
        replacement += line.mid(kept);
        for (qsizetype i = start + kept; i < start + length; ++i)
            colours.push_back(m_editor.colourAt(i));
        if (n < last) {
            const ColourValue breakColour = m_editor.colourAt(start + length);
            replacement += QStringLiteral("\r\n");
            colours.insert(colours.end(), 2, breakColour);
        }
    }
    if (!changed)
        return false;

    m_editor.setSelStart(from);
    m_editor.setSelLength(to - from);
    m_editor.setSelText(replacement);
    m_editor.setColours(from, colours);
    return true;
}

void EditCommands::selectToLineEnd(int last)
{
    // The selection runs from the caret to the end of the last line's text. The length
    // LineLength(S) + (S - s0), with S the 1-based start of that line, would end one
    // character further, on the first character of the line's break (cut to the text's
    // end when the line has none). This editor selects a break whole or not at all, and
    // a selection through the whole break ends at the start of the next line, which a
    // repeated Indent or Unindent would then take in as well: so the end stays before
    // the break, and the same lines stay selected however often the command is repeated.
    const qsizetype S = LineStart(m_editor, last);
    const qsizetype lineEnd = S - 1 + LineLength(m_editor, S);
    // The caret may have landed elsewhere than s0 (on the end of a line the command
    // shortened, or clamped to the text); the length is taken from where it stands. A
    // caret past the line's end leaves no selection.
    m_editor.setSelLength(lineEnd - m_editor.selStart());
}

void EditCommands::Indent(int tw)
{
    // The command's changes are the program's own, so that caret tracking does not
    // catch up on the lines passed on the way.
    const ColouringScope colouring(m_editor);
    const qsizetype s0 = m_editor.selStart();
    const qsizetype length = m_editor.selLength();
    if (length == 0) {
        if (tw > 0)
            m_editor.setSelText(QString(tw, u' '));
        return;
    }
    // The line holding the character at the selection's end offset: a selection ending
    // at the very start of a line takes that line in.
    const int first = LineOfChar(m_editor, s0);
    const int last = LineOfChar(m_editor, s0 + length);
    changeLineStarts(first, last, [tw](QStringView) { return qsizetype(tw); });
    m_editor.setSelStart(s0);
    selectToLineEnd(last);
}

void EditCommands::Unindent(int tw)
{
    const ColouringScope colouring(m_editor);
    const qsizetype s0 = m_editor.selStart();
    const qsizetype length = m_editor.selLength();
    const int first = LineOfChar(m_editor, s0);
    const int last = LineOfChar(m_editor, s0 + length);
    changeLineStarts(first, last, [tw](QStringView line) { return -blanksToRemove(line, tw); });
    m_editor.setSelStart(s0);
    if (length != 0)
        selectToLineEnd(last);
}

// --- Comment ---------------------------------------------------------------------------------

void EditCommands::Comment()
{
    const ColouringScope colouring(m_editor);
    const qsizetype s0 = m_editor.selStart();
    const qsizetype length = m_editor.selLength();
    if (length >= 1) {
        m_editor.setSelText(QStringLiteral("/*") + m_editor.selText() + QStringLiteral("*/"));
        m_editor.setSelStart(s0);
        m_editor.setSelLength(length + 4);
        m_editor.setSelColor(m_colouriser.CommentColourValue());
    } else {
        m_editor.setSelText(QStringLiteral("/* */"));
        m_editor.setSelStart(m_editor.selStart() - 3);
    }
}

// --- Selection and clipboard -----------------------------------------------------------

void EditCommands::SelectAll()
{
    m_editor.setSelStart(0);
    m_editor.setSelLength(m_editor.text().size());
}

void EditCommands::putSelectionOnClipboard() const
{
    QClipboard *clipboard = QGuiApplication::clipboard();
    if (!clipboard)
        return;
    QString plain = m_editor.selText();
    plain.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    auto *data = new QMimeData; // the clipboard takes ownership
    data->setText(plain);
    // The editor's RTF is 7-bit: characters beyond ASCII are written as \u escapes.
    data->setData(kRtfMime, m_editor.selRTF().toLatin1());
    clipboard->setMimeData(data);
}

void EditCommands::Copy()
{
    if (m_editor.selLength() == 0)
        return;
    putSelectionOnClipboard();
}

void EditCommands::Cut()
{
    if (m_editor.selLength() == 0)
        return;
    putSelectionOnClipboard();
    m_editor.setSelText(QString());
}

void EditCommands::Paste()
{
    const QClipboard *clipboard = QGuiApplication::clipboard();
    const QString pasted = clipboard ? clipboard->text() : QString();
    // An empty clipboard inserts nothing, and the selection is not replaced by nothing.
    if (pasted.isEmpty())
        return;

    const ColouringScope colouring(m_editor);
    const qsizetype insertedAt = m_editor.selStart();
    // The lines go in together, with CR LF between them whatever breaks the clipboard
    // held, over the selection: one undo step, and one copy of the text however many
    // lines are pasted.
    m_editor.setSelText(TextModel::toCrLf(pasted));
    const qsizetype end = m_editor.selStart();

    // Every editor line that now holds pasted text is recoloured whole, as it stands:
    // a line pasted into the middle of another is coloured together with the text
    // around it, so each colour falls on the character it was worked out for. All the
    // lines are coloured in one pass, as each would be in turn.
    m_colouriser.ColourTextLines(LineOfChar(m_editor, insertedAt), LineOfChar(m_editor, end), m_editor);
    m_editor.setSelStart(end);
}

bool EditCommands::Format(int tabWidth)
{
    const QString &text = m_editor.text();
    qsizetype from = 0;
    qsizetype to = text.size();
    if (m_editor.selLength() > 0) {
        const qsizetype start = m_editor.selStart();
        const int first = m_editor.lineFromChar(start);
        // A selection ending at the start of a line leaves that line out.
        qsizetype end = start + m_editor.selLength();
        if (end > start && end == m_editor.lineIndex(m_editor.lineFromChar(end)))
            end -= 2;
        const int last = m_editor.lineFromChar(end);
        from = m_editor.lineIndex(first);
        to = m_editor.lineIndex(last) + m_editor.lineText(last).size();
    }
    const QStringView piece = QStringView(text).mid(from, to - from);
    QString formatted = FormatSheet(piece, tabWidth, from > 0 ? FormatDepthAt(text, from) : 0);
    // Lines in the middle of the sheet keep the break that follows them.
    if (to < text.size() && formatted.endsWith(QStringLiteral("\r\n")))
        formatted.chop(2);

    // Only what differs is replaced, so the lines around keep their layout.
    qsizetype prefix = 0;
    const qsizetype shorter = std::min(piece.size(), formatted.size());
    while (prefix < shorter && piece[prefix] == formatted[prefix])
        ++prefix;
    qsizetype suffix = 0;
    while (suffix < shorter - prefix && piece[piece.size() - 1 - suffix] == formatted[formatted.size() - 1 - suffix])
        ++suffix;
    if (prefix == piece.size() && prefix == formatted.size())
        return false;

    // The caret's place, counted in non-blank characters of the piece before it; it
    // lands before the next non-blank character that follows as many.
    const qsizetype caret = std::clamp(m_editor.caretOffset(), from, to) - from;
    qsizetype solid = 0;
    for (qsizetype i = 0; i < caret; ++i)
        solid += IsBlank(piece[i]) ? 0 : 1;
    qsizetype newCaret = 0;
    while (newCaret < formatted.size() && (solid > 0 || IsBlank(formatted[newCaret]))) {
        solid -= IsBlank(formatted[newCaret]) ? 0 : 1;
        ++newCaret;
    }

    const ColouringScope colouring(m_editor);
    const qsizetype editFrom = from + prefix;
    m_editor.setSelStart(editFrom);
    m_editor.setSelLength(piece.size() - prefix - suffix);
    m_editor.setSelText(formatted.mid(prefix, formatted.size() - prefix - suffix));
    const qsizetype editEnd = m_editor.selStart();
    m_colouriser.ColourTextLines(LineOfChar(m_editor, editFrom), LineOfChar(m_editor, editEnd), m_editor);
    m_editor.setSelStart(from + newCaret);
    return true;
}

} // namespace sheetsmith
