#include "project/BuildSteps.h"

#include "tools/CompileOptions.h"
#include "tools/PathBytes.h"
#include "tools/PathNames.h"

#include <QFile>

#include <filesystem>
#include <system_error>

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

namespace {

std::filesystem::path nativePath(const QString& path)
{
#ifdef Q_OS_WIN
    return std::filesystem::path(path.toStdWString());
#else
    // The path's own bytes: a name that is not UTF-8 is found as it is.
    return std::filesystem::path(PathToBytes(path).toStdString());
#endif
}

// The last-modified time in the file system's own precision (nanoseconds
// on ext4), or nothing when the file cannot be examined.
bool modificationTime(const QString& path, std::filesystem::file_time_type* time)
{
    std::error_code error;
    *time = std::filesystem::last_write_time(nativePath(path), error);
    return !error;
}

} // namespace

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

BuildStep LinkStep(const BuildJob& job)
{
    ToolCommand command(job.gccPath);
    command.appendText(QStringLiteral(" -o "));
    command.appendWord(job.outputFile);
    command.appendText(QStringLiteral(" "));
    for (const QString& source : job.sources) {
        command.appendWord(SourceObject(source));
        command.appendText(QStringLiteral(" "));
    }
    for (const QString& library : job.libraries) {
        command.appendWord(QStringLiteral("-l") + library);
        command.appendText(QStringLiteral(" "));
    }
    // As make runs the link rule: a relative output name means the same file.
    return {command.invocation(job.projectDirectory), command.line()};
}

bool ObjectIsCurrent(const QString& source, const QString& object)
{
    std::filesystem::file_time_type sourceTime;
    std::filesystem::file_time_type objectTime;
    if (!modificationTime(object, &objectTime) || !modificationTime(source, &sourceTime))
        return false;
    return sourceTime <= objectTime;
}
