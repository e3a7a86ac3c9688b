#include "framework/CommandTarget.h"

namespace fw {

bool CommandTarget::handlesCommand(int id) const
{
    auto it = m_entries.find(id);
    return it != m_entries.end() && it->second.run;
}

bool CommandTarget::commandEnabled(int id) const
{
    auto it = m_entries.find(id);
    if (it == m_entries.end() || !it->second.run)
        return false;
    return !it->second.enabled || it->second.enabled();
}

std::optional<bool> CommandTarget::commandChecked(int id) const
{
    auto it = m_entries.find(id);
    if (it == m_entries.end() || !it->second.checked)
        return std::nullopt;
    return it->second.checked();
}

bool CommandTarget::runCommand(int id)
{
    auto it = m_entries.find(id);
    if (it == m_entries.end() || !it->second.run)
        return false;
    // Copy: the handler may remove or replace its own entry.
    auto handler = it->second.run;
    handler();
    return true;
}

void CommandTarget::onCommand(int id, std::function<void()> handler)
{
    m_entries[id].run = std::move(handler);
}

void CommandTarget::onUpdateEnabled(int id, std::function<bool()> enabled)
{
    m_entries[id].enabled = std::move(enabled);
}

void CommandTarget::onUpdateChecked(int id, std::function<bool()> checked)
{
    m_entries[id].checked = std::move(checked);
}

} // namespace fw
