#pragma once

#include <QString>
#include <QtGlobal>

#include <optional>

namespace sheetsmith {

// Searches for words in a text: the whole-word search of the property values and the
// search of Find and Replace. Neither keeps state.

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
// The same bounded search with other delimiters: isDelimiter tells which characters may
// stand before and after a whole word.
qsizetype FindWholeWord(qsizetype start1, const QString &text, const QString &word, qsizetype limit1,
                        bool (*isDelimiter)(QChar));

// How FindInText compares.
struct FindOptions
{
    // A match's first and last characters, when they are identifier characters
    // (letters, digits, "_"), must have no identifier character next to them outside.
    bool wholeWord = false;
    // Otherwise letter case is ignored.
    bool matchCase = false;
};

// The editor's search: the 0-based offset of the match of `what` in text, or -1.
// Offsets are clamped to the text. The range:
//   start and end omitted: the selection (selStart, selLength) when it is not empty,
//   else the whole text; start only: from start to the end of the text; end only:
//   from 0 to end; start <= end: from start to end.
// Forwards, a match must begin at or after the range's start and end at or before its
// end; the first one is taken. With start > end the search runs backwards: a match
// must begin at or before start and at or after end, and the one beginning nearest to
// start is taken (it may reach past start). An empty `what` is never found.
qsizetype FindInText(const QString &text, const QString &what, qsizetype selStart,
                     qsizetype selLength, std::optional<qsizetype> start,
                     std::optional<qsizetype> end, FindOptions options);

} // namespace sheetsmith
