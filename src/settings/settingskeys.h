#pragma once

#include <QLatin1String>
#include <QString>

// Every section and key of the settings store, and the values a fresh installation
// starts from. Keys are case-sensitive, and composed keys carry their number in
// decimal without leading zeros or blanks.
namespace sheetsmith::keys {

// The main window's placement, in twips.
namespace window {
inline constexpr QLatin1String Section{"Window"};
inline constexpr QLatin1String State{"State"}; // "Max" or "Normal"
inline constexpr QLatin1String Left{"Left"};
inline constexpr QLatin1String Top{"Top"};
inline constexpr QLatin1String Width{"Width"};
inline constexpr QLatin1String Height{"Height"};
inline constexpr QLatin1String StateMaximised{"Max"};
inline constexpr QLatin1String StateNormal{"Normal"};
// "1" or "0": whether the Problems panel is shown; missing means hidden.
inline constexpr QLatin1String Problems{"Problems"};
// "1" or "0": whether the Problems list shows its errors, warnings and notes; missing
// means errors and warnings shown, notes hidden.
inline constexpr QLatin1String ProblemsErrors{"ProblemsErrors"};
inline constexpr QLatin1String ProblemsWarnings{"ProblemsWarnings"};
inline constexpr QLatin1String ProblemsNotes{"ProblemsNotes"};
} // namespace window

// The editor's font, tab width and the three syntax colours. Each colour is kept
// twice: as an RTF colour-table definition ("Selectors" ...) and as a decimal colour
// number R + 256 * G + 65536 * B ("LSelectors" ...).
namespace editor {
inline constexpr QLatin1String Section{"Editor"};
inline constexpr QLatin1String FontName{"FontName"};
inline constexpr QLatin1String FontSize{"FontSize"};
inline constexpr QLatin1String TabWidth{"TabWidth"};
inline constexpr QLatin1String Selectors{"Selectors"};
inline constexpr QLatin1String Brackets{"Brackets"};
inline constexpr QLatin1String Comments{"Comments"};
inline constexpr QLatin1String LSelectors{"LSelectors"};
inline constexpr QLatin1String LBrackets{"LBrackets"};
inline constexpr QLatin1String LComments{"LComments"};
// "1" or "0": offer property names and keywords while typing; missing means on.
inline constexpr QLatin1String Complete{"Complete"};
// "1" or "0": show a swatch of its colour before each colour value; missing means on.
inline constexpr QLatin1String Swatches{"Swatches"};
// "1" or "0": check the sheet as it is edited; missing means on.
inline constexpr QLatin1String Check{"Check"};
// What the sheet is checked against: "css1" (CSS level 1) or "current" (current CSS);
// missing or malformed means css1.
inline constexpr QLatin1String CheckLevel{"CheckLevel"};
inline constexpr QLatin1String CheckLevelCss1{"css1"};
inline constexpr QLatin1String CheckLevelCurrent{"current"};
} // namespace editor

// The preview window, its pages and the external browsers.
namespace preview {
inline constexpr QLatin1String Section{"Preview"};
inline constexpr QLatin1String Show{"Show"}; // "1" or "0"
inline constexpr QLatin1String Live{"Live"}; // "1" or "0": edits reach the page as typed; missing means off
inline constexpr QLatin1String Left{"Left"};
inline constexpr QLatin1String Top{"Top"};
inline constexpr QLatin1String Width{"Width"};
inline constexpr QLatin1String Height{"Height"};
inline constexpr QLatin1String State{"State"}; // "Min" or "Max"
inline constexpr int MaxFiles = 30;
inline constexpr int MaxBrowsers = 10;
// "File1" .. "File30": the full path of a preview page.
inline QString file(int n) { return QLatin1String("File") + QString::number(n); }
// "Browser1a" .. "Browser10a": a browser's display name.
inline QString browserName(int n) { return QLatin1String("Browser") + QString::number(n) + u'a'; }
// "Browser1b" .. "Browser10b": a browser's executable path.
inline QString browserPath(int n) { return QLatin1String("Browser") + QString::number(n) + u'b'; }
} // namespace preview

// The File menu's recent-file list: "1a" holds entry 1's caption, "1b" its path.
namespace recent {
inline constexpr QLatin1String Section{"Recent"};
inline constexpr int Count = 4;
inline QString caption(int n) { return QString::number(n) + u'a'; }
inline QString path(int n) { return QString::number(n) + u'b'; }
} // namespace recent

// What a first start writes for missing or malformed "Editor" values. The font
// family is chosen on the machine (SettingsStore::defaultFontFamily).
namespace defaults {
inline constexpr QLatin1String FontSizeText{"10"};
inline constexpr double FontSize = 10.0;
inline constexpr QLatin1String TabWidthText{"4"};
inline constexpr int TabWidth = 4;
// Colour numbers, red in the low byte: dark blue selectors, dark red braces,
// dark green comments; all three read well on a light background.
inline constexpr qint32 SelectorColourValue = 128 * 65536; // \red0\green0\blue128
inline constexpr qint32 BracketColourValue = 128;          // \red128\green0\blue0
inline constexpr qint32 CommentColourValue = 128 * 256;    // \red0\green128\blue0
} // namespace defaults

} // namespace sheetsmith::keys
