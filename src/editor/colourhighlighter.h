#pragma once

#include <QTextLayout>

#include <vector>

class QTextBlock;
class QTextDocument;

namespace sheetsmith {

class ColourLayer;
class ColourSwatches;
class ProblemMarks;

// Paints the colours of a ColourLayer, the marks of a check and the room of the colour
// swatches onto the layouts of the document's blocks, as
// format ranges that live in the layout, not in the document: they are neither undo
// steps nor edits.
//
// Blocks are formatted when they are about to be shown (the editor asks for the blocks
// on screen before each paint), never all at once: a new text of any size costs its
// first screen, not a pass over every line. A block whose layout already carries the
// layer's colours is left alone, so a colouring that changes no colour makes Qt lay
// nothing out again; one that does changes the layout of that block only.
class ColourHighlighter
{
public:
    ColourHighlighter(QTextDocument *document, const ColourLayer *colours, const ProblemMarks *marks,
                      const ColourSwatches *swatches)
        : m_document(document), m_colours(colours), m_marks(marks), m_swatches(swatches)
    {
    }

    // Gives the block's layout the layer's colours when it does not carry them yet;
    // returns whether it changed.
    bool formatBlock(const QTextBlock &block) const;

    // The format ranges a block's layout carries for the layer's colours: one per run
    // of one colour, none for automatic text (it keeps the palette's text colour); then
    // a wavy underline for each problem mark over the block; last the widening of the
    // characters before the block's colour values that makes room for their swatches.
    std::vector<QTextLayout::FormatRange> rangesOf(const QTextBlock &block) const;

private:
    QTextDocument *m_document;
    const ColourLayer *m_colours;
    const ProblemMarks *m_marks;
    const ColourSwatches *m_swatches;
};

} // namespace sheetsmith
