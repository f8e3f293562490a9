#pragma once

#include <QString>
#include <QStringList>

namespace sheetsmith {

class Root;
class TextModel;

// The style-sheet scanner: a line-oriented heuristic over the raw CR LF text, not a
// CSS parser. The rest of the editor relies on its exact results, quirks included:
//
// - one block per "{" that is not commented out (see InComment), in text order;
// - the selector text comes from the "{" line only, before that line's first "{",
//   with blanks (U+0020, not tabs) and comments removed; two rules on one line both
//   get the first rule's selector;
// - kind "ID" when the selector text holds a "#" anywhere; else "Element" when its
//   first comma-separated member occurs, ignoring case, anywhere inside the element
//   names joined by ";" (so "P" matches "PRE" and an empty selector matches); else
//   "Class";
// - Begins is the offset of the start of the "{" line; Ends is the position of the
//   first "}" after the "{", whether or not it belongs to this block, or 0 when
//   there is none or that "}" is commented out (no later "}" is looked for).

// The text with its comments removed, left to right. The end marker is searched from
// the "/*" itself, so "/*/" is a complete comment. An unclosed "/*" stays, together
// with everything after it.
QString StripComments(const QString &text);

// Whether the brace at the 1-based position b1 counts as commented out: the last "/*"
// lying wholly before it starts at or after lineStart1 (the 1-based start of the
// brace's line) and no "*/" lies between that "/*" and the brace. A comment opened on
// an earlier line and still open is not seen, so such a brace counts as live.
// b1 = 0 gives false. Searches the text backwards; ScanBlocks uses CommentMarkers.
bool InComment(qsizetype b1, qsizetype lineStart1, const QString &text);

// The element selectors of the new-element list, in list order ("A:link" ... "VAR").
QStringList ElementNames();

// Rebuilds blocks from the text: Clear, then one Add per live "{" in ascending order.
// Linear in the size of the text: the comment markers are found once, the "}" search
// moves only forward, lines come from the model's index, and each "{" line's selector
// is worked out once however many rules it holds.
void ScanBlocks(const TextModel &text, const QStringList &elementNames, Root &blocks);

} // namespace sheetsmith
