#pragma once

#include "settings/DebuggerPanesSection.h"
#include "settings/EditorSections.h"
#include "settings/SettingsCodec.h"

#include <QFont>
#include <QString>

class QWidget;

// The program-wide tool paths, source font and switches, loaded from
// Tarn32.ini when the main frame is created and written back when the
// Options dialog is confirmed.
//
// Only the user-interface thread reads and changes them. A run on a worker
// never reads them: the command that starts it copies the values the run
// needs into the run's snapshot.
struct IdeSettings : SettingsValues {
    QFont sourceFont;
    // The View menu's switches, kept in [Editor].
    EditorSwitches editor;
};

// The live settings (user-interface thread only).
const IdeSettings& ideSettings();
// Replaces the live settings as one step (user-interface thread only).
void setIdeSettings(const IdeSettings& settings);

// Fills the live settings from the settings file, using the defaults for
// whatever is missing or unreadable (a missing tool path key: the tool that
// PATH finds); shows the gcc-path warning (through Prompts) when the gcc
// path is empty.
void LoadSettings(QWidget* parent = nullptr);
// Writes all ten keys of the live settings; a file that cannot be written is
// reported in a message box naming it. Returns false in that case.
bool SaveSettings(QWidget* parent = nullptr);

// Writes the live editor switches to [Editor], with the same safe write and
// report as SaveSettings; [Options] stays byte for byte.
bool SaveEditorSwitches(QWidget* parent = nullptr);

// The session read by LoadSettings: the windows open when Tarn last ended.
const Session& lastSession();
// Replaces [Session] with this one, with the same safe write and report.
bool SaveSession(const Session& session, QWidget* parent = nullptr);

// The debugger panes' layout read by LoadSettings ([Debugger Panes]).
const DebuggerPaneLayout& lastDebuggerPaneLayout();
// Replaces [Debugger Panes] with this layout, with the same safe write and
// report; the layout is also the one lastDebuggerPaneLayout() gives from now.
bool SaveDebuggerPaneLayout(const DebuggerPaneLayout& layout, QWidget* parent = nullptr);
