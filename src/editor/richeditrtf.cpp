// The editor's RTF form: the text with its colours and font written as RTF, and RTF
// read back into the whole text or over the selection. The text, selection and colour
// operations are in richedit.cpp.

#include "editor/richedit.h"
#include "editor/richeditscope.h"

#include <algorithm>
#include <cmath>

namespace sheetsmith {

namespace {

// The colours of CR LF text in Qt's form: a CR LF pair, which Qt keeps as one
// character, has one colour (the CR's).
std::vector<ColourValue> toQtColours(const QString &crLf, const std::vector<ColourValue> &colours)
{
    std::vector<ColourValue> out;
    out.reserve(colours.size());
    for (qsizetype i = 0; i < crLf.size(); ++i) {
        out.push_back(size_t(i) < colours.size() ? colours[size_t(i)] : kAutoColour);
        if (crLf[i] == u'\r' && i + 1 < crLf.size() && crLf[i + 1] == u'\n')
            ++i;
    }
    return out;
}

} // namespace

std::vector<ColourValue> RichEdit::crLfColours(qsizetype qtFrom, qsizetype qtTo) const
{
    const QString &text = m_model.text();
    const qsizetype from = m_model.fromQtPosition(qtFrom);
    const qsizetype to = m_model.fromQtPosition(qtTo);
    std::vector<ColourValue> out;
    out.reserve(size_t(to - from));
    qsizetype qt = qtFrom;
    for (qsizetype i = from; i < to; ++i, ++qt) {
        const ColourValue c = m_colours.at(qt);
        out.push_back(c);
        if (text[i] == u'\r' && i + 1 < to && text[i + 1] == u'\n') {
            out.push_back(c);
            ++i;
        }
    }
    return out;
}

QString RichEdit::textRTF() const
{
    RtfContent content;
    content.text = m_model.text();
    content.colours = crLfColours(0, m_model.qtLength());
    content.fontName = m_fontName;
    content.fontHalfPoints = int(std::lround(m_fontSize * 2));
    return writeRtf(content);
}

void RichEdit::setTextRTF(const QString &rtf)
{
    const std::optional<RtfContent> content = readRtf(rtf);
    if (!content)
        return;
    NotifyScope scope(*this);
    if (!content->fontName.isEmpty())
        m_fontName = content->fontName;
    if (content->fontHalfPoints > 0)
        m_fontSize = content->fontHalfPoints / 2.0;
    applyFont();

    m_colours.assign(toQtColours(content->text, content->colours));
    m_typingColour.reset();
    if (content->text == m_model.text()) {
        // Only colours and font change: the document is not touched.
        repaintColours();
        return;
    }
    replaceAll(content->text, true);
}

QString RichEdit::selRTF() const
{
    const QTextCursor cursor = textCursor();
    RtfContent content;
    content.text = selText();
    content.colours = crLfColours(cursor.selectionStart(), cursor.selectionEnd());
    content.fontName = m_fontName;
    content.fontHalfPoints = int(std::lround(m_fontSize * 2));
    return writeRtf(content);
}

void RichEdit::insertRtfContent(const RtfContent &content)
{
    const auto [from, to] = insertOverSelection(content.text);
    const std::vector<ColourValue> qtColours = toQtColours(content.text, content.colours);
    const qsizetype count = std::min<qsizetype>(to - from, qsizetype(qtColours.size()));
    bool changed = false;
    for (qsizetype i = 0; i < count;) {
        qsizetype j = i + 1;
        while (j < count && qtColours[size_t(j)] == qtColours[size_t(i)])
            ++j;
        changed = m_colours.fill(from + i, j - i, qtColours[size_t(i)]) || changed;
        i = j;
    }
    if (changed)
        repaintColours(from, from + count);
}

void RichEdit::setSelRTF(const QString &rtf)
{
    const std::optional<RtfContent> content = readRtf(rtf);
    if (!content)
        return;
    NotifyScope scope(*this);
    insertRtfContent(*content);
}

} // namespace sheetsmith
