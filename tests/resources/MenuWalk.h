#pragma once

// Helpers for the resource tests: walking the menu layouts of Tarn's
// command table.
#include "framework/CommandTable.h"
#include "resources/CommandIds.h"
#include "resources/TarnCommands.h"

#include <QMenu>
#include <QStringList>

#include <vector>

namespace menuwalk {

// Every menu resource Tarn defines: the four menu bars, then the four
// context menus and the source context menu's debugging part.
inline const std::vector<int> allMenus = {
    menu::MainFrame,   menu::Source,         menu::Message,       menu::Project,
    menu::MainContext, menu::MessageContext, menu::SourceContext, menu::ProjectContext,
    menu::SourceDebugContext};
inline const std::vector<int> menuBars(allMenus.begin(), allMenus.begin() + 4);

// Calls fn for every Command and RecentFiles item below item, with the
// resource id it belongs to.
template <typename Fn> void walk(int resource, const fw::MenuItem& item, const Fn& fn)
{
    if (item.kind == fw::MenuItem::Kind::Command || item.kind == fw::MenuItem::Kind::RecentFiles)
        fn(resource, item);
    for (const fw::MenuItem& child : item.children)
        walk(resource, child, fn);
}

// The same for every item of every menu resource.
template <typename Fn> void forEachCommandItem(const Fn& fn)
{
    for (int resource : allMenus) {
        for (const fw::MenuItem& popup : *tarnCommandTable().menu(resource))
            walk(resource, popup, fn);
    }
}

// One line per entry ("—" for a separator, "[title]" for a submenu whose
// entries follow indented by "  ", "<windows>" for the window list).
inline QStringList describe(const fw::MenuItem& popup, const QString& indent = QString())
{
    QStringList lines;
    for (const fw::MenuItem& item : popup.children) {
        switch (item.kind) {
        case fw::MenuItem::Kind::Separator:
            lines << indent + QStringLiteral("—");
            break;
        case fw::MenuItem::Kind::Submenu:
            lines << indent + QLatin1Char('[') + item.text + QLatin1Char(']');
            lines << describe(item, indent + QStringLiteral("  "));
            break;
        case fw::MenuItem::Kind::WindowList:
            lines << indent + QStringLiteral("<windows>");
            break;
        default:
            lines << indent + item.text;
        }
    }
    return lines;
}

// The entries of a built menu, in the form menuwalk::describe gives a
// layout: hidden separators that mark the window list count as "<windows>".
inline QStringList describe(const QMenu* menu, const QString& indent = QString())
{
    QStringList lines;
    for (QAction* action : menu->actions()) {
        if (action->property("windowListMarker").toBool())
            lines << indent + QStringLiteral("<windows>");
        else if (action->isSeparator())
            lines << indent + QStringLiteral("—");
        else if (action->menu()) {
            lines << indent + QLatin1Char('[') + action->menu()->title() + QLatin1Char(']');
            lines << describe(action->menu(), indent + QStringLiteral("  "));
        } else
            lines << indent + action->text();
    }
    return lines;
}

} // namespace menuwalk
