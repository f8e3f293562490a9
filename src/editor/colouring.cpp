#include "editor/colouring.h"

#include "editor/colouringrules.h"
#include "editor/documentcolours.h"
#include "editor/richedit.h"
#include "editor/rtf.h"
#include "text/textmodel.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <utility>

namespace sheetsmith {

Colouriser::Colouriser()
{
    // Empty definitions until the settings arrive: automatic entries, never a missing
    // table.
    BuildColourTable();
}

void Colouriser::setColours(const SyntaxColours &colours)
{
    m_selectorColour = colours.selectorDefinition;
    m_bracketColour = colours.bracketDefinition;
    m_commentColour = colours.commentDefinition;
    m_selectorColourValue = colours.values.selector;
    m_bracketColourValue = colours.values.bracket;
    m_commentColourValue = colours.values.comment;
}

void Colouriser::BuildColourTable()
{
    m_colourTable = ColourTableText(m_selectorColour, m_bracketColour, m_commentColour);
}

void Colouriser::ColourDocument(RichEdit &editor)
{
    const ColouringScope scope(editor);
    editor.setTextRTF(ColourRtfText(editor.textRTF(), m_colourTable, m_commentOpen));
}

void Colouriser::ColourNewText(RichEdit &editor, QString text)
{
    const ColouringScope scope(editor);
    const QString fontName = RtfFontName(editor.fontName());
    const int halfPoints = int(std::lround(editor.fontSize() * 2));
    const std::optional<std::array<ColourValue, 4>> table = ColourTableColours(m_colourTable);
    if (!table) {
        RtfContent plain;
        plain.text = TextModel::toCrLf(text);
        plain.colours.assign(size_t(plain.text.size()), kAutoColour);
        plain.fontName = editor.fontName();
        plain.fontHalfPoints = halfPoints;
        editor.setTextRTF(ColourRtfText(writeRtf(plain), m_colourTable, m_commentOpen));
        return;
    }
    const QString crLf = TextModel::toCrLf(std::exchange(text, QString()));
    std::vector<quint8> entries = DocumentColourEntries(crLf, m_commentOpen);
    editor.setColouredText(crLf, std::move(entries), std::vector<ColourValue>(table->begin(), table->end()),
                           fontName, halfPoints);
}

void Colouriser::ColourLine(QString &line, qsizetype start, const QString &mode, RichEdit *editor)
{
    if (line.isEmpty() || start == 0)
        return;
    if (mode == u"RTF")
        ColourRtfLine(line);
    else if (mode == u"Text" && editor)
        ColourTextLine(line, start, *editor);
}

void Colouriser::ColourRtfLine(QString &line)
{
    if (line.isEmpty())
        return;
    sheetsmith::ColourRtfLine(line, m_commentOpen);
}

std::vector<ColourValue> Colouriser::textLineColours(const QString &line, qsizetype start,
                                                     const RichEdit &editor) const
{
    // The comment state comes from the whole text up to this line's end: the last "/*"
    // and "*/" lying within its first start + length characters, found among the
    // markers the editor's text model keeps.
    const CommentMarkerPositions &markers = editor.model().commentMarkers();
    const qsizetype lastIndex = start + line.size() - 2; // a marker's last start index
    const qsizetype open = LastMarkerAtOrBefore(markers.opens, lastIndex);
    const qsizetype close = LastMarkerAtOrBefore(markers.closes, lastIndex);
    const TextColours colours{m_selectorColourValue, m_bracketColourValue, m_commentColourValue};
    LineColourPlan plan = PlanTextLine(line, start, open + 1, close + 1, colours);
    // The rules select overlapping ranges (each live "{" recolours everything before
    // it); the plan holds the colour each character ends with, and the editor takes
    // them in one pass over the line.
    if (plan.breakColour)
        plan.colours.push_back(*plan.breakColour);
    return std::move(plan.colours);
}

void Colouriser::ColourTextLine(const QString &line, qsizetype start, RichEdit &editor)
{
    if (line.isEmpty() || start < 1)
        return;
    const ColouringScope scope(editor);
    editor.setColours(start - 1, textLineColours(line, start, editor));
    editor.setSelStart(start + line.size());
    editor.setSelColor(0);
}

void Colouriser::ColourTextLines(int first, int last, RichEdit &editor)
{
    const ColouringScope scope(editor);
    const TextModel &model = editor.model();
    qsizetype caret = -1;
    for (int n = std::max(first, 1); n <= last && n <= model.lineCount(); ++n) {
        const QString line = model.lineText(n - 1);
        if (line.isEmpty())
            continue;
        const qsizetype start = model.lineStart(n - 1) + 1;
        editor.setColours(start - 1, textLineColours(line, start, editor));
        caret = start + line.size();
    }
    if (caret < 0)
        return;
    editor.setSelStart(caret);
    editor.setSelColor(0);
}

} // namespace sheetsmith
