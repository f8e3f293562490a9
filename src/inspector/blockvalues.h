#pragma once

#include <QHash>
#include <QString>

#include <optional>
#include <span>
#include <vector>

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

// DeclaredValue for one block and many names. The names are found in one pass over the
// block (FindPropertyNames), and each line they are found on is prepared (comments and
// "!important" removed) once, however many names it holds: on a minified sheet the
// block's line is the whole sheet.
class BlockValues
{
public:
    // The names must outlive this.
    BlockValues(const TextModel &text, const ItmClass &block, std::span<const QString> names);
    // The value of names[i].
    std::optional<QString> value(size_t i);

private:
    const TextModel &m_text;
    std::span<const QString> m_names;
    std::vector<qsizetype> m_found; // 1-based position of each name in the block, or 0
    QHash<int, QString> m_preparedLines; // 1-based line -> its prepared text
};

// Whether a character ends a property name: a word delimiter (IsWordChar) or a brace.
bool IsNameDelimiter(QChar c);

// For each name, what FindWholeWord(start1, text, name, limit1, IsNameDelimiter) gives:
// the 1-based position of its first case-insensitive occurrence at or after start1,
// starting before limit1, with a delimiter (or the text's start) before it and a
// delimiter after it; 0 when there is none. Names without a delimiter in them are all
// found in one pass over the range, which costs the range once however many names there
// are; others are searched one by one.
std::vector<qsizetype> FindPropertyNames(const QString &text, qsizetype start1, std::span<const QString> names,
                                         qsizetype limit1);

// The caret position as the status bar shows it: "Line 3 of  12, Col  5". Every
// number is written with one leading blank, the place of its sign.
QString CaretPositionText(int line, int lineCount, qsizetype column);

} // namespace sheetsmith
