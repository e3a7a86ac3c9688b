#pragma once

#include "project/ProjectFile.h"
#include "tools/CompileOptions.h"

#include <QString>
#include <QStringList>

// Build Project compiles the sources whose object is missing or older;
// Rebuild All compiles every source.
enum class BuildKind { Changed, All };

// Everything one project build needs, copied on the user-interface thread
// when the build starts. The worker reads nothing else: saving, editing or
// closing the project, or changing the settings, during the build changes
// nothing of it.
struct BuildJob {
    QStringList libraries;
    QStringList sources;
    CompileOptions options;
    // outputName, or the project path with its extension replaced by "exe".
    QString outputFile;
    // DirectoryOf the project file: where "Makefile" goes and make runs.
    QString projectDirectory;
    // The settings the worker uses, taken with the project.
    QString gccPath;
    bool clearBeforeBuild = false;
    BuildKind kind = BuildKind::Changed;
    // Compiles run side by side (the command line's --jobs); the IDE
    // compiles one source after another.
    int parallelCompiles = 1;
};

// The executable a project links to.
QString ProjectOutputFile(const ProjectFile& project, const QString& projectPath);

// The file the link writes: the output file, a relative one taken from the
// project directory, where the link runs (what Run is offered).
QString LinkedOutputPath(const BuildJob& job);

BuildJob MakeBuildJob(const ProjectFile& project, const QString& projectPath,
                      const QString& gccPath, bool clearBeforeBuild,
                      BuildKind kind = BuildKind::Changed);
