#include "text/commentmarkers.h"

#include <algorithm>
#include <cstring>

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

// Texts are compared in blocks with memcmp, which is vectorised, before the last block is
// compared character by character.
constexpr qsizetype kCompareBlock = 2048;

qsizetype commonPrefix(QStringView a, QStringView b)
{
    const qsizetype n = std::min(a.size(), b.size());
    qsizetype i = 0;
    while (i + kCompareBlock <= n
           && std::memcmp(a.data() + i, b.data() + i, size_t(kCompareBlock) * sizeof(QChar)) == 0)
        i += kCompareBlock;
    while (i < n && a[i] == b[i])
        ++i;
    return i;
}

// The common end of a and b, at most limit characters long.
qsizetype commonSuffix(QStringView a, QStringView b, qsizetype limit)
{
    const qsizetype n = std::min({a.size(), b.size(), limit});
    qsizetype i = 0;
    while (i + kCompareBlock <= n
           && std::memcmp(a.data() + a.size() - i - kCompareBlock,
                          b.data() + b.size() - i - kCompareBlock,
                          size_t(kCompareBlock) * sizeof(QChar)) == 0)
        i += kCompareBlock;
    while (i < n && a[a.size() - 1 - i] == b[b.size() - 1 - i])
        ++i;
    return i;
}

// Markers of the old text whose two characters lie in its common start (index + 1 <
// prefix), the markers found in the new text's middle, then the old markers lying in
// the common end (index >= oldEnd), moved by delta.
void spliceMarkers(std::vector<qsizetype> &markers, qsizetype prefix, qsizetype oldEnd,
                   qsizetype delta, const std::vector<qsizetype> &middle)
{
    const auto keptEnd = std::lower_bound(markers.begin(), markers.end(), prefix - 1);
    const auto tailStart = std::lower_bound(keptEnd, markers.end(), oldEnd);
    std::vector<qsizetype> out;
    out.reserve(markers.size() + middle.size());
    out.insert(out.end(), markers.begin(), keptEnd);
    out.insert(out.end(), middle.begin(), middle.end());
    for (auto it = tailStart; it != markers.end(); ++it)
        out.push_back(*it + delta);
    markers = std::move(out);
}

} // namespace

void UpdateCommentMarkers(CommentMarkerPositions &markers, QStringView oldText,
                          QStringView newText)
{
    const qsizetype prefix = commonPrefix(oldText, newText);
    const qsizetype suffix =
        commonSuffix(oldText, newText, std::min(oldText.size(), newText.size()) - prefix);
    if (prefix == oldText.size() && prefix == newText.size())
        return;
    const qsizetype oldEnd = oldText.size() - suffix;
    const qsizetype newEnd = newText.size() - suffix;
    // A marker of the new text is new unless both its characters lie in the common start
    // or it starts in the common end: it starts in [prefix - 1, newEnd).
    const qsizetype from = std::max<qsizetype>(prefix - 1, 0);
    const qsizetype to = std::min(newEnd + 1, newText.size());
    const CommentMarkerPositions middle = FindCommentMarkers(newText.mid(from, to - from));
    const auto shifted = [from, newEnd](const std::vector<qsizetype> &found) {
        std::vector<qsizetype> out;
        for (const qsizetype i : found) {
            if (from + i < newEnd)
                out.push_back(from + i);
        }
        return out;
    };
    const qsizetype delta = newText.size() - oldText.size();
    spliceMarkers(markers.opens, prefix, oldEnd, delta, shifted(middle.opens));
    spliceMarkers(markers.closes, prefix, oldEnd, delta, shifted(middle.closes));
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

bool CommentMarkers::inComment(qsizetype b1, qsizetype lineStart1) const
{
    if (b1 <= 0)
        return false;
    // A marker lies wholly before the 1-based position b1 when its two characters are at
    // or before b1 - 1: its 0-based start is at most b1 - 3.
    const qsizetype open = LastMarkerAtOrBefore(m_positions.opens, b1 - 3) + 1;
    if (open == 0)
        return false;
    const qsizetype close = LastMarkerAtOrBefore(m_positions.closes, b1 - 3) + 1;
    return open >= lineStart1 && close < open;
}

} // namespace sheetsmith
