#pragma once

#include <QtGlobal>

#include <optional>

namespace sheetsmith {

// Where each press of Find Next searches, as the range FindInText (text/words.h) takes:
// a start and an end, either of them omitted, or no search at all.
//
// A first search starts from the editor's selection or caret: "All" searches the
// selection when there is one, else the whole text; "Up" starts at the top (the first
// match at or after offset 1; the presses that follow go up from wherever the caret
// then stands); "Down" searches from the selection's start to the end.
//
// A following press continues from the match: "All" and "Down" from the end of the
// selection (the match) to the end of the text; "Up" backwards from just before the
// selection to offset 1. There a match must begin within [1, selStart - 1], the one
// nearest selStart - 1 taken. FindInText reads a range whose bounds are equal, or a
// negative bound clamped to 0, as a forward range, which would find a match at 0 again
// and again: so an empty range searches nothing, and the one-offset range asks for a
// match beginning exactly at 1. No search wraps around: the end of the text ends it.
enum class FindDirection { All = 0, Up = 1, Down = 2 };

struct FindRange
{
    bool search = true; // false: nothing is searched, as if nothing were found
    std::optional<qsizetype> start;
    std::optional<qsizetype> end;
};

FindRange FirstFindRange(FindDirection direction, qsizetype selStart, qsizetype textLength);
FindRange NextFindRange(FindDirection direction, qsizetype selStart, qsizetype selLength, qsizetype textLength,
                        qsizetype whatLength);

} // namespace sheetsmith
