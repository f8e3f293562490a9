#include "app/commandactions.h"

#include <QAction>
#include <QWidget>

namespace sheetsmith {

CommandActions::CommandActions(QWidget *window) : QObject(window), m_window(window) {}

CommandActions::~CommandActions() = default;

QAction *CommandActions::add(const QString &key, std::function<void()> handler)
{
    if (QAction *existing = m_actions.value(key)) {
        m_missing << key;
        return existing;
    }
    auto *action = new QAction(key, m_window); // owned by the window
    action->setObjectName(key);
    m_window->addAction(action);
    connect(action, &QAction::triggered, this, [handler = std::move(handler)] { handler(); });
    m_actions.insert(key, action);
    return action;
}

void CommandActions::add(Table table)
{
    for (const auto &[key, handler] : table)
        add(QString::fromLatin1(key), handler);
}

QAction *CommandActions::bind(QAction *place, const QString &key)
{
    QAction *command = m_actions.value(key);
    if (!command) {
        m_missing << key;
        place->setEnabled(false);
        return place;
    }
    const auto follow = [place, command] {
        place->setEnabled(command->isEnabled());
        place->setCheckable(command->isCheckable());
        place->setChecked(command->isChecked());
    };
    follow();
    connect(command, &QAction::changed, place, follow);
    // A checkable place has toggled itself already; the command toggles and the place
    // then follows the command's state.
    connect(place, &QAction::triggered, command, [command] { command->trigger(); });
    return place;
}

bool CommandActions::run(const QString &key) const
{
    QAction *command = m_actions.value(key);
    if (!command || !command->isEnabled())
        return false;
    command->trigger();
    return true;
}

} // namespace sheetsmith
