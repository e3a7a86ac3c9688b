#include "framework/CommandTable.h"

namespace fw {

void CommandTable::addCommand(CommandInfo info)
{
    auto it = m_index.find(info.id);
    if (it != m_index.end()) {
        m_commands[it->second] = std::move(info);
        return;
    }
    m_index.emplace(info.id, m_commands.size());
    m_commands.push_back(std::move(info));
}

void CommandTable::addMenu(int resourceId, MenuLayout layout)
{
    m_menus[resourceId] = std::move(layout);
}

const CommandInfo* CommandTable::command(int id) const
{
    auto it = m_index.find(id);
    return it == m_index.end() ? nullptr : &m_commands[it->second];
}

const MenuLayout* CommandTable::menu(int resourceId) const
{
    auto it = m_menus.find(resourceId);
    return it == m_menus.end() ? nullptr : &it->second;
}

} // namespace fw
