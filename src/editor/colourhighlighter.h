#pragma once

#include <QSyntaxHighlighter>

namespace sheetsmith {

class ColourLayer;

// Paints the colours of a ColourLayer onto the document's layout. The formats it sets
// live in the layout, not in the document, so they are neither undo steps nor edits.
class ColourHighlighter : public QSyntaxHighlighter
{
    Q_OBJECT

public:
    ColourHighlighter(QTextDocument *document, const ColourLayer *colours);

protected:
    void highlightBlock(const QString &text) override;

private:
    const ColourLayer *m_colours;
};

} // namespace sheetsmith
