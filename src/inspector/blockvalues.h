#pragma once

#include <QHash>
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

// DeclaredValue for one block and many names: each line the names are found on is
// prepared (comments and "!important" removed) once, however many names it holds. On a
// minified sheet the block's line is the whole sheet.
class BlockValues
{
public:
    BlockValues(const TextModel &text, const ItmClass &block) : m_text(text), m_block(block) {}
    std::optional<QString> value(const QString &name);

private:
    const TextModel &m_text;
    const ItmClass &m_block;
    QHash<int, QString> m_preparedLines; // 1-based line -> its prepared text
};

// The caret position as the status bar shows it: "Line 3 of  12, Col  5". Every
// number is written with one leading blank, the place of its sign.
QString CaretPositionText(int line, int lineCount, qsizetype column);

} // namespace sheetsmith
