#pragma once

#include "framework/CommandTable.h"

#include <QStringList>

#include <functional>
#include <vector>

// Helpers for the resource tests: walking the menu layouts of Tarn's
// command table.
namespace menuwalk {

// Every menu resource Tarn defines: the four menu bars, then the four
// context menus.
const std::vector<int>& menuBarResources();
const std::vector<int>& contextMenuResources();
std::vector<int> allMenuResources();

// Calls fn for every Command and RecentFiles item of a layout, submenus
// included, with the resource id it belongs to.
void forEachCommandItem(const std::function<void(int resource, const fw::MenuItem&)>& fn);

// The popup of a layout with the given title (nullptr when missing).
const fw::MenuItem* findPopup(const fw::MenuLayout& layout, const QString& title);

// One line per entry ("—" for a separator, "[title]" for a submenu whose
// entries follow indented by "  ", "<windows>" for the window list).
QStringList describe(const fw::MenuItem& popup, const QString& indent = QString());

// Text after the tab of a menu text, or an empty string.
QString shownKey(const QString& text);

} // namespace menuwalk
