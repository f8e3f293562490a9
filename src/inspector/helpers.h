#pragma once

#include <QString>
#include <QtGlobal>

#include "editor/richedit.h"

class QComboBox;
class QListWidget;

namespace sheetsmith {

class TextModel;

// Helpers shared by several windows: the font-family list, colour conversions, line
// queries over the editor's text model and a whole-word search. None keeps state.
//
// A colour value is 24-bit RGB in a 32-bit signed integer, red in the low byte:
// R + 256 * G + 65536 * B. Malformed colour texts give some colour, never an error.

// --- Font list -------------------------------------------------------------------

// Replaces the content with every installed font family, in the platform's order
// (no sorting, filtering or removal of duplicates). A null pointer is ignored.
void FillFontList(QComboBox *box);
void FillFontList(QListWidget *list);

// --- Colours ---------------------------------------------------------------------

// Snaps each component to the nearest multiple of 51 (the web-safe palette).
qint32 WebSafeColor(qint32 color);
// Decimal R, sep, G, sep, B, e.g. "51,102,153". B and G are taken by truncating
// division, so a value outside 0..0xFFFFFF yields components outside 0..255.
QString ColorToRGBText(qint32 color, const QString &sep);
// Six upper-case hex digits from the first three sep-separated decimal numbers.
// Each piece is read like a number typed by hand (blanks, a sign, leading digits;
// no digits reads as 0) and written as the low byte of that number; a missing piece
// counts as 0. So the result always has six digits.
QString RGBTextToHex(const QString &text, const QString &sep);
// Six upper-case hex digits RRGGBB, no "#".
QString ColorToHex(qint32 color);
// "#RRGGBB" -> colour value. The first character is dropped, the rest is reordered
// as its last two, its third and fourth, and its first two characters, and that text
// is read as far as its leading hex digits go (none gives 0). "" gives 0.
qint32 HexToColor(const QString &text);

// --- Words -----------------------------------------------------------------------

// False for the word delimiters ":", " ", ".", ";", ",", LF, CR and TAB; true for
// anything else, the empty text and longer texts included.
bool IsWordChar(const QString &ch);
bool IsWordChar(QChar ch);

// 1-based position of the first case-insensitive match of word at or after start1
// that stands between word delimiters; 0 when there is none. The start of the text
// counts as a delimiter; the end of the text does not, so a match ending at the very
// end of the text is never whole. An empty word is never found; start1 below 1 is
// read as 1. Each retry searches on from the failed match, never from the start.
qsizetype FindWholeWord(qsizetype start1, const QString &text, const QString &word);
// The same search, giving up at the first match that starts at or after limit1: a
// search bounded by a block's end costs no more than the block.
qsizetype FindWholeWord(qsizetype start1, const QString &text, const QString &word, qsizetype limit1);

// --- Editor lines ----------------------------------------------------------------
//
// These answer in the CR LF model: offsets count both characters of a break, a caret
// offset and a character index are 0-based, positions returned are 1-based, lines are
// 1-based. A character index on the CR or LF of a break belongs to the line the break
// ends. All answer from the model's line index in O(log lines).

// Length, without its break, of the line holding charIndex; 0 for an index outside
// 0..length of the text.
qsizetype LineLength(const TextModel &model, qsizetype charIndex);
// 1-based line and column of the caret.
int CaretLine(const TextModel &model, qsizetype caret);
qsizetype CaretColumn(const TextModel &model, qsizetype caret);
// 1-based line holding the character at charIndex; an index past the end gives the
// last line, a negative one the first.
int LineOfChar(const TextModel &model, qsizetype charIndex);
// 1-based position of the line's first character (its caret offset + 1); 0 for a line
// outside 1..LineCount.
qsizetype LineStart(const TextModel &model, int line1);
int LineCount(const TextModel &model);
// The line's text without its break; empty for an empty line or a line outside
// 1..LineCount.
QString LineText(const TextModel &model, int line1);

// The same operations on the editor itself, reading its text model and caret. The
// caret is where the cursor blinks, the moving end of a selection.
inline qsizetype LineLength(const RichEdit &editor, qsizetype charIndex) { return LineLength(editor.model(), charIndex); }
inline int CaretLine(const RichEdit &editor) { return CaretLine(editor.model(), editor.caretOffset()); }
inline qsizetype CaretColumn(const RichEdit &editor) { return CaretColumn(editor.model(), editor.caretOffset()); }
inline int LineOfChar(const RichEdit &editor, qsizetype charIndex) { return LineOfChar(editor.model(), charIndex); }
inline qsizetype LineStart(const RichEdit &editor, int line1) { return LineStart(editor.model(), line1); }
inline int LineCount(const RichEdit &editor) { return LineCount(editor.model()); }
inline QString LineText(const RichEdit &editor, int line1) { return LineText(editor.model(), line1); }

} // namespace sheetsmith
