#include "editor/colourhighlighter.h"

#include "editor/colourlayer.h"
#include "editor/qtcolour.h"

#include <QTextBlock>
#include <QTextCharFormat>

namespace sheetsmith {

ColourHighlighter::ColourHighlighter(QTextDocument *document, const ColourLayer *colours)
    : QSyntaxHighlighter(document), m_colours(colours)
{
}

void ColourHighlighter::highlightBlock(const QString &text)
{
    const qsizetype blockStart = currentBlock().position();
    m_colours->forEachRun(blockStart, text.size(),
                          [this, blockStart](qsizetype start, qsizetype length, ColourValue colour) {
                              // Automatic text keeps the palette's text colour.
                              if (colour == kAutoColour)
                                  return;
                              QTextCharFormat format;
                              format.setForeground(colourToQColor(colour));
                              setFormat(int(start - blockStart), int(length), format);
                          });
}

} // namespace sheetsmith
