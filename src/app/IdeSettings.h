#pragma once

#include "app/SettingsCodec.h"

#include <QFont>
#include <QString>

class QWidget;

// The program-wide tool paths, source font and switches, loaded from
// Tarn32.ini when the main frame is created and written back when the
// Options dialog is confirmed.
//
// The user-interface thread reads and changes ideSettings() directly. A
// worker thread never reads it directly: it takes ideSettingsSnapshot() when
// it starts (the copy is taken under a lock, so it never sees a half-changed
// value).
struct IdeSettings : SettingsValues {
    QFont sourceFont;
};

// The live settings (user-interface thread only).
const IdeSettings& ideSettings();
// Replaces the live settings as one step (user-interface thread only).
void setIdeSettings(const IdeSettings& settings);
// A consistent copy, safe to take from any thread.
IdeSettings ideSettingsSnapshot();

// Fills the live settings from the settings file, using the defaults for
// whatever is missing or unreadable (a missing tool path key: the tool that
// PATH finds); shows the gcc-path warning (through Prompts) when the gcc
// path is empty.
void LoadSettings(QWidget* parent = nullptr);
// Writes all ten keys of the live settings; a file that cannot be written is
// reported in a message box naming it. Returns false in that case.
bool SaveSettings(QWidget* parent = nullptr);
