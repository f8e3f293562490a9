#pragma once

#include "inspector/catalogue.h"
#include "text/commentmarkers.h"

#include <QString>
#include <QStringView>

namespace sheetsmith {

// What the editor's tool tip says about the character at a CR LF offset of a sheet,
// read as text/cssplaces.h reads it:
//   - a property name: the catalogue's description and the values CSS1 allows for it
//     (or that CSS level 1 has no such property);
//   - a keyword in a declaration's value: whether CSS1 allows it for that property,
//     alone or, in a shorthand, as the value of one of the properties it sets;
//   - a selector: the specificity of the member of its group under the pointer, as
//     (IDs, classes and pseudo-classes, elements), counted as the preview's pick counts
//     it (SelectorSpecificity);
// and nothing over blanks, comments, strings, punctuation, numbers and at-rules.
QString HoverHelpAt(QStringView text, const CommentMarkerPositions &markers, qsizetype offset,
                    const Catalogue &catalogue);

} // namespace sheetsmith
