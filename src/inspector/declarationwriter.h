#pragma once

#include <QString>

#include <optional>

namespace sheetsmith {

class Root;
class TextModel;

// One change of the style-sheet text: replace length characters from the caret offset
// start (0 inserts) by text. Offsets are in the editor's CR LF model.
struct DeclarationEdit
{
    qsizetype start = 0;
    qsizetype length = 0;
    QString text;
};

// How the property inspector writes "name: value;" into the sheet, worked out without
// touching the editor. caret is the selection start; blocks must describe text.
//
// The value is taken on one line (line breaks become blanks) without surrounding
// blanks; an empty value, or an empty name, gives nullopt: an empty value neither
// removes nor changes a declaration.
//
// Replace: the property's existing declaration is looked for where the caret is:
// - caret in a block (Root::FindCurrentBlock): after that block's own "{" and before
//   its "}", so a rule that shares its line with an earlier rule never lends that
//   rule's declaration;
// - caret in no block: anywhere in the text outside every closed block, so a loose
//   declaration (or one in a rule whose "}" is not typed yet) is found, but never a
//   declaration of a rule the caret is not in.
// A match is a declaration name, never just the word somewhere: it is whole
// (FindWholeWord's delimiters, letter case ignored, so color never matches inside
// background-color), it lies outside every comment, string and url, only blanks stand
// between it and a following ":", and only blanks between it and the start of its
// line, a preceding "{", "}" or ";" or the end of a comment (so a selector such as
// P.color:first-line or a value naming the property is not taken for the declaration).
// The old declaration runs from its name to its ";" on the same line; without one, it
// ends before a "}" or a comment on that line, or at the line's end, and the blanks
// before that end stay. The line is read as CSS reads it (text/csslexer.h): a ";" in
// a string or url does not end it, and a string not closed ends at the line's end. It
// is replaced by name ": " value ";", whatever the old spacing.
//
// Add, when no declaration is found:
// - caret in a block whose "}" stands on the caret's line: the declaration goes into
//   the block before that "}" (on a line of its own before a "}" that has only blanks
//   before it, else after the last declaration, with a ";" put after that one when
//   it has none), so it never lands after the block's end;
// - caret on an empty line: inserted at the caret, without a line break;
// - otherwise: on a new line of its own right after the caret's line.
std::optional<DeclarationEdit> PlanDeclaration(const TextModel &text, const Root &blocks, qsizetype caret,
                                               const QString &name, const QString &value);

} // namespace sheetsmith
