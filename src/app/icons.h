#pragma once

#include <QIcon>

namespace sheetsmith {

// Pictures come from the desktop's icon theme by their freedesktop names, else from
// the fallback theme (useIconThemes); a picture is drawn only when no theme has it.

// Pictures of the main toolbar, by their 1-based place in the toolbar's image list
// (1 New, 2 Open, 3 Save, 4 Cut, 5 Copy, 6 Paste, 7 Find, 8 Undo, 10 Indent,
// 11 Unindent, 12 Comment, 13 Next block, 14 Previous block, 15 and 16 the two test
// browsers, 17 the preview window).
QIcon mainToolbarIcon(int index);

// Pictures of the selector toolbar and tree, by their 1-based place (1 Refresh,
// 2 element, 3 class, 4 ID, 5 Delete).
QIcon selectorIcon(int index);

// Pictures of the preview window's toolbar, by their 1-based place (1 Refresh,
// 2 Browse, 3 collapse the window, 4 expand it again).
QIcon previewIcon(int index);

// The themed picture of a menu entry, by the entry's name; none when the themes have
// no picture for it (menus read well without one, so nothing is drawn).
QIcon menuIcon(const QString &entryName);

} // namespace sheetsmith
