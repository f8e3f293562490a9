#include "editor/colourvalue.h"

#include <QRegularExpression>

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

QString colourToRtfDefinition(ColourValue c)
{
    if (c < 0 || c > 0xFFFFFF)
        return QString();
    return QStringLiteral("\\red%1\\green%2\\blue%3")
        .arg(colourRed(c))
        .arg(colourGreen(c))
        .arg(colourBlue(c));
}

std::optional<ColourValue> colourFromRtfDefinition(const QString &definition)
{
    if (definition.isEmpty())
        return kAutoColour;
    static const QRegularExpression form(
        QStringLiteral("^\\\\red(\\d{1,3})\\\\green(\\d{1,3})\\\\blue(\\d{1,3})$"));
    const QRegularExpressionMatch m = form.match(definition);
    if (!m.hasMatch())
        return std::nullopt;
    const int r = m.captured(1).toInt();
    const int g = m.captured(2).toInt();
    const int b = m.captured(3).toInt();
    if (r > 255 || g > 255 || b > 255)
        return std::nullopt;
    return makeColour(r, g, b);
}

} // namespace sheetsmith
