#pragma once

// The colour values of a whole text read line by line, as the editor reads the lines
// it shows; header-only, for the fuzz targets too.
#include "text/colourspans.h"
#include "text/commentmarkers.h"

#include <QString>

#include <vector>

namespace sheetsmith {

inline std::vector<ColourSpan> ColourSpansByLine(const QString &text, const CommentMarkerPositions &markers,
                                                 ColourForms forms)
{
    std::vector<ColourSpan> spans;
    for (qsizetype at = 0; at <= text.size();) {
        qsizetype end = text.indexOf(u'\n', at);
        if (end < 0)
            end = text.size();
        const std::vector<ColourSpan> line = ColourSpans(text, markers, at, end, forms);
        spans.insert(spans.end(), line.begin(), line.end());
        at = end + 1;
    }
    return spans;
}

} // namespace sheetsmith
