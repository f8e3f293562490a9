#pragma once

#include <QHash>
#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <initializer_list>
#include <utility>

class QAction;
class QWidget;

namespace sheetsmith {

// The window's commands, one QAction each, named by the command's key ("New",
// "NextBlock", "NElement", ...). The command's action holds its handler, its key
// sequence and its state: a command is enabled, disabled or checked on its action,
// and every place that offers it follows.
//
// A place (a menu entry, a toolbar button) is an action of its own, named as the
// place is known ("mNew", "TbM_New"), that shows its command's enabled and checked
// state and runs the command when triggered. A place made for a key that names no
// command is disabled and its key recorded in missing(), which a test of the started
// window expects to be empty.
class CommandActions : public QObject
{
    Q_OBJECT

public:
    // Command actions are children of window, so their key sequences work anywhere
    // in it.
    explicit CommandActions(QWidget *window);
    ~CommandActions() override;

    // Adds the command `key`, run by handler. Adding a key twice replaces nothing:
    // the first handler stays and the key is recorded in missing().
    QAction *add(const QString &key, std::function<void()> handler);
    // Adds the commands of a table of keys and handlers, in its order.
    using Table = std::initializer_list<std::pair<const char *, std::function<void()>>>;
    void add(Table table);
    // The command's action, or nullptr.
    QAction *action(const QString &key) const { return m_actions.value(key); }
    // Binds place to the command `key` (see above); returns place.
    QAction *bind(QAction *place, const QString &key);

    // Runs a command by its key; false when there is no such command or it is
    // disabled.
    bool run(const QString &key) const;

    // Keys that were bound without a command, or added twice.
    const QStringList &missing() const { return m_missing; }

private:
    QWidget *m_window;
    QHash<QString, QAction *> m_actions;
    QStringList m_missing;
};

} // namespace sheetsmith
