#pragma once

#include <QString>

namespace sheetsmith {

class ItmClass;
class RichEdit;
class Root;

// The edits the selector tree and its new-selector panels make in the sheet. Each one
// works through the editor's caret, selection and selected text, as the author would,
// and is one undo step. None rebuilds the blocks or the tree: the caller does that.

// Inserts a new empty rule for selector after the block the caret is in (or the next
// block after the caret): a line break after that block's "}", then the selector,
// " {", three line breaks and "}". With no block ending after the caret the rule goes
// to the very start of the text, behind the line break. Leaves the caret on the first
// empty line inside the braces.
void InsertRule(RichEdit &editor, const Root &blocks, const QString &selector);

// Removes a block from the start of its selector's line through its "}". A block
// whose "}" is missing or commented out (Ends 0) has no known end: nothing is removed
// and false is returned, so the author's text is never cut at a guess.
bool DeleteBlock(RichEdit &editor, const ItmClass &block);

// Replaces the selector of a block, as written on the line of its "{", by text. The
// selector is taken from the first non-blank character of that line up to the last
// non-blank one before the "{" (comments and blanks inside it included), so a
// selector indented or written with blanks is replaced whole. Puts the caret at the
// block's start.
void RenameSelector(RichEdit &editor, const ItmClass &block, const QString &text);

// Moves the caret to the start of the first block whose selector text is exactly
// label, by way of the end of the text so that the block's line comes into view near
// the top. Returns false, moving nothing, when no block has that text.
bool JumpToSelector(RichEdit &editor, const Root &blocks, const QString &label);

} // namespace sheetsmith
