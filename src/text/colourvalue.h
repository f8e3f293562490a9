#pragma once

#include <QString>
#include <QtGlobal>

#include <optional>

namespace sheetsmith {

// A 24-bit RGB colour held as R + 256 * G + 65536 * B (red in the low byte), the form
// the colour dialog, the settings, the property values and the editor's colouring
// exchange.
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

// The value of one hexadecimal digit (either letter case), or -1 for any other
// character. The one hex reader of the program: colour texts and RTF escapes use it.
constexpr int hexDigitValue(char16_t u)
{
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (u >= u'a' && u <= u'f')
        return u - u'a' + 10;
    if (u >= u'A' && u <= u'F')
        return u - u'A' + 10;
    return -1;
}
inline int hexDigitValue(QChar c) { return hexDigitValue(c.unicode()); }

// --- RTF colour-table definitions ------------------------------------------------

// "\redR\greenG\blueB" with decimal components; kAutoColour gives the empty text, the
// definition of an automatic colour-table entry.
QString colourToRtfDefinition(ColourValue c);
// Reads a definition of exactly that form (components 0 to 255, in that order, no
// blanks). The empty text gives kAutoColour; anything else gives nullopt.
std::optional<ColourValue> colourFromRtfDefinition(const QString &definition);

// --- Colour texts of the property values --------------------------------------------
//
// Malformed colour texts give some colour, never an error.

// Snaps each component to the nearest multiple of 51 (the web-safe palette).
ColourValue WebSafeColor(ColourValue color);
// Decimal R, sep, G, sep, B, e.g. "51,102,153". B and G are taken by truncating
// division, so a value outside 0..0xFFFFFF yields components outside 0..255.
QString ColorToRGBText(ColourValue color, const QString &sep);
// Six upper-case hex digits from the first three sep-separated decimal numbers.
// Each piece is read like a number typed by hand (blanks, a sign, leading digits;
// no digits reads as 0) and written as the low byte of that number; a missing piece
// counts as 0. So the result always has six digits.
QString RGBTextToHex(const QString &text, const QString &sep);
// Six upper-case hex digits RRGGBB, no "#".
QString ColorToHex(ColourValue color);
// "#RRGGBB" -> colour value. The first character is dropped, the rest is reordered
// as its last two, its third and fourth, and its first two characters, and that text
// is read as far as its leading hex digits go (none gives 0). "" gives 0.
ColourValue HexToColor(const QString &text);

} // namespace sheetsmith
