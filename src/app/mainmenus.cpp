#include "app/mainmenus.h"

#include "app/commandactions.h"
#include "app/icons.h"
#include "app/recentfiles.h"
#include "settings/settingskeys.h"
#include "settings/settingsstore.h"

#include <QAction>
#include <QMainWindow>
#include <QMenuBar>
#include <QToolBar>

namespace sheetsmith {

namespace {

// Object name, caption, command key; an empty name is a separator.
struct Entry
{
    const char *name;
    const char *caption;
    const char *key;
};

QAction *addEntry(QMenu *menu, const QString &name, const QString &caption, const QString &key,
                  CommandActions &commands)
{
    QAction *action = menu->addAction(menuIcon(name), caption);
    action->setObjectName(name);
    return commands.bind(action, key);
}

QMenu *addMenu(QMainWindow &window, const char *name, const char *title, std::initializer_list<Entry> entries,
               CommandActions &commands)
{
    QMenu *menu = window.menuBar()->addMenu(QString::fromLatin1(title));
    menu->setObjectName(QString::fromLatin1(name));
    for (const Entry &e : entries) {
        if (*e.name)
            addEntry(menu, QString::fromLatin1(e.name), QString::fromLatin1(e.caption), QString::fromLatin1(e.key), commands);
        else
            menu->addSeparator();
    }
    return menu;
}

} // namespace

MainMenus buildMainMenus(QMainWindow &window, CommandActions &commands)
{
    MainMenus menus;
    QMenu *mFile = addMenu(window, "mFile", "File",
                           {{"mNew", "New", "New"},
                            {"mOpen", "Open", "Open"},
                            {"", "", ""},
                            {"mSave", "Save", "Save"},
                            {"mSaveAs", "Save As", "SaveAs"},
                            {"", "", ""}},
                           commands);
    for (int i = 1; i <= 4; ++i)
        menus.recent[size_t(i - 1)] = addEntry(mFile, QStringLiteral("mRecent%1").arg(i),
                                               QStringLiteral("Recent %1").arg(i), QStringLiteral("Recent%1").arg(i), commands);
    mFile->addSeparator();
    addEntry(mFile, QStringLiteral("mExit"), QStringLiteral("Exit"), QStringLiteral("Exit"), commands);

    menus.edit = addMenu(window, "mEdit", "Edit",
                         {{"mUndi", "Undo", "Undo"},
                          {"mRedo", "Redo", "Redo"},
                          {"", "", ""},
                          {"mCut", "Cut\tCtrl+X", "Cut"},
                          {"mCopy", "Copy\tCtrl+C", "Copy"},
                          {"mPaste", "Paste\tCtrl+V", "Paste"},
                          {"mSelectAll", "Select All\tCtrl+A", "SelectAll"},
                          {"", "", ""},
                          {"mFindReplace", "Find and Replace", "Find"},
                          {"", "", ""},
                          {"mIndent", "Indent", "Indent"},
                          {"mUnident", "Unident", "Outdent"},
                          {"", "", ""},
                          {"mNBlock", "Next Block", "NextBlock"},
                          {"mPBlock", "Previous Block", "PrevBlock"},
                          {"", "", ""},
                          {"mComment", "Comment", "Comment"},
                          {"mFormat", "Format Sheet", "Format"}},
                         commands);

    QMenu *mTools = window.menuBar()->addMenu(QStringLiteral("Tools"));
    mTools->setObjectName(QStringLiteral("mTools"));
    for (int i = 1; i <= 10; ++i) {
        QAction *entry = addEntry(mTools, QStringLiteral("mPreview%1").arg(i),
                                  QStringLiteral("Preview with Browser %1").arg(i), QStringLiteral("Browser%1").arg(i),
                                  commands);
        entry->setVisible(false);
        menus.browser[size_t(i - 1)] = entry;
    }
    mTools->addSeparator();
    addEntry(mTools, QStringLiteral("mValidate"), QStringLiteral("Validate file using W3C validator"),
             QStringLiteral("Validate"), commands);
    mTools->addSeparator();
    addEntry(mTools, QStringLiteral("mSettings"), QStringLiteral("Settings"), QStringLiteral("Settings"), commands);

    addMenu(window, "mHelp", "Help",
            {{"mHomePage", "&Home Page", "HomePage"},
             {"mcss1", "CSS1 Reference", "Css1Reference"},
             {"mReport", "&Report errors, suggestions, comments", "Report"},
             {"", "", ""},
             {"mAbout", "About", "About"}},
            commands);
    return menus;
}

void showRecentFiles(const MainMenus &menus, const RecentFiles &recent)
{
    for (int i = 0; i < 4; ++i) {
        const RecentFiles::Entry &e = recent.entry(i + 1);
        menus.recent[size_t(i)]->setText(e.caption);
        menus.recent[size_t(i)]->setData(e.tag);
        // An entry emptied by a missing file and then moved down by a newer one stays out
        // of sight rather than showing a blank menu line.
        menus.recent[size_t(i)]->setVisible(e.visible && !e.caption.isEmpty());
    }
}

void showBrowsers(const MainMenus &menus, const SettingsStore &settings)
{
    for (QAction *entry : menus.browser) {
        entry->setVisible(false);
        entry->setData(QString());
    }
    for (int n = 1; n <= int(menus.browser.size()); ++n) {
        const QString name = settings.read(keys::preview::Section, keys::preview::browserName(n));
        if (name.isEmpty())
            break;
        QAction *entry = menus.browser[size_t(n - 1)];
        entry->setText(QStringLiteral("Preview with ") + name);
        entry->setData(settings.read(keys::preview::Section, keys::preview::browserPath(n)));
        entry->setProperty("browserName", name);
        entry->setVisible(true);
    }
}

QToolBar *buildCommandToolbar(const QString &name, const QString &title, QWidget *parent, const QString &prefix,
                              std::initializer_list<ToolbarButton> buttons, QIcon (*picture)(int),
                              CommandActions &commands)
{
    auto *bar = new QToolBar(title, parent);
    bar->setObjectName(name);
    bar->setIconSize(QSize(16, 16));
    bar->setCursor(Qt::ArrowCursor);
    for (const ToolbarButton &b : buttons) {
        if (!b.key) {
            bar->addSeparator();
            continue;
        }
        const QString key = QString::fromLatin1(b.key);
        QAction *action = bar->addAction(picture(b.picture), QString::fromLatin1(b.tip));
        action->setObjectName(prefix + key);
        action->setData(key);
        action->setToolTip(QString::fromLatin1(b.tip));
        commands.bind(action, key);
    }
    return bar;
}

MainToolbars buildMainToolbars(QWidget *selectorPane, QWidget *surface, CommandActions &commands)
{
    MainToolbars bars;
    bars.selector = buildCommandToolbar(QStringLiteral("TbP"), QStringLiteral("Selector toolbar"), selectorPane,
                                        QStringLiteral("TbP_"),
                                        {{"Refresh", "Refresh", 1},
                                         {nullptr, nullptr, 0},
                                         {"NElement", "New Element", 2},
                                         {"NClass", "New Class", 3},
                                         {"NID", "New ID", 4},
                                         {nullptr, nullptr, 0},
                                         {"Delete", "Delete selected selector", 5}},
                                        selectorIcon, commands);
    bars.main = buildCommandToolbar(QStringLiteral("TbM"), QStringLiteral("Main toolbar"), surface,
                                    QStringLiteral("TbM_"),
                                    {{"New", "New File", 1},
                                     {"Open", "Open a new file", 2},
                                     {"Save", "Save current File", 3},
                                     {nullptr, nullptr, 0},
                                     {"Cut", "Cut selected line.", 4},
                                     {"Copy", "Copy selected line", 5},
                                     {"Paste", "Paste from clipboard", 6},
                                     {"Find", "Find and Replace", 7},
                                     {nullptr, nullptr, 0},
                                     {"Undo", "Undo last action", 8},
                                     {nullptr, nullptr, 0},
                                     {"Indent", "Indent", 10},
                                     {"Outdent", "Unindent", 11},
                                     {"Comment", "Comment current selection", 12},
                                     {"NextBlock", "Jump to Next Declaration Block", 13},
                                     {"PrevBlock", "Jump to previous declaration block", 14},
                                     {nullptr, nullptr, 0},
                                     {"Test1", "Test current style sheet with browser one", 15},
                                     {"Test2", "Test current style sheet with browser two", 16},
                                     {nullptr, nullptr, 0},
                                     {"ShowPreview", "Show/Hide preview window", 17}},
                                    mainToolbarIcon, commands);
    return bars;
}

} // namespace sheetsmith
