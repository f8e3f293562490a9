#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace sheetsmith {

// Pure rules behind the property inspector's value editors: how a chosen file becomes
// a url() value, the order of the drop-down list, the font-family list built from the
// font picker, and how a length or percentage value is split for its editor.

// The path of file relative to the folder of the document docPath, with "/" between
// folders: "../" once for every folder of the document below the part both paths
// share, then the rest of file's path. An untitled document (empty docPath) gives file
// unchanged.
//
// Letter case is kept and compared exactly: file names on Linux are case-sensitive, so
// /site/Img and /site/img are different folders. The shared part ends after a whole
// folder name: /site/css2/a.css and /site/css/b.gif share only /site/, giving
// ../css/b.gif, and /site/a.css and /site/a.gif share /site/, giving a.gif.
// Both paths are cleaned first ("//", "./" and "dir/.." are resolved by name).
QString RelativePath(const QString &docPath, const QString &file);

// "url(" path ")" with the characters that would end or split an unquoted url()
// escaped by a backslash: blanks and other white space, parentheses, commas, single
// and double quotes, and the backslash itself. An image whose name holds a blank then
// still gives one valid value instead of a broken declaration.
QString UrlValue(const QString &path);

// The entries of the keyword drop-down for a value list: the list split at every "|",
// each entry taken unchanged; entries starting with "<" (value-type placeholders) come
// first, in the reverse of their order in the list, then the others in their order.
// So "normal|bold|<length>|<percentage>" gives <percentage>, <length>, normal, bold.
QStringList DropDownEntries(const QString &valueList);

// The prefix that marks the five generic families in the font list, and the list's
// first entries, in the order they stand at its top.
inline constexpr QStringView GenericFontPrefix = u"Generic: ";
QStringList GenericFontEntries();
bool IsGenericFontEntry(const QString &entry);

struct FontEntry
{
    QString text;
    bool checked = false;
};

// The font-family value built from the font list: the checked specific fonts first,
// in list order, a name holding a blank in double quotes, then the checked generic
// families in list order, all separated by ", ". Which entry changed last does not
// matter. Nothing checked gives the empty text.
QString FontFamilyList(const QList<FontEntry> &entries);

// The units the length editor offers, in the order of its list.
QStringList LengthUnits();
// The index in LengthUnits() of "px", the unit the length editor starts with.
inline constexpr int DefaultLengthUnit = 7;

struct NumberAndUnit
{
    QString number;
    QString unit; // as in LengthUnits(), or "%"
};

// A length value such as "12px", "-1.5em" or ".5IN" split into its number and one of
// the eight units (matched without regard to case, given back in lower case); nullopt
// for anything else ("auto", "12", "px", "1 px").
std::optional<NumberAndUnit> SplitLength(const QString &value);
// A percentage such as "50%" or "-2.5%" split into its number and "%"; nullopt for
// anything else.
std::optional<NumberAndUnit> SplitPercentage(const QString &value);

} // namespace sheetsmith
