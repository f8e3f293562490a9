#include "editor/colourhighlighter.h"

#include "editor/colourlayer.h"
#include "editor/qtcolour.h"

#include <QTextBlock>
#include <QTextCharFormat>
#include <QTextDocument>

#include <algorithm>

namespace sheetsmith {

namespace {
constexpr int kKeptShapingLength = 2000;
}

std::vector<QTextLayout::FormatRange> ColourHighlighter::rangesOf(const QTextBlock &block) const
{
    std::vector<QTextLayout::FormatRange> ranges;
    const qsizetype blockStart = block.position();
    m_colours->forEachRun(blockStart, block.length() - 1,
                          [&ranges, blockStart](qsizetype start, qsizetype length, ColourValue colour) {
                              if (colour == kAutoColour)
                                  return;
                              QTextLayout::FormatRange range;
                              range.start = int(start - blockStart);
                              range.length = int(length);
                              range.format.setForeground(colourToQColor(colour));
                              ranges.push_back(range);
                          });
    return ranges;
}

bool ColourHighlighter::formatBlock(const QTextBlock &block) const
{
    QTextLayout *layout = block.layout();
    if (!layout)
        return false;
    // Qt shapes a line's glyphs again for every paint and every caret position asked on
    // it unless its layout keeps them: for a long line (a minified sheet's) that costs
    // far more than the memory kept.
    if (block.length() > kKeptShapingLength)
        layout->setCacheEnabled(true);
    const std::vector<QTextLayout::FormatRange> wanted = rangesOf(block);
    const QList<QTextLayout::FormatRange> current = layout->formats();
    const bool same = std::equal(wanted.begin(), wanted.end(), current.begin(), current.end(),
                                 [](const QTextLayout::FormatRange &a, const QTextLayout::FormatRange &b) {
                                     return a.start == b.start && a.length == b.length
                                            && a.format.foreground() == b.format.foreground();
                                 });
    if (same)
        return false;
    layout->setFormats(QList<QTextLayout::FormatRange>(wanted.begin(), wanted.end()));
    // As a highlighter does: the layout of this block only is redone, and the document
    // keeps no pending change that a later edit would report.
    m_document->markContentsDirty(block.position(), block.length());
    return true;
}

} // namespace sheetsmith
