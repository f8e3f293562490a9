#pragma once

#include "text/commentmarkers.h"
#include "text/csscolours.h"

#include <QStringView>

#include <vector>

namespace sheetsmith {

// Where a sheet holds colour values: those the editor marks with a swatch.
//
// A colour value counts only inside a declaration's value (text/cssplaces.h): never in
// a selector (".red", "#fff" as an id), an at-rule's prelude, a comment, a string or a
// url. A hash or a colour function counts in any value; a colour name only in the
// value of a property that takes colours (one whose name holds "color", the
// background, border, outline, column-rule, text-decoration, text-emphasis,
// text-stroke, shadow, fill, stroke, filter, mask, caret and scrollbar properties, each
// also with a vendor prefix, and custom properties), so "font-family: red" or
// "animation-name: tomato" name no colour.
struct ColourSpan
{
    qsizetype offset = 0;
    qsizetype length = 0;
    CssColour colour;
    bool operator==(const ColourSpan &) const = default;
};

// The colour values in these forms that start in [from, to) of text, whose comment
// markers are given (FindCommentMarkers), in text order. The cost follows the range
// and the statements around it, not the text: a range with no colour-like token in it
// costs one reading of the range.
std::vector<ColourSpan> ColourSpans(QStringView text, const CommentMarkerPositions &markers, qsizetype from,
                                    qsizetype to, ColourForms forms);

// Whether a colour name in a value of this property (lower case) is a colour.
bool PropertyTakesColourNames(QStringView property);

} // namespace sheetsmith
