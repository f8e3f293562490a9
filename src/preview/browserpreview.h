#pragma once

#include <QString>

#include <functional>

class QWidget;

namespace sheetsmith {

// A configured external browser as the Tools menu holds it.
struct BrowserEntry
{
    QString name; // display name, "Browser" N "a"
    QString path; // executable path "Browser" N "b", or IeLocation; empty: not configured
};

// The stored path that stands for the desktop's default browser rather than a program.
inline constexpr char IeLocation[] = "ieLocation";

// What the author is told when browser `index` (1-based) has no path, lines joined by
// CR LF.
QString unconfiguredBrowserText(int index);
// What the author is told when a browser's program could not be started.
QString browserStartFailedText(const BrowserEntry &browser);

// Shows the composed preview page in browser `index`. composeCopy composes the page
// chosen in the preview window and gives the copy's path, or empty text after it told
// the author why there is none; then no browser is started. The path "ieLocation"
// (exactly so) opens the copy in the desktop's default browser; any other path is
// started as a program with the copy's path as its one argument, through the
// launcher, without a shell, so blanks and quotes in either path need nothing special.
// A browser that cannot be started is told to the author, naming it and its path.
void PreviewWithBrowser(QWidget *owner, int index, const BrowserEntry &browser,
                        const std::function<QString()> &composeCopy);

} // namespace sheetsmith
