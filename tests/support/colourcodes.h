#pragma once

#include "editor/colouringrules.h"
#include "text/colourvalue.h"

#include <QString>

#include <vector>

namespace sheetsmith {

class RichEdit;

// The syntax colours the colouring tests use.
inline const ColourValue kSelector = makeColour(0, 0, 255);
inline const ColourValue kBracket = makeColour(255, 0, 0);
inline const ColourValue kComment = makeColour(0, 128, 0);

// The three test colours in both of their forms.
inline SyntaxColours testColours()
{
    return SyntaxColours::fromValues(kSelector, kBracket, kComment);
}

// One letter per colour: s selector, b brace, c comment, k black, . automatic, ? other.
inline QChar colourCode(ColourValue colour)
{
    if (colour == kSelector)
        return u's';
    if (colour == kBracket)
        return u'b';
    if (colour == kComment)
        return u'c';
    if (colour == 0)
        return u'k';
    if (colour == kAutoColour)
        return u'.';
    return u'?';
}

// One code per colour, as colourCode gives them; a colour of no code as "<value>".
inline QString colourCodes(const std::vector<ColourValue> &colours)
{
    QString out;
    for (const ColourValue c : colours) {
        const QChar code = colourCode(c);
        if (code == u'?')
            out += QStringLiteral("<%1>").arg(c);
        else
            out += code;
    }
    return out;
}

// The colours of the editor's text, line by line (breaks left out), joined by "|".
QString editorColourCodes(const RichEdit &edit);

} // namespace sheetsmith
