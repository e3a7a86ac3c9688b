#pragma once

class CProjectDoc;
class QWidget;

// The build and export commands of a project window, on the user-interface
// thread: each checks its preconditions (with the fixed message boxes),
// takes its snapshot and starts its job, returning at once.
void BuildProjectCommand(CProjectDoc& doc, QWidget* parent, bool rebuildAll);
void ExportMakefileCommand(CProjectDoc& doc, QWidget* parent);
void ExportAndMakeCommand(CProjectDoc& doc, QWidget* parent);

// Writes "Makefile" into the project directory and reports the result in
// the message window; clearFirst empties it (when the "Clear" setting is
// on) before the success row. Returns whether the file was written.
bool WriteMakefile(CProjectDoc& doc, QWidget* parent, bool clearFirst);
