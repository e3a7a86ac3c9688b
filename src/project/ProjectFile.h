#pragma once

#include "tools/CompileOptions.h"

#include <QString>
#include <QStringList>

// The data of a project: one set of compile options for every source, the
// libraries given to the link after "-l", the sources in insertion order
// (which is also the compile order, the link order and the tree order) and
// the output file. An empty outputName means the executable is named after
// the project file (DefaultExecutableName of its path).
//
// The lists hold at most kProjectListCapacity entries each; their sizes are
// the file's sourceCount and libraryCount.
struct ProjectFile {
    CompileOptions options;
    QStringList libraries;
    QStringList sources;
    QString outputName;

    friend bool operator==(const ProjectFile&, const ProjectFile&) = default;
};

inline constexpr int kProjectListCapacity = 500;
