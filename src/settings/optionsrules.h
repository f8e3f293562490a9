#pragma once

#include "editor/colouringrules.h"
#include "text/colourvalue.h"

#include <QString>

#include <array>
#include <optional>

namespace sheetsmith {

// The string rules the Options dialog's Apply uses on the editor's RTF (the line layout
// of writeRtf: a one-font table ending in the font name and ";}}", a colour table line
// "{\colortbl ;...;}", the size word "\fsN" in the first text line's prefix), and the
// checks of the values typed into the dialog. None of them needs a window.
//
// A rewrite only ever touches control words and table entries, never an escaped
// character of the text, so the text read back from the result is the text before.

// Limits of what the dialog stores; the settings store reads anything outside them as
// its default, so the dialog refuses such values instead of storing them.
inline constexpr double kMinFontSize = 1.0;
inline constexpr double kMaxFontSize = 1000.0;
inline constexpr int kMinTabWidth = 1;
inline constexpr int kMaxTabWidth = 100;

// Every occurrence of oldName followed by ";}}" becomes newName followed by ";}}"
// (case-sensitive): the end of the one entry of the font table. An empty oldName
// changes nothing.
QString RenameRtfFont(const QString &rtf, const QString &oldName, const QString &newName);

// The size word at the first "\fs" (found without regard to case) that is a control
// word, taken with all its digits, is replaced wherever it stands as a control word by
// "\fs" and halfPoints. An escaped backslash of the text ("\\fs20") is not a control
// word and is left alone, and so is a longer number ("\fs200" when "\fs20" is
// replaced). Without a size word, or with halfPoints below 1, nothing changes.
QString ResizeRtfFont(const QString &rtf, int halfPoints);

// One colour of the colour table to change: the entry equal to oldDefinition
// ("\redR\greenG\blueB") becomes newDefinition.
struct ColourChange
{
    QString oldDefinition;
    QString newDefinition;
};

// Changes the first entry of the colour table equal to each change's old definition,
// all changes at once: each is looked up in the table as it was, so exchanging two
// colours works, and a definition only matches a whole entry ("\blue12" never matches
// inside "\blue128"). Changes with an empty old definition, or whose old entry is not
// in the table, do nothing; so does everything when the RTF has no colour table.
QString RecolourRtfTable(const QString &rtf, const std::array<ColourChange, 3> &changes);

// The colours the editor shows, as numbers: selectors, braces, comments.
using KindColours = std::array<ColourValue, 3>;

// Rewriting table entries recolours every character of an old colour, whatever kind of
// text it is. That is only right when each old colour belongs to one kind: when two
// kinds shared a colour and now part, or a kind had black, the colour the line
// colouring gives plain text, and leaves it, the kinds can no longer be told apart in
// the table and the document must be coloured anew.
bool NeedsFullRecolour(const KindColours &oldColours, const KindColours &newColours);

// The RTF of text coloured anew by the document colouring rules, in the given font and
// with the given colour definitions (selectors, braces, comments). A comment is taken
// as closed before the text's first line.
QString FreshlyColouredRtf(const QString &text, const QString &fontName, int halfPoints,
                           const std::array<QString, 3> &definitions);

// What Apply does to the colours of the editor's RTF, worked out from the colours the
// settings held before (both forms) and the colours chosen.
struct RestylePlan
{
    // The chosen colours as colour-table definitions, for the table and the settings.
    std::array<QString, 3> newDefinitions;
    // True when the table cannot be rewritten kind by kind (NeedsFullRecolour, or the
    // stored definition and number of a kind disagree, so its characters carry two
    // colours): the text is then coloured anew.
    bool recolourAll = false;
    // Otherwise the entries to change. The table holds definitions in the editor's own
    // spelling (no leading zeros), so each old one is given in that spelling.
    std::array<ColourChange, 3> changes;
};
RestylePlan PlanRestyle(const SyntaxColours &old, const KindColours &newColours);

// The editor's RTF after Apply: the font renamed from oldFontName to fontName and
// resized to halfPoints, and the colours changed as the plan says (text, the editor's
// plain text, is coloured anew when it says so). The text read back is unchanged.
QString RestyleRtf(const QString &rtf, const QString &text, const QString &oldFontName,
                   const QString &fontName, int halfPoints, const RestylePlan &plan);

// RTF half points for a size in points, rounded to the nearest.
int HalfPoints(double pointSize);

// A size typed or picked: a decimal number (blanks around it allowed, a decimal point,
// no sign, no unit) from kMinFontSize to kMaxFontSize.
std::optional<double> ParseFontSize(const QString &text);
// A tab width typed: a whole number from kMinTabWidth to kMaxTabWidth.
std::optional<int> ParseTabWidth(const QString &text);
// A font name the editor's RTF can carry: not blank, and without ";", "{", "}", "\" or
// control characters, which cannot stand in the font table.
bool IsUsableFontName(const QString &name);

} // namespace sheetsmith
