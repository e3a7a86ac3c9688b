#include "framework/CommandRouter.h"

#include "framework/CommandTable.h"
#include "framework/CommandTarget.h"

#include <QAction>
#include <QTimer>
#include <QWidget>

#include <algorithm>
#include <optional>
#include <utility>

namespace fw {

CommandRouter::CommandRouter(const CommandTable* table, Chain chain, QObject* parent)
    : QObject(parent), m_table(table), m_chain(std::move(chain))
{
}

CommandTarget* CommandRouter::targetFor(int id) const
{
    const QList<CommandTarget*> chain = m_chain();
    for (CommandTarget* target : chain) {
        if (target && target->handlesCommand(id))
            return target;
    }
    return nullptr;
}

bool CommandRouter::execute(int id)
{
    CommandTarget* target = targetFor(id);
    if (!target || !target->commandEnabled(id))
        return false;
    target->runCommand(id);
    requestUpdate();
    return true;
}

bool CommandRouter::isEnabled(int id) const
{
    CommandTarget* target = targetFor(id);
    return target && target->commandEnabled(id);
}

QAction* CommandRouter::createAction(int id, const QString& text, QObject* parent, bool withTooltip)
{
    auto* action = new QAction(text, parent);
    if (const CommandInfo* info = m_table ? m_table->command(id) : nullptr) {
        action->setStatusTip(info->prompt);
        if (withTooltip && !info->tooltip.isEmpty())
            action->setToolTip(info->tooltip);
    }
    // Keys are bound once on the window (installShortcuts); the menu only
    // shows them after the tab in its text.
    action->setShortcutVisibleInContextMenu(true);
    connect(action, &QAction::triggered, this, [this, id] { execute(id); });
    track(id, action);
    return action;
}

void CommandRouter::installShortcuts(QWidget* window)
{
    if (!m_table)
        return;
    for (const CommandInfo& info : m_table->commands()) {
        if (info.keys.isEmpty())
            continue;
        auto* action = new QAction(window);
        action->setShortcuts(info.keys);
        action->setShortcutContext(Qt::WindowShortcut);
        action->setProperty("commandId", info.id);
        const int id = info.id;
        connect(action, &QAction::triggered, this, [this, id] { execute(id); });
        window->addAction(action);
        track(id, action);
    }
}

void CommandRouter::track(int id, QAction* action)
{
    m_actions.insert(id, action);
    action->setEnabled(isEnabled(id));
    // By the time destroyed() is emitted the action's guards are already
    // null: drop the null entries (never make a new guard to a dying object).
    connect(action, &QObject::destroyed, this, [this, id] { m_actions.remove(id, QPointer<QAction>()); });
}

void CommandRouter::updateActions()
{
    m_updatePending = false;
    // Enabling code may run anything, and a destroyed action drops its entry
    // from the hash: walk a snapshot, never the hash itself.
    QList<std::pair<int, QPointer<QAction>>> snapshot;
    snapshot.reserve(m_actions.size());
    for (auto it = m_actions.cbegin(); it != m_actions.cend(); ++it)
        snapshot.append({it.key(), it.value()});
    std::sort(snapshot.begin(), snapshot.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });
    int id = 0;
    bool enabled = false;
    // Two plain flags rather than an optional: gcc 12 warns (wrongly) that
    // an optional<bool> assigned in the loop may be read uninitialised.
    bool checkable = false;
    bool checked = false;
    for (qsizetype i = 0; i < snapshot.size(); ++i) {
        if (i == 0 || snapshot.at(i).first != id) {
            id = snapshot.at(i).first;
            CommandTarget* target = targetFor(id);
            enabled = target && target->commandEnabled(id);
            const std::optional<bool> state = target ? target->commandChecked(id) : std::nullopt;
            checkable = state.has_value();
            checked = state.value_or(false);
        }
        QAction* action = snapshot.at(i).second;
        if (!action)
            continue;
        action->setEnabled(enabled);
        if (checkable) {
            action->setCheckable(true);
            action->setChecked(checked);
        }
    }
}

void CommandRouter::requestUpdate()
{
    if (m_updatePending)
        return;
    m_updatePending = true;
    QTimer::singleShot(0, this, &CommandRouter::updateActions);
}

} // namespace fw
