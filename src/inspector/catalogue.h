#pragma once

#include <QByteArray>
#include <QString>
#include <array>

namespace sheetsmith {

// The number of CSS1 properties: the catalogue always has exactly this many entries,
// and the property list always shows this many rows.
inline constexpr int CataloguePropertyCount = 53;

// The CSS1 property catalogue as three parallel tables: entry i of each describes
// one property, in the order of the property list's rows.
struct Catalogue
{
    std::array<QString, CataloguePropertyCount> PropName;
    // The value list: entries separated by "|", see editorKindFor.
    std::array<QString, CataloguePropertyCount> PropValues;
    // One sentence shown under the list when the property's row is clicked.
    std::array<QString, CataloguePropertyCount> PropInfo;
};

// The outcome of reading a catalogue: either ok with all 53 entries filled, or not ok
// with an empty catalogue and a message, fit to show the author, that names the file
// and what is wrong with it. A damaged file never yields part of a catalogue.
struct CatalogueResult
{
    bool ok = false;
    Catalogue catalogue;
    QString error;
};

// Reads the catalogue from the bytes of a css1.txt file. fileNameForMessages is the
// name the error messages give the file.
//
// The file is a sequence of three-line records:
//   line 1  "[" name "]": the name is the line without its first and last character
//           (whatever the last one is);
//   line 2  a six-character label, then the value list;
//   line 3  a five-character label, then the description.
// The labels are skipped unread. Any other line that does not start with "[" is
// skipped, so blank lines and remarks may stand between records; lines 2 and 3 of a
// record are taken as they come, even when they start with "[". Lines end with CR LF
// or LF. Bytes that are not UTF-8 are read as Windows-1252.
CatalogueResult parseCatalogue(const QByteArray &bytes, const QString &fileNameForMessages);

// Reads and parses the catalogue file at path; a missing or unreadable file, or a
// folder, is refused with a message naming it.
CatalogueResult LoadCatalogue(const QString &path);

// Where the program's catalogue lies: css1.txt beside the executable (the build
// tree), else in the installed data folder, found from it by the relative path the
// build was configured with (../share/sheetsmith in the usual layout). When
// neither holds the file, the first of these paths, so a message can name it.
// Needs a QCoreApplication.
QString catalogueFilePath();
// The same search, from a given folder in place of the executable's.
QString catalogueFilePath(const QString &executableDir);

// The value editor a property's value list asks for.
enum class ValueEditorKind {
    DropDown,   // the list holds a "|": a drop-down list of its entries
    FontPicker, // the list is exactly "<font>"
    FreeText,   // anything else, a single placeholder such as "<color>" included
};

ValueEditorKind editorKindFor(const QString &valueList);

} // namespace sheetsmith
