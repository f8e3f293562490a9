#pragma once

#include <QIcon>
#include <QString>

#include <array>
#include <initializer_list>

class QAction;
class QMainWindow;
class QMenu;
class QToolBar;
class QWidget;

namespace sheetsmith {

class CommandActions;
class RecentFiles;
class SettingsStore;

// The entries of the menu bar that change while the program runs.
struct MainMenus
{
    QMenu *edit = nullptr;              // also the editor's right-button menu
    std::array<QAction *, 4> recent{};  // "Recent1".."Recent4"
    std::array<QAction *, 10> browser{}; // "Browser1".."Browser10", hidden until configured
};

// Builds the menu bar of window: File, Edit, Tools and Help. Every entry is bound to
// its command in commands; recent entry i to "Recent" i and browser entry i to
// "Browser" i. The Edit captions show their shortcuts; the keys themselves are the
// editor's.
MainMenus buildMainMenus(QMainWindow &window, CommandActions &commands);

// Shows the recent-file list in the File menu's four entries.
void showRecentFiles(const MainMenus &menus, const RecentFiles &recent);
// Shows the browsers configured in settings (from "Browser1" up to the first without a
// name) in the Tools menu, each entry holding its browser's name (property
// "browserName") and path (data); the others are hidden.
void showBrowsers(const MainMenus &menus, const SettingsStore &settings);

// A toolbar button: command key, tool tip and picture number; a null key is a
// separator.
struct ToolbarButton
{
    const char *key;
    const char *tip;
    int picture;
};

// A toolbar whose buttons are bound to their commands by key; each button's
// objectName is prefix followed by its key.
QToolBar *buildCommandToolbar(const QString &name, const QString &title, QWidget *parent, const QString &prefix,
                              std::initializer_list<ToolbarButton> buttons, QIcon (*picture)(int),
                              CommandActions &commands);

// The window's two toolbars.
struct MainToolbars
{
    QToolBar *main = nullptr;     // "TbM": files, editing, blocks, browsers and the preview
    QToolBar *selector = nullptr; // "TbP": refresh, the new-selector panels and Delete
};

// Builds the selector toolbar in selectorPane, then the main toolbar in surface, their
// buttons bound to commands; buttons are named "TbP_" and "TbM_" followed by the key.
MainToolbars buildMainToolbars(QWidget *selectorPane, QWidget *surface, CommandActions &commands);

} // namespace sheetsmith
