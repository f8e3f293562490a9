#pragma once

#include "text/colourvalue.h"

#include <QColor>

namespace sheetsmith {

// The colour value as Qt's widgets paint it, and back.

// kAutoColour (and any value outside the 24-bit range) gives an invalid QColor.
QColor colourToQColor(ColourValue c);
// An invalid QColor gives kAutoColour; alpha is dropped.
ColourValue colourFromQColor(const QColor &colour);

} // namespace sheetsmith
