#pragma once

#include "text/colourvalue.h"

#include <QHash>

#include <functional>
#include <vector>

namespace sheetsmith {

// One colour per character of the editor's document (Qt positions: one character per
// line break, no final separator), kept beside the text so that colouring never edits
// the document. Colours are stored as indexes into a small palette, two bytes a
// character; index 0 is the automatic colour.
class ColourLayer
{
public:
    ColourLayer();

    qsizetype size() const { return qsizetype(m_indexes.size()); }
    ColourValue at(qsizetype pos) const;

    // All characters automatic.
    void reset(qsizetype length);
    // One colour per character; the layer takes the length of the list.
    void assign(const std::vector<ColourValue> &colours);
    // The same, each character's colour given as an index into `palette`.
    void assignIndexed(const std::vector<quint8> &indexes, const std::vector<ColourValue> &palette);
    // Colours count characters from pos (clamped to the layer). Returns whether any
    // character's colour changed.
    bool fill(qsizetype pos, qsizetype count, ColourValue colour);

    // Follows an edit of the text: count characters at pos are removed, then added
    // characters inserted there, all of them in the colour inserted. Returns false,
    // changing nothing, when the range lies outside the layer.
    bool replace(qsizetype pos, qsizetype removed, qsizetype added, ColourValue inserted);

    // Calls visit(start, length, colour) for each run of one colour in [pos, pos+count).
    void forEachRun(qsizetype pos, qsizetype count,
                    const std::function<void(qsizetype, qsizetype, ColourValue)> &visit) const;

    // True when no character has a colour other than automatic.
    bool isAllAutomatic() const;

    // A number that changes whenever a character's colour, or the number of
    // characters, changes.
    quint64 revision() const { return m_revision; }

private:
    quint16 indexOf(ColourValue colour);
    void compactPalette();

    std::vector<quint16> m_indexes;
    quint64 m_revision = 0;
    std::vector<ColourValue> m_palette; // [0] is kAutoColour
    QHash<ColourValue, quint16> m_paletteIndex;
};

} // namespace sheetsmith
