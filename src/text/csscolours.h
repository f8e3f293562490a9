#pragma once

#include "text/colourvalue.h"
#include "text/csslexer.h"

#include <QString>
#include <QStringView>

#include <optional>

namespace sheetsmith {

// The colour values a sheet may hold, as the editor reads them to show and change them.
//
// CSS1 knows sixteen colour names ("aqua" to "yellow"), "#rgb", "#rrggbb" and rgb()
// with three numbers or three percentages between commas. Current CSS adds, of what a
// swatch can show: "#rgba" and "#rrggbbaa"; rgb() and rgba() with an alpha and in the
// blank-separated form ("rgb(0 128 255 / 50%)"); hsl() and hsla() in both forms, the
// hue a number or an angle (deg, rad, grad, turn); the 148 named colours, and
// "transparent". Not read, since no fixed colour stands behind them or the editor
// cannot show them as written: currentcolor, the system colours, "none" components,
// calc() and var() inside a colour, hwb(), lab(), lch(), oklab(), oklch(), color() and
// color-mix().
enum class ColourForms : quint8 { Css1, Current };

// A colour with its opacity: alpha 255 is opaque, 0 invisible ("transparent").
struct CssColour
{
    ColourValue rgb = 0;
    int alpha = 255;
    bool operator==(const CssColour &) const = default;
};

// The colour a name stands for, ASCII letters compared without regard to case.
std::optional<CssColour> NamedColour(QStringView name, ColourForms forms);
// The CSS1 name of a colour ("navy"), or an empty text when it has none.
QString Css1ColourName(ColourValue rgb);

// The colour value that begins with `token` in text, when it is one in these forms: a
// name, a hash, or a colour function with its arguments; its colour and where it ends
// (after the function's ")"). Numbers outside their range are clipped into it, as
// CSS does.
struct ColourAt
{
    CssColour colour;
    qsizetype end = 0;
};
std::optional<ColourAt> ReadColourAt(QStringView text, const CssToken &token, ColourForms forms);
// A whole text that is one colour value in these forms, with nothing around it.
std::optional<CssColour> ReadCssColour(QStringView value, ColourForms forms);

// The colour value `value` (any of the forms above) written anew for another colour,
// in its own notation where that can hold the colour: "#rgb" stays short when each
// component's two hex digits agree and becomes "#rrggbb" otherwise, "#rrggbb" stays
// long, hex digits keep their letter case; a function keeps its name, separators,
// blanks and alpha, and each component keeps its type (a number stays a number, a
// percentage a percentage, a hue its unit) with as few decimals as give the colour
// back exactly; a name becomes the CSS1 name of the colour when there is one, else
// "#rrggbb". The alpha of "#rgba" and "#rrggbbaa" stays. The value itself comes back
// when the colour is the one it already has; nullopt when it is no colour value.
std::optional<QString> RewriteCssColour(QStringView value, ColourValue colour);

} // namespace sheetsmith
