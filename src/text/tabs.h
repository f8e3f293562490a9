#pragma once

#include <QString>

namespace sheetsmith {

// The text with every tab replaced by tabWidth blanks (none for a width below 1), as a
// sheet is shown when it is opened: the editor's rules count blanks, never tabs.
QString ExpandTabs(const QString &text, int tabWidth);

} // namespace sheetsmith
