#pragma once

#include "tools/Invocation.h"

#include <QString>
#include <QStringList>

struct CompileOptions;

// The commands of the single-file tools, each as the line the message
// window shows and the argument list gcc gets (see ToolCommand).

// gccPath " " source " -c " and the options in source order.
ToolCommand QuickCompileCommand(const QString& gccPath, const QString& sourcePath,
                                const CompileOptions& options);

// gccPath " " source " " ("-o " name " " with a named executable, output
// choice 1) options in source order, then the link entries (objects first).
ToolCommand BuildSourceCommand(const QString& gccPath, const QString& sourcePath, int outputChoice,
                               const QString& executableName, const CompileOptions& options,
                               const QStringList& linkEntries);

// The Link dialog's link: GccLinkCommand with the list's objects, then its
// libraries.
ToolCommand LinkCommand(const QString& gccPath, const QString& outputName,
                        const QStringList& linkEntries);

// A make run on a makefile: make runs in the makefile's folder (the text up
// to its last separator, taken against Tarn's current directory), which
// becomes Tarn's current directory. A name without a folder runs in the
// current directory and leaves it as it is. A folder that cannot be entered
// leaves the current directory too and is reported.
struct MakePlan {
    Invocation invocation;        // makePath -f <makefile>
    QString newToolDirectory;     // empty: unchanged
    QString unenterableDirectory; // the folder that could not be entered
};
// The makefile argument is the file as typed when it names no folder, else
// its absolute path (make then finds it whatever the folder change did).
MakePlan PlanMake(const QString& makePath, const QString& makeFile, const QString& toolDirectory);
