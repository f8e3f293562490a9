#pragma once

#include "editor/colourvalue.h"
#include "settings/settingsstore.h"

#include <QString>

namespace sheetsmith {

class RichEdit;

// The syntax colours the colouring tests use.
inline const ColourValue kSelector = makeColour(0, 0, 255);
inline const ColourValue kBracket = makeColour(255, 0, 0);
inline const ColourValue kComment = makeColour(0, 128, 0);

// Editor settings holding the three test colours in both of their forms.
EditorSettings testColourSettings();

// One letter per colour: s selector, b brace, c comment, k black, . automatic, ? other.
QChar colourCode(ColourValue colour);

// The colours of the editor's text, line by line (breaks left out), joined by "|".
QString editorColourCodes(const RichEdit &edit);

} // namespace sheetsmith
