#pragma once

class CProjectDoc;
class IdeContext;
class QWidget;

// The build and export commands of a project window, on the user-interface
// thread: each checks its preconditions (with the fixed message boxes),
// takes its snapshot and starts its job in the session, returning at once.
// A build makes its program what Run offers next; an export makes its
// Makefile what Make offers next. BuildProjectCommand returns the build's
// job id, or 0 when it refused to start.
int BuildProjectCommand(CProjectDoc& doc, IdeContext& tools, QWidget* parent, bool rebuildAll);
void ExportMakefileCommand(CProjectDoc& doc, IdeContext& tools, QWidget* parent);
void ExportAndMakeCommand(CProjectDoc& doc, IdeContext& tools, QWidget* parent);

// Writes "Makefile" into the project directory and reports the result in
// the message window; clearFirst empties it (when the "Clear" setting is
// on) before the success row. Returns whether the file was written.
bool WriteMakefile(CProjectDoc& doc, IdeContext& tools, QWidget* parent, bool clearFirst);
