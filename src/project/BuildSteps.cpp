#include "project/BuildSteps.h"

#include "tools/CompileOptions.h"
#include "tools/LinkEntries.h"
#include "tools/PathBytes.h"
#include "tools/PathNames.h"


namespace buildrows {

QString Compiling(const QString& source)
{
    return QStringLiteral("compiling ") + source + QStringLiteral(" with command line of:");
}

QString NoObjectName(const QString& source)
{
    return QStringLiteral("Cannot compile ") + source +
           QStringLiteral(": its file name has no extension, so it has no object file");
}

} // namespace buildrows


bool HasObjectName(const QString& source)
{
    return FileNameOf(source).contains(u'.');
}

QString SourceObject(const QString& source)
{
    return ObjectFileName(source, DirectoryOf(source));
}

BuildStep CompileStep(const BuildJob& job, const QString& source)
{
    const ToolCommand command = BuildProjectCompileCommand(job.gccPath, source, job.options);
    return {command.invocation(DirectoryOf(source)), command.line()};
}

Invocation CompileInvocationIn(const BuildJob& job, const QString& source, const QString& directory)
{
    Invocation compile = CompileStep(job, source).invocation;
    if (directory != compile.workingDirectory)
        compile.arguments << QStringLiteral("-o") << SourceObject(source);
    compile.workingDirectory = directory;
    return compile;
}

QStringList LinkObjects(const BuildJob& job)
{
    QStringList objects;
    objects.reserve(job.sources.size());
    for (const QString& source : job.sources)
        objects.append(SourceObject(source));
    return objects;
}

BuildStep LinkStep(const BuildJob& job)
{
    const ToolCommand command =
        GccLinkCommand(job.gccPath, job.outputFile, LinkObjects(job), job.libraries);
    // As make runs the link rule: a relative output name means the same file.
    return {command.invocation(job.projectDirectory), command.line()};
}

bool ObjectIsCurrent(const QString& source, const QString& object)
{
    const std::optional<qint64> objectTime = ModificationTimeNs(object);
    const std::optional<qint64> sourceTime = ModificationTimeNs(source);
    return objectTime && sourceTime && *sourceTime <= *objectTime;
}
