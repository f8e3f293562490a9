#pragma once

#include <QRect>

class QMainWindow;

namespace sheetsmith {

class SettingsStore;

// The main window's placement between runs, stored in twips in section "Window".
class WindowPlacement
{
public:
    // Reads the stored placement for window: maximised unless "State" is "Normal";
    // otherwise the stored rectangle, where one that would give an unusable window
    // (too small, or off every screen) gives way to the window's design size on the
    // primary screen.
    void restore(const SettingsStore &settings, const QMainWindow &window);
    // Shows the window maximised or at its restored placement.
    void show(QMainWindow &window) const;
    // Stores the window's placement: its rectangle (the maximised one when maximised)
    // and whether it is maximised.
    static void save(SettingsStore &settings, const QMainWindow &window);

    bool maximised() const { return m_maximised; }

private:
    bool m_maximised = true;
    QRect m_restored;
};

} // namespace sheetsmith
