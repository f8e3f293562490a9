#pragma once

#include <QString>
#include <QStringList>

namespace sheetsmith {

class Root;
class TextModel;
struct EditedRange;

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
// b1 = 0 gives false. Searches the text backwards; ScanBlocks uses the model's markers.
bool InComment(qsizetype b1, qsizetype lineStart1, const QString &text);

// The element selectors of the new-element list, in list order ("A:link" ... "VAR").
QStringList ElementNames();

// Rebuilds blocks from the text: Clear, then one Add per live "{" in ascending order.
// Linear in the size of the text: the comment markers come from the model, the "}"
// search moves only forward, lines come from the model's index, and each "{" line's
// selector is worked out once however many rules it holds.
void ScanBlocks(const TextModel &text, const QStringList &elementNames, Root &blocks);

// What an update of a block list did: the blocks at the 0-based indexes [first, first +
// removed) of the list before gave way to those at [first, first + added) of the list
// after; the blocks after them only moved.
struct BlockSplice
{
    qsizetype first = 0;
    qsizetype removed = 0;
    qsizetype added = 0;

    // This splice followed by `next`, made on the list this one left, as one splice
    // (which may take in blocks that neither changed).
    BlockSplice then(const BlockSplice &next) const;
};

// Brings blocks, scanned from the text as it was before `edited`, to what ScanBlocks
// gives for the text now, rescanning only where the edits can have changed a block:
//
// - a block's selector, kind and Begins come from its "{" line alone, and so does the
//   comment test of its "{";
// - its Ends is the first "}" after its "{", judged on that brace's line.
//
// So a block whose "{" lies before the last "}" in front of the first edited line keeps
// everything, and a block whose "{" line starts after the last edited line only moves.
// The blocks of the lines between are scanned again (for a text without "}" before the
// edit, from its start). Returns what changed in the list.
BlockSplice UpdateBlocks(const TextModel &text, const QStringList &elementNames, Root &blocks,
                         const EditedRange &edited);

} // namespace sheetsmith
