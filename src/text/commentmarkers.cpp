#include "text/commentmarkers.h"

#include <algorithm>

namespace sheetsmith {

CommentMarkerPositions FindCommentMarkers(QStringView text)
{
    CommentMarkerPositions markers;
    const qsizetype n = text.size();
    // Both markers hold a "/", which is rare in style sheets outside comments and URLs:
    // the vectorised search for it does most of the work.
    for (qsizetype i = text.indexOf(u'/'); i >= 0; i = text.indexOf(u'/', i + 1)) {
        if (i > 0 && text[i - 1] == u'*')
            markers.closes.push_back(i - 1);
        if (i + 1 < n && text[i + 1] == u'*')
            markers.opens.push_back(i);
    }
    return markers;
}

namespace {

// The markers in `middle` (found in the changed part, indexes of the new text) take the
// place of the old markers starting in [from, oldEnd); old markers from oldEnd on move
// by delta.
void spliceMarkers(std::vector<qsizetype> &markers, qsizetype from, qsizetype oldEnd,
                   qsizetype delta, const std::vector<qsizetype> &middle)
{
    const auto keptEnd = std::lower_bound(markers.begin(), markers.end(), from);
    const auto tailStart = std::lower_bound(keptEnd, markers.end(), oldEnd);
    for (auto it = tailStart; it != markers.end(); ++it)
        *it += delta;
    const auto at = markers.erase(keptEnd, tailStart);
    markers.insert(at, middle.begin(), middle.end());
}

} // namespace

void SpliceCommentMarkers(CommentMarkerPositions &markers, QStringView newText, qsizetype from,
                          qsizetype removed, qsizetype added)
{
    if (removed == 0 && added == 0)
        return;
    // An old marker is gone when one of its two characters was removed or when the
    // change split it: it starts in [from - 1, from + removed). A new marker starts in
    // [from - 1, from + added); one starting later lies wholly after the change and
    // was there before.
    const qsizetype first = std::max<qsizetype>(from - 1, 0);
    const qsizetype newEnd = from + added;
    const qsizetype searchEnd = std::min(newEnd + 1, newText.size());
    const CommentMarkerPositions found =
        FindCommentMarkers(newText.mid(first, std::max<qsizetype>(searchEnd - first, 0)));
    const auto inChange = [first, newEnd](const std::vector<qsizetype> &local) {
        std::vector<qsizetype> out;
        for (const qsizetype i : local) {
            if (first + i < newEnd)
                out.push_back(first + i);
        }
        return out;
    };
    const qsizetype delta = added - removed;
    spliceMarkers(markers.opens, first, from + removed, delta, inChange(found.opens));
    spliceMarkers(markers.closes, first, from + removed, delta, inChange(found.closes));
}

qsizetype LastMarkerAtOrBefore(const std::vector<qsizetype> &markers, qsizetype maxIndex)
{
    const auto it = std::upper_bound(markers.begin(), markers.end(), maxIndex);
    return it == markers.begin() ? -1 : *(it - 1);
}

qsizetype FirstMarkerAtOrAfter(const std::vector<qsizetype> &markers, qsizetype minIndex)
{
    const auto it = std::lower_bound(markers.begin(), markers.end(), minIndex);
    return it == markers.end() ? -1 : *it;
}

bool BraceInComment(const CommentMarkerPositions &markers, qsizetype b1, qsizetype lineStart1)
{
    if (b1 <= 0)
        return false;
    // A marker lies wholly before the 1-based position b1 when its two characters are at
    // or before b1 - 1: its 0-based start is at most b1 - 3.
    const qsizetype open = LastMarkerAtOrBefore(markers.opens, b1 - 3) + 1;
    if (open == 0)
        return false;
    const qsizetype close = LastMarkerAtOrBefore(markers.closes, b1 - 3) + 1;
    return open >= lineStart1 && close < open;
}

} // namespace sheetsmith
