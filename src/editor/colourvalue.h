#pragma once

#include <QColor>
#include <QString>
#include <QtGlobal>

#include <optional>

namespace sheetsmith {

// A 24-bit RGB colour held as R + 256 * G + 65536 * B (red in the low byte), the form
// the colour dialog, the settings and the editor's colouring exchange.
using ColourValue = qint32;

// The editor's automatic text colour: the palette's text colour, not a fixed RGB value.
constexpr ColourValue kAutoColour = -1;

constexpr ColourValue makeColour(int red, int green, int blue)
{
    return ColourValue((red & 0xFF) | ((green & 0xFF) << 8) | ((blue & 0xFF) << 16));
}

constexpr int colourRed(ColourValue c) { return c & 0xFF; }
constexpr int colourGreen(ColourValue c) { return (c >> 8) & 0xFF; }
constexpr int colourBlue(ColourValue c) { return (c >> 16) & 0xFF; }

// True for kAutoColour and for every value in 0 .. 0xFFFFFF.
constexpr bool isValidColour(ColourValue c)
{
    return c == kAutoColour || (c >= 0 && c <= 0xFFFFFF);
}

// kAutoColour (and any value outside the 24-bit range) gives an invalid QColor.
QColor colourToQColor(ColourValue c);
// An invalid QColor gives kAutoColour; alpha is dropped.
ColourValue colourFromQColor(const QColor &colour);

// "\redR\greenG\blueB" with decimal components; kAutoColour gives the empty text, the
// definition of an automatic colour-table entry.
QString colourToRtfDefinition(ColourValue c);
// Reads a definition of exactly that form (components 0 to 255, in that order, no
// blanks). The empty text gives kAutoColour; anything else gives nullopt.
std::optional<ColourValue> colourFromRtfDefinition(const QString &definition);

} // namespace sheetsmith
