#include "editor/colourhighlighter.h"

#include "editor/colourlayer.h"
#include "editor/colourswatches.h"
#include "editor/problemmarks.h"
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
    const qsizetype blockLength = block.length() - 1;
    m_marks->forEachIn(blockStart, qMax<qsizetype>(1, blockLength), [&](const ProblemMarks::Mark &mark) {
        // Red errors, orange warnings, grey notes. A mark on nothing (at a line's end)
        // underlines the line's last character.
        static const QColor colours[] = {QColor(0xd0, 0x20, 0x20), QColor(0xe0, 0x80, 0x00), QColor(0x80, 0x80, 0x80)};
        qsizetype start = qMax(mark.start, blockStart);
        qsizetype end = qMin(mark.start + qMax<qsizetype>(1, mark.length), blockStart + blockLength);
        if (end <= start) {
            if (blockLength == 0)
                return;
            start = blockStart + blockLength - 1;
            end = start + 1;
        }
        QTextLayout::FormatRange range;
        range.start = int(start - blockStart);
        range.length = int(end - start);
        range.format.setUnderlineStyle(QTextCharFormat::WaveUnderline);
        range.format.setUnderlineColor(colours[mark.kind]);
        ranges.push_back(range);
    });
    if (m_swatches)
        m_swatches->addRoom(block, ranges);
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
    // So does a line with swatches, whose places are asked at every paint.
    if (block.length() > kKeptShapingLength || (m_swatches && !m_swatches->of(block).empty()))
        layout->setCacheEnabled(true);
    const std::vector<QTextLayout::FormatRange> wanted = rangesOf(block);
    const QList<QTextLayout::FormatRange> current = layout->formats();
    const bool same = std::equal(wanted.begin(), wanted.end(), current.begin(), current.end(),
                                 [](const QTextLayout::FormatRange &a, const QTextLayout::FormatRange &b) {
                                     return a.start == b.start && a.length == b.length && a.format == b.format;
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
