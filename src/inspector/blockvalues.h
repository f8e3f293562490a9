#pragma once

#include <QString>
#include <optional>

namespace sheetsmith {

class ItmClass;
class TextModel;

// The value a declaration block gives a property, as the property list shows it:
// the text after the property's name on the line where a whole-word search from the
// block's selector line first finds the name before the block's end, with comments
// and "!important" removed, up to the first ";" or "}", without ":" and ";" and without
// surrounding blanks. nullopt when the block names the property nowhere, or only
// inside a comment.
//
// Braces count as word delimiters too, so a rule written on one line without blanks
// ("p{color:red}") shows its values. The value is read after the whole-word
// occurrence of the name on that line, so a longer name that starts the same way and
// stands first ("font-size" before "font") does not lend its value.
std::optional<QString> DeclaredValue(const TextModel &text, const ItmClass &block, const QString &name);

// The caret position as the status bar shows it: "Line 3 of  12, Col  5". Every
// number is written with one leading blank, the place of its sign.
QString CaretPositionText(int line, int lineCount, qsizetype column);

} // namespace sheetsmith
