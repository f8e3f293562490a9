#include "editor/qtcolour.h"

namespace sheetsmith {

QColor colourToQColor(ColourValue c)
{
    if (c < 0 || c > 0xFFFFFF)
        return QColor();
    return QColor(colourRed(c), colourGreen(c), colourBlue(c));
}

ColourValue colourFromQColor(const QColor &colour)
{
    if (!colour.isValid())
        return kAutoColour;
    const QColor rgb = colour.toRgb();
    return makeColour(rgb.red(), rgb.green(), rgb.blue());
}

} // namespace sheetsmith
