#include "text/colourspans.h"

#include "text/cssplaces.h"

#include <algorithm>

namespace sheetsmith {

namespace {

// How far before the range its first line may begin to be read.
constexpr qsizetype kReach = 256 * 1024;

} // namespace

bool PropertyTakesColourNames(QStringView property)
{
    if (property.startsWith(u"--"))
        return true;
    QStringView p = property;
    if (p.startsWith(u'-')) {
        const qsizetype dash = p.indexOf(u'-', 1);
        if (dash > 0)
            p = p.sliced(dash + 1);
    }
    if (p.contains(u"color"))
        return true;
    static const QStringView kFamilies[] = {u"background",  u"border",          u"outline",       u"column-rule",
                                            u"text-decoration", u"text-emphasis", u"text-stroke", u"box-shadow",
                                            u"text-shadow", u"fill",            u"stroke",        u"filter",
                                            u"mask",        u"caret",           u"scrollbar"};
    return std::any_of(std::begin(kFamilies), std::end(kFamilies), [p](QStringView family) {
        return p.startsWith(family) && (p.size() == family.size() || p[family.size()] == u'-');
    });
}

std::vector<ColourSpan> ColourSpans(QStringView text, const CommentMarkerPositions &markers, qsizetype from,
                                    qsizetype to, ColourForms forms)
{
    std::vector<ColourSpan> spans;
    from = std::clamp<qsizetype>(from, 0, text.size());
    to = std::clamp<qsizetype>(to, from, text.size());
    const auto colourLike = [text, forms](const CssToken &t) {
        return (t.type == CssTokenType::Ident || t.type == CssTokenType::Hash || t.type == CssTokenType::Function)
               && ReadColourAt(text, t, forms).has_value();
    };
    // Most lines hold no colour: the statements around them are not read.
    const qsizetype start = CssSafeStart(text, markers, from, from - kReach, kCssViewUrlReach);
    if (start < 0)
        return spans;
    bool any = false;
    for (CssLexer lexer(text, start); !any && lexer.position() < to;) {
        const CssToken t = lexer.next();
        any = t.offset >= from && t.offset < to && colourLike(t);
    }
    if (!any)
        return spans;
    ForEachCssPlace(text, markers, from, to, colourLike, [&](const CssToken &t, const CssPlace &place) {
        if (place.kind != CssPlace::Value)
            return;
        if (t.type == CssTokenType::Ident && !PropertyTakesColourNames(place.property))
            return;
        if (const std::optional<ColourAt> colour = ReadColourAt(text, t, forms))
            spans.push_back({t.offset, colour->end - t.offset, colour->colour});
    });
    return spans;
}

} // namespace sheetsmith
