#include "blocks/commentmarkers.h"

#include <algorithm>

namespace sheetsmith {

CommentMarkers::CommentMarkers(const QString &text)
{
    // Both markers contain a "/", and "/" is rare in style sheets outside comments and
    // URLs, so the vectorised character search does most of the work.
    const QChar *s = text.constData();
    const qsizetype n = text.size();
    for (qsizetype i = text.indexOf(u'/'); i >= 0; i = text.indexOf(u'/', i + 1)) {
        if (i > 0 && s[i - 1] == u'*')
            m_closes.push_back(i - 1);
        if (i + 1 < n && s[i + 1] == u'*')
            m_opens.push_back(i);
    }
}

namespace {

// 1-based position of the last marker lying wholly before the 1-based position b1
// (its two characters at or before b1 - 1), or 0 when there is none.
qsizetype lastMarkerBefore(const std::vector<qsizetype> &markers, qsizetype b1)
{
    // Wholly before b1 means 0-based start m with m + 2 <= b1 - 1.
    const qsizetype limit = b1 - 3;
    const auto it = std::upper_bound(markers.begin(), markers.end(), limit);
    if (it == markers.begin())
        return 0;
    return *(it - 1) + 1;
}

} // namespace

bool CommentMarkers::inComment(qsizetype b1, qsizetype lineStart1) const
{
    if (b1 <= 0)
        return false;
    const qsizetype open = lastMarkerBefore(m_opens, b1);
    if (open == 0)
        return false;
    const qsizetype close = lastMarkerBefore(m_closes, b1);
    return open >= lineStart1 && close < open;
}

} // namespace sheetsmith
