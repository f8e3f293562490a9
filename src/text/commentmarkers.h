#pragma once

#include <QString>
#include <QStringView>

#include <vector>

namespace sheetsmith {

// The comment markers "/*" and "*/" of a text, found in one pass, so that questions
// about comments are answered by binary search instead of by searching the text again.
// Both the scanner (is this brace commented out?) and the line colouring (where is the
// last opener and closer up to this line?) ask them.

// 0-based indexes of the first character of every "/*" and every "*/" in a text,
// ascending. Overlapping markers are all recorded: "/*/" holds a "/*" at its first
// and a "*/" at its second character.
struct CommentMarkerPositions
{
    std::vector<qsizetype> opens;
    std::vector<qsizetype> closes;
};
CommentMarkerPositions FindCommentMarkers(QStringView text);
// Brings the markers of a text to those of newText, the same text after `removed`
// characters at `from` gave way to `added` others: markers wholly before the change
// stay, those after it move by the change of length, and only the changed part (with
// one character either side, where a marker may start or end) is searched. Gives the
// same as FindCommentMarkers(newText).
void SpliceCommentMarkers(CommentMarkerPositions &markers, QStringView newText, qsizetype from,
                          qsizetype removed, qsizetype added);

// The largest marker index not above maxIndex, or -1.
qsizetype LastMarkerAtOrBefore(const std::vector<qsizetype> &markers, qsizetype maxIndex);
// The smallest marker index not below minIndex, or -1.
qsizetype FirstMarkerAtOrAfter(const std::vector<qsizetype> &markers, qsizetype minIndex);

// Whether the brace at the 1-based position b1 counts as commented out: the last "/*"
// lying wholly before it starts at or after lineStart1 (the 1-based start of the
// brace's line) and no "*/" lies between that "/*" and the brace. A comment opened on
// an earlier line and still open is not seen. b1 <= 0 gives false.
bool BraceInComment(const CommentMarkerPositions &markers, qsizetype b1, qsizetype lineStart1);

// The markers of one text together with the comment test for its braces. The text is
// not kept; the answers describe the text as it was when constructed.
class CommentMarkers
{
public:
    explicit CommentMarkers(QStringView text) : m_positions(FindCommentMarkers(text)) {}

    // BraceInComment over this text's markers.
    bool inComment(qsizetype b1, qsizetype lineStart1) const
    {
        return BraceInComment(m_positions, b1, lineStart1);
    }

    const CommentMarkerPositions &positions() const { return m_positions; }

private:
    CommentMarkerPositions m_positions;
};

} // namespace sheetsmith
