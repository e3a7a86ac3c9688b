#pragma once

#include <QKeySequence>
#include <QList>
#include <QString>

#include <unordered_map>
#include <vector>

namespace fw {

// One command of the program: its id, the status-bar prompt shown while a
// menu item or button is highlighted, the toolbar tooltip and the keys bound
// to it. Menu texts belong to the menu layouts, since one id may be shown
// with different texts in different menus.
struct CommandInfo {
    int id = 0;
    QString prompt;
    QString tooltip;
    QList<QKeySequence> keys;
};

// One entry of a menu layout.
struct MenuItem {
    enum class Kind { Command, Separator, Submenu, RecentFiles, WindowList };
    Kind kind = Kind::Command;
    int id = 0;          // Command and RecentFiles (the placeholder's id)
    QString text;        // "&Open...\tCtrl+O": after the tab comes the shown key
    std::vector<MenuItem> children; // Submenu

    static MenuItem command(int id, QString text) { return {Kind::Command, id, std::move(text), {}}; }
    static MenuItem separator() { return {Kind::Separator, 0, {}, {}}; }
    static MenuItem submenu(QString text, std::vector<MenuItem> items)
    {
        return {Kind::Submenu, 0, std::move(text), std::move(items)};
    }
    static MenuItem recentFiles(int id, QString text) { return {Kind::RecentFiles, id, std::move(text), {}}; }
    static MenuItem windowList() { return {Kind::WindowList, 0, {}, {}}; }
};

// A menu bar or a context menu: a list of top-level popups. A context menu
// resource shows its first popup.
using MenuLayout = std::vector<MenuItem>;

// The program's command vocabulary and menu resources, as data.
class CommandTable {
public:
    void addCommand(CommandInfo info);
    void addMenu(int resourceId, MenuLayout layout);

    const CommandInfo* command(int id) const;
    const MenuLayout* menu(int resourceId) const;
    const std::vector<CommandInfo>& commands() const { return m_commands; }

private:
    std::vector<CommandInfo> m_commands;
    std::unordered_map<int, std::size_t> m_index;
    std::unordered_map<int, MenuLayout> m_menus;
};

} // namespace fw
