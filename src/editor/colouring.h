#pragma once

#include "editor/colouringrules.h"
#include "text/colourvalue.h"

#include <QString>

#include <vector>

namespace sheetsmith {

class RichEdit;

// Syntax colouring of the editor: selectors, braces and comments in their own colours.
// One per main window. It keeps the colours, the colour table and the comment state
// that carries from one coloured line to the next, for the window's whole life.
//
// Colouring never changes a character of the text, never adds an undo step and never
// marks the document modified: the editor keeps its colours beside the text.
class Colouriser
{
public:
    Colouriser();

    // Takes the three colours, as RTF definitions and as numbers. The colour table is
    // rebuilt from them by BuildColourTable, at the next opening of a document.
    void setColours(const SyntaxColours &colours);

    const QString &SelectorColour() const { return m_selectorColour; }
    const QString &BracketColour() const { return m_bracketColour; }
    const QString &CommentColour() const { return m_commentColour; }
    ColourValue SelectorColourValue() const { return m_selectorColourValue; }
    ColourValue BracketColourValue() const { return m_bracketColourValue; }
    ColourValue CommentColourValue() const { return m_commentColourValue; }

    // "{\colortbl ;" selector ";" brace ";" comment ";}".
    const QString &ColourTable() const { return m_colourTable; }
    void BuildColourTable();

    // True while a comment opened on an earlier RTF line is still open. It starts false
    // and is never reset: a document that ends inside a comment leaves it set for the
    // next one.
    bool CommentOpen() const { return m_commentOpen; }

    // Colours the whole document in one pass: the editor's RTF is read once, its text
    // lines are rewritten with colour words (ColourLine in "RTF" mode) and the result is
    // given back in one assignment.
    void ColourDocument(RichEdit &editor);
    // Puts a new text into the editor already coloured, with the colours and the font
    // that setting the text and colouring the document give. The rewrite of the RTF is
    // followed on the text itself (DocumentColourEntries) and the editor takes text and
    // colours at once, without an RTF form of the whole sheet; only a colour table the
    // settings made in another form than plain colour words goes the RTF way. A text
    // handed over (moved in) is let go as soon as its CR LF form is made, so a large
    // sheet is not held twice while the editor lays it out.
    void ColourNewText(RichEdit &editor, QString text);

    // mode "RTF": rewrites one line of the editor's RTF in place (start only has to be
    // non-zero; editor is not used). mode "Text": recolours the editor line `line`,
    // whose first character is at the 1-based position `start` of the editor's text.
    // Does nothing for an empty line, a start of 0 or any other mode (exact comparison).
    void ColourLine(QString &line, qsizetype start, const QString &mode, RichEdit *editor);

    // The two modes on their own.
    void ColourRtfLine(QString &line);
    // Sets each colour the line rules give the line, inside a ColouringScope; then puts
    // the caret at the line's end with black for new typing.
    // Nothing happens for an empty line or a start below 1.
    void ColourTextLine(const QString &line, qsizetype start, RichEdit &editor);
    // Colours the editor lines first to last (1-based) as ColourTextLine colours each
    // of them in turn, in one pass: each line's rules depend on the text alone and set
    // only that line and its break, so the caret moves once, to the end of the last
    // line that is not empty, where black is set for new typing.
    void ColourTextLines(int first, int last, RichEdit &editor);

private:
    // The colours the line rules give a line (and its break, when they colour it).
    std::vector<ColourValue> textLineColours(const QString &line, qsizetype start, const RichEdit &editor) const;

    QString m_selectorColour;
    QString m_bracketColour;
    QString m_commentColour;
    ColourValue m_selectorColourValue = 0;
    ColourValue m_bracketColourValue = 0;
    ColourValue m_commentColourValue = 0;
    QString m_colourTable;
    bool m_commentOpen = false;
};

} // namespace sheetsmith
