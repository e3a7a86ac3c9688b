#include "project/BuildSteps.h"

#include "tools/CommandLine.h"
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
    return std::filesystem::path(QFile::encodeName(path).toStdString());
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

QStringList ProjectFlagArguments(const CompileOptions& options)
{
    // The fixed fragments are plain words ("-x c++ " is two of them); only
    // the free text needs a shell's splitting.
    CompileOptions fixed = options;
    fixed.otherOptions.clear();
    const QString prefix = QStringLiteral(" -c  ");
    const QString flags = BuildProjectCompileLine(QString(), QString(), fixed).mid(prefix.size());
    QStringList words = flags.split(u' ', Qt::SkipEmptyParts);
    words += SplitCommandLine(options.otherOptions);
    return words;
}

BuildStep CompileStep(const BuildJob& job, const QString& source)
{
    BuildStep step;
    step.program = job.gccPath;
    step.arguments = QStringList{QStringLiteral("-c"), source} + ProjectFlagArguments(job.options);
    step.workingDirectory = DirectoryOf(source);
    step.shownLine = BuildProjectCompileLine(job.gccPath, source, job.options);
    return step;
}

BuildStep LinkStep(const BuildJob& job)
{
    BuildStep step;
    step.program = job.gccPath;
    step.arguments = QStringList{QStringLiteral("-o"), job.outputFile};
    // As make runs the link rule: a relative output name means the same file.
    step.workingDirectory = job.projectDirectory;
    QString line = job.gccPath + QStringLiteral(" -o ") + job.outputFile + u' ';
    for (const QString& source : job.sources) {
        const QString object = SourceObject(source);
        step.arguments += object;
        line += object + u' ';
    }
    for (const QString& library : job.libraries) {
        step.arguments += QStringLiteral("-l") + library;
        line += QStringLiteral("-l") + library + u' ';
    }
    step.shownLine = line;
    return step;
}

bool ObjectIsCurrent(const QString& source, const QString& object)
{
    std::filesystem::file_time_type sourceTime;
    std::filesystem::file_time_type objectTime;
    if (!modificationTime(object, &objectTime) || !modificationTime(source, &sourceTime))
        return false;
    return sourceTime <= objectTime;
}
