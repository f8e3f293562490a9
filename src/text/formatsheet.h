#pragma once

#include <QString>
#include <QStringView>
#include <QtGlobal>

namespace sheetsmith {

// The Format Sheet rule: a sheet laid out one statement per line. Only blanks, tabs, CR
// and LF are ever inserted, removed or changed, and never inside a comment or a string;
// formatting a formatted text changes nothing.
//
// What the text is read as: its CSS tokens (text/csslexer.h). Comments, strings,
// url(...) and names with their escapes are kept whole; inside parentheses ";", "{"
// and "}" are plain characters. A comment not closed runs to the end of the text; a
// string not closed ends at its line's end, and that line break stays as written (made
// a blank, it would let the string run on), as does the one after a backslash (made a
// blank, it would be escaped). A form feed is kept as a character. The blank that a
// hex escape takes after its digits ("\41 ") belongs to its name: it stays, except
// that a line break written after the name takes its place, and it serves as the blank
// before a "{".
//
// The layout:
//   - a selector on a line of its own, its blank runs (line breaks too) made one blank,
//     followed by " {"; its declarations and nested rules one per line, indented by
//     tabWidth blanks per open block (at most kMaxFormatIndent blanks), then "}" at the
//     selector's indentation. Inside a block a statement is a nested rule's selector when
//     "{" ends it, else a declaration;
//   - a declaration with its blank runs made one blank, no blank before its first ":"
//     outside parentheses and one after it when anything follows, then the ";" when the
//     text has one. An empty declaration (";" alone) joins a ";" that ends the line above;
//   - one blank line between top-level statements (rules, "@import ...;", stray text, a
//     "}" with no block open, which goes on a line of its own at depth 0); a comment on
//     its own line before a statement stays with it, without a blank line between;
//   - a comment after something on the same line of the text ends that output line,
//     after one blank; a comment that begins a line of the text gets a line of its own;
//     a comment inside a selector or a declaration stays where it is in it;
//   - a block whose "}" is missing stays open to the end;
//   - no blank line at the start, CR LF breaks and one CR LF at the end, except that a
//     text ending inside an unclosed comment, string or url (or with a backslash) ends
//     as it does: a break added there would change it, or be escaped. An empty or
//     all-blank text gives "".
// startDepth is the number of blocks the text lies inside (a selection inside a rule):
// indentation starts there, and a "}" there closes one of those outer blocks.
QString FormatSheet(QStringView text, int tabWidth, int startDepth = 0);

// How many blocks are open at the 0-based offset of text, read as FormatSheet reads it
// (braces in comments, strings, urls and parentheses not counted; a "}" with no block open
// counts nothing), so that a selection starting there is formatted at its depth. The
// offset is clamped to the text.
int FormatDepthAt(QStringView text, qsizetype offset);

// Indentation is capped so that a text of stray "{" cannot make the result grow with
// the square of its size.
inline constexpr int kMaxFormatIndent = 128;

} // namespace sheetsmith
