#include "project/BuildJob.h"

#include "tools/PathNames.h"

#include <QDir>

QString ProjectOutputFile(const ProjectFile& project, const QString& projectPath)
{
    if (!project.outputName.isEmpty())
        return project.outputName;
    return DefaultExecutableName(projectPath);
}

BuildJob MakeBuildJob(const ProjectFile& project, const QString& projectPath,
                      const QString& gccPath, bool clearBeforeBuild, BuildKind kind)
{
    BuildJob job;
    job.libraries = project.libraries.mid(0, kProjectListCapacity);
    job.sources = project.sources.mid(0, kProjectListCapacity);
    job.options = project.options;
    job.outputFile = ProjectOutputFile(project, projectPath);
    job.projectDirectory = DirectoryOf(projectPath);
    job.gccPath = gccPath;
    job.clearBeforeBuild = clearBeforeBuild;
    job.kind = kind;
    return job;
}

QString LinkedOutputPath(const BuildJob& job)
{
    if (job.outputFile.isEmpty() || !QDir::isRelativePath(job.outputFile))
        return job.outputFile;
    return job.projectDirectory + job.outputFile;
}
