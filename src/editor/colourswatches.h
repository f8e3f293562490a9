#pragma once

#include "text/colourspans.h"

#include <QHash>
#include <QRect>
#include <QTextLayout>

#include <functional>
#include <vector>

class QPainter;
class QTextBlock;

namespace sheetsmith {

class TextModel;

// The colour swatches of the editor: a small square in its own colour before each colour
// value (text/colourspans.h) of the lines on screen. A swatch is painted beside the
// text, never a character of it, so the text, its offsets and columns, the caret's
// moves, Find, copying and what assistive tools read stay as they are.
//
// The room for a swatch is made in the block's layout: the character before the value
// gets a format range that widens it by the swatch's width (extra letter spacing after
// it), and the swatch is painted in that widening, just before the value. A tab is not
// widened (its advance reaches the next tab stop whatever its spacing, and widening
// what stands before it moves the stop): after a tab the swatch sits in the tab's own
// blank when that is wide enough, and is left out otherwise, as it is for a value at the
// very start of a line.
//
// The values of a block are found from the tokenizer when the block is first shown and
// kept until the text changes; only blocks that are painted are ever read.
class ColourSwatches
{
public:
    struct Swatch
    {
        int position = 0;     // in the block: where the value starts
        qsizetype offset = 0; // the value in the editor's CR LF text
        qsizetype length = 0;
        CssColour colour;
        bool widened = false; // room was made by widening the character before
    };

    explicit ColourSwatches(const TextModel &model) : m_model(model) {}

    bool shown() const { return m_shown; }
    void setShown(bool shown);
    ColourForms forms() const { return m_forms; }
    void setForms(ColourForms forms);
    // The side of a square, from the editor's font; the room made is a little wider.
    void setSide(int side);
    int side() const { return m_side; }
    int room() const { return m_side + kGapBefore + kGapAfter; }

    // The text changed: `removed` characters at the CR LF offset `from` gave way to
    // `added` others (the model already holds the new text). The blocks whose swatches
    // the change may touch are read again when next shown: for a change inside one
    // line that neither adds nor removes any character a statement's bounds or a
    // token's kind depend on, that line and the rest of its statement; for any other
    // change every block.
    void textChanged(qsizetype from, qsizetype removed, qsizetype added);
    // Changes whenever the swatches of a block, or their room, may have changed.
    quint64 revision() const { return m_revision; }

    // The swatches of a block (none while hidden).
    const std::vector<Swatch> &of(const QTextBlock &block) const;
    // The format ranges that make room for the block's swatches.
    void addRoom(const QTextBlock &block, std::vector<QTextLayout::FormatRange> &ranges) const;
    // Calls visit for each swatch of a laid-out block that has room, with its square in
    // the coordinates in which the block's layout starts at `origin`.
    void forEachSquare(const QTextBlock &block, QPointF origin,
                       const std::function<void(const QRect &, const Swatch &)> &visit) const;

    // Paints one square: the colour over a chequer where it is not opaque, in a thin
    // frame that keeps white and black squares apart from the page.
    static void paint(QPainter &painter, const QRect &square, const CssColour &colour, const QColor &frame);

private:
    static constexpr int kGapBefore = 1;
    static constexpr int kGapAfter = 3;
    // Blocks read since the text last changed; a screen holds far fewer.
    static constexpr int kCachedBlocks = 1024;

    const TextModel &m_model;
    bool m_shown = false;
    ColourForms m_forms = ColourForms::Css1;
    int m_side = 9;
    quint64 m_revision = 0;
    struct Reading
    {
        QString text; // the block's text when it was read
        std::vector<Swatch> swatches;
    };
    void forgetAll();
    mutable QHash<int, Reading> m_blocks; // by block number
    mutable int m_lineCount = 0;          // of the text the readings are of
};

} // namespace sheetsmith
