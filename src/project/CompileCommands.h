#pragma once

#include "project/BuildJob.h"

#include <QByteArray>
#include <QString>

// compile_commands.json of a project, for clangd and other tools: one entry
// per source the build compiles, in project order, with "directory" (the
// folder the compile runs in), "file" (the source) and "arguments" (gcc
// and its arguments, one string each), exactly as the project build runs
// them (CompileStep). A source without an object name is left out: the
// build never compiles it.
QByteArray CompileCommandsContents(const BuildJob& job);

// Where it goes: "compile_commands.json" in the project directory.
QString CompileCommandsPath(const QString& projectDirectory);
