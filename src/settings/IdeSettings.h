#pragma once

#include "settings/DebuggerPanesSection.h"
#include "settings/EditorSections.h"
#include "settings/LanguageSection.h"
#include "settings/SettingsCodec.h"

#include <QFont>
#include <QString>

class QWidget;

// The program-wide tool paths, source font and switches, loaded from
// Tarn32.ini when the main frame is created and written back when the
// Options dialog is confirmed. The main window's context (IdeContext.h)
// holds the live value and hands it down.
//
// A run on a worker never reads them: the command that starts it copies the
// values the run needs into the run's snapshot.
struct IdeSettings : SettingsValues {
    QFont sourceFont;
    // The View menu's switches, kept in [Editor].
    EditorSwitches editor;
    // The language server and its switch, kept in [Language].
    LanguageSettings language;
};

// What LoadSettings reads from the settings file.
struct LoadedSettings {
    IdeSettings settings;
    // [Session]: the windows open when Tarn last ended.
    Session session;
    // [Debugger Panes].
    DebuggerPaneLayout paneLayout;
};

// Reads the settings file, using the defaults for whatever is missing or
// unreadable (a missing tool path key: the tool that PATH finds); shows the
// gcc-path warning (through Prompts) when the gcc path is empty.
LoadedSettings LoadSettings(QWidget* parent = nullptr);
// Writes all ten keys of [Options]; a file that cannot be written is
// reported in a message box naming it. Returns false in that case.
bool SaveSettings(const IdeSettings& settings, QWidget* parent = nullptr);

// Writes the editor switches to [Editor], with the same safe write and
// report as SaveSettings; [Options] stays byte for byte.
bool SaveEditorSwitches(const EditorSwitches& switches, QWidget* parent = nullptr);

// Writes [Language], with the same safe write and report.
bool SaveLanguageSettings(const LanguageSettings& language, QWidget* parent = nullptr);

// Replaces [Session] with this one, with the same safe write and report.
bool SaveSession(const Session& session, QWidget* parent = nullptr);

// Replaces [Debugger Panes] with this layout, with the same safe write and
// report.
bool SaveDebuggerPaneLayout(const DebuggerPaneLayout& layout, QWidget* parent = nullptr);
