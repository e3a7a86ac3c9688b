#pragma once

#include <QString>

struct CompileOptions;

// The Quick Compile command line: gccPath " " source " -c " and the
// window's options in source order. Nothing is quoted: the line is shown
// verbatim in the message window.
QString QuickCompileCommandLine(const QString& gccPath, const QString& sourcePath,
                                const CompileOptions& options);
