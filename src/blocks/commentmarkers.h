#pragma once

#include <QString>

#include <vector>

namespace sheetsmith {

// The positions of every "/*" and "*/" in a text, found in one pass, so that the
// comment test for a brace is answered by binary search instead of by searching the
// text backwards for each brace. Overlapping markers are all recorded: "/*/" holds a
// "/*" at its first and a "*/" at its second character.
//
// The text is not kept; the answers describe the text as it was when constructed.
class CommentMarkers
{
public:
    explicit CommentMarkers(const QString &text);

    // Same answer as InComment(b1, lineStart1, text) for the text given to the
    // constructor (see scanner.h).
    bool inComment(qsizetype b1, qsizetype lineStart1) const;

private:
    // 0-based indexes of the first character of each marker, ascending.
    std::vector<qsizetype> m_opens;
    std::vector<qsizetype> m_closes;
};

} // namespace sheetsmith
