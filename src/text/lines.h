#pragma once

#include <QString>
#include <QtGlobal>

namespace sheetsmith {

class TextModel;

// Line queries over the CR LF text model, in the positions the editing rules speak:
// offsets count both characters of a break, a caret offset and a character index are
// 0-based, positions returned are 1-based, lines are 1-based. A character index on the
// CR or LF of a break belongs to the line the break ends. All answer from the model's
// line index in O(log lines).

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

} // namespace sheetsmith
