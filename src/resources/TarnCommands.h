#pragma once

#include "framework/CommandTable.h"

#include <vector>

// Tarn's command vocabulary: every command id with its status-bar prompt,
// tooltip and keys, and the menu resources (menu bars 128, 129, 155, 157 and
// context menus 153, 154, 156, 158). Built once on first use.
const fw::CommandTable& tarnCommandTable();

// The toolbar's entries from left to right; 0 marks a separator.
const std::vector<int>& tarnToolbarLayout();

// Adds the menu resources to a table (TarnMenus.cpp); tarnCommandTable()
// already holds them.
void addTarnMenus(fw::CommandTable& table);
