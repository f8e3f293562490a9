#pragma once

#include <QtGlobal>

#include <functional>

class QStringView;

namespace sheetsmith {

class Colouriser;
class RichEdit;
class Root;

// The Edit menu's text commands and block navigation. Each works on the editor through
// its selection start (the caret), selection length and selected text, as the author
// would; none rescans the blocks, which caret tracking does at the next change of line.
//
// Indent, Unindent, Comment and Paste change the editor inside a ColouringScope, so
// caret tracking sees their selection changes only to follow the caret, never to catch
// up on a line. Each of them is one undo step. Next Block, Previous Block, Select All,
// Cut and Copy move the caret as the author's own moves do.
//
// Indent and Unindent take the tab width from their caller, who reads it from the
// settings at each command. Only blanks (U+0020) are inserted or removed, never tabs.
class EditCommands
{
public:
    // Keeps references: all three must outlive the commands.
    EditCommands(RichEdit &editor, const Root &blocks, Colouriser &colouriser);

    EditCommands(const EditCommands &) = delete;
    EditCommands &operator=(const EditCommands &) = delete;

    // Caret to the start of the line of the next block's "{" after the caret; with no
    // block after it, to 0, so that repeating the command cycles through the blocks.
    void NextBlock();
    // Caret to the start of the block before the one holding the caret, of the first
    // block when the caret is in the first, and to 0 when the caret is in no block.
    void PreviousBlock();

    // Without a selection: tab-width blanks at the caret. With one: tab-width blanks at
    // the start of every line from the selection's start through the line holding its
    // end offset (so a selection ending at the start of a line takes that line in); the
    // selection then runs from its old start to the end of the last line's text.
    void Indent(int tabWidth);
    // Removes from the start of each line from the selection's start through the line
    // holding its end offset (or of the caret's line) the first of tw, tw - 1, tw - 2
    // and tw - 3 blanks (counts below 1 skipped) that the line begins with. The caret
    // goes back to its offset; a selection is then set as by Indent.
    void Unindent(int tabWidth);
    // Wraps the selection in "/*" and "*/", selected, in the comment colour; without a
    // selection inserts "/* */" with the caret after the "/*".
    void Comment();

    void SelectAll();
    // The selection goes to the clipboard as plain text (line breaks as LF, as other
    // programs on this platform expect) and as RTF ("text/rtf", with its colours).
    // An empty selection does nothing, so the clipboard is never emptied by accident.
    void Cut();
    void Copy();
    // Inserts the clipboard's plain text over the selection, with every line break
    // (CR LF, LF or CR) as CR LF, recolours every line the paste touched and leaves the
    // caret after the inserted text. An empty clipboard changes nothing.
    void Paste();

    // Lays the sheet out one statement per line (FormatSheet, text/formatsheet.h) as
    // one edit and one undo step; with a selection, only the whole lines it touches,
    // at the depth of blocks open where they begin. Only blanks and line breaks change.
    // The caret stays before the same non-blank character, and the lines that changed
    // are recoloured in one pass. Returns false, changing nothing, when the text is
    // laid out so already.
    bool Format(int tabWidth);

private:
    // Rewrites the leading blanks of lines first..last (1-based) in one edit: `change`
    // gets each line's text and answers how many blanks to add (positive) or remove
    // from its start (negative). Returns false, editing nothing, when no line changes.
    bool changeLineStarts(int first, int last, const std::function<qsizetype(QStringView)> &change);
    // The selection Indent and Unindent leave: from the caret to the end of line
    // `last`'s text.
    void selectToLineEnd(int last);
    void putSelectionOnClipboard() const;

    RichEdit &m_editor;
    const Root &m_blocks;
    Colouriser &m_colouriser;
};

} // namespace sheetsmith
