#pragma once

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QString>

class SettingsProfile;

// How the debugger's panes were laid out when Tarn last ended, kept in a
// section of Tarn32.ini of its own:
//
//   [Debugger Panes]
//   Docks=AAAA/wAAAAD9AAAAAgAAAAEAAAFf...
//   Locals=212,0
//   Breakpoints=0,160
//
// Docks is the main frame's dock layout as Qt saves it (base64). A pane's
// key lists the widths of its columns but the last (which fills the rest);
// 0 is a column Tarn fits to its texts, any other number a width the user
// gave it by dragging the header. A pane whose columns all fit has no key.
struct DebuggerPaneLayout {
    QByteArray docks; // QMainWindow::saveState's bytes; empty: the default layout
    // By the pane's key name ("Locals", "Watch", "Call Stack", "Breakpoints").
    QMap<QString, QList<int>> columns;

    bool operator==(const DebuggerPaneLayout&) const = default;
};

inline constexpr char DebuggerPanesSection[] = "Debugger Panes";
// A width read back is at most this (a hand-edited number cannot make a
// column millions of pixels wide), and a pane has at most this many columns.
inline constexpr int MaxPaneColumnWidth = 10000;
inline constexpr int MaxPaneColumns = 8;

// Reads the section as far as it makes sense: Docks that is not base64 is
// dropped; a width that is not a number, or is negative, counts as fitted;
// widths past the bound are cut to it. Never fails.
DebuggerPaneLayout readDebuggerPaneLayout(const SettingsProfile& profile);
// Replaces the whole section (old keys go), after [Options].
void writeDebuggerPaneLayout(SettingsProfile& profile, const DebuggerPaneLayout& layout);
