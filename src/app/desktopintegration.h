#pragma once

#include <QIcon>
#include <QString>

namespace sheetsmith {

// The program's name on the desktop: its desktop entry, icon and metainfo are called
// after it.
QString applicationId();

// The icon theme the program looks in when the desktop names none, and for pictures
// the desktop's theme lacks. Installed with the program's dependencies.
inline constexpr char FallbackIconTheme[] = "breeze";

// Makes themed pictures available wherever the program runs: the fallback theme is
// named, the system's icon folders are searched also on platforms that search none
// (offscreen), and where the desktop names no theme the fallback theme is used.
// Call before the first themed icon is asked for: Qt keeps what it looked up.
void useIconThemes();

// The program's own icon: the desktop theme's picture of that name, else the one
// built into the program.
QIcon applicationIcon();

// Everything a starting program tells the desktop: its desktop entry, its window
// icon, and where its pictures come from.
void setUpDesktopIntegration();

} // namespace sheetsmith
