#include "project/CommandLineBuild.h"

#include "settings/SettingsCodec.h"
#include "settings/SettingsProfile.h"
#include "settings/ToolDiscovery.h"
#include "framework/SafeSave.h"
#include "messages/MessageSink.h"
#include "messages/RowBytes.h"
#include "project/CompileCommands.h"
#include "project/MakefileWriter.h"
#include "project/ProjectFileCodec.h"
#include "project/ProjectJobs.h"
#include "tools/JobManager.h"
#include "tools/PathBytes.h"
#include "tools/PathNames.h"

#include <QFile>
#include <QFileInfo>
#include <QIODevice>
#include <QThread>

#include <algorithm>

#include <sys/stat.h>

namespace {

// Rows as lines on a device, a separator row as an empty line.
class DeviceSink : public QObject, public MessageSink {
public:
    explicit DeviceSink(QIODevice& out) : m_out(out) {}
    // A row that names a path gives the path's own bytes (PathBytes.h).
    void AppendLine(const QString& text, int withSeparator) override
    {
        m_out.write(PathToBytes(text) + (withSeparator == 1 ? "\n\n" : "\n"));
    }
    // A tool's rows go out as the window shows them, without a string per
    // row: UTF-8 as it came, other bytes as the UTF-8 of their Latin-1 text.
    void AppendStreamRows(const QByteArray& bytes, bool streamEnd, int) override
    {
        QByteArray lines;
        lines.reserve(bytes.size() + 1);
        ForEachOutputRow(QByteArrayView(bytes), streamEnd, [&lines](QByteArrayView row) {
            if (IsValidUtf8(row))
                lines += row;
            else
                lines += RowText(row).toUtf8();
            lines += '\n';
        });
        m_out.write(lines);
    }
    void ClearMessageRows() override {}
    QObject* sinkObject() override { return this; }

private:
    QIODevice& m_out;
};

// Installs the sink on the channel for one run and puts the previous one
// back.
class SinkScope {
public:
    SinkScope(MessageChannel& channel, MessageSink* sink)
        : m_channel(channel), m_previous(channel.setSink(sink))
    {
    }
    ~SinkScope()
    {
        m_channel.flush();
        m_channel.setSink(m_previous);
    }

private:
    MessageChannel& m_channel;
    MessageSink* m_previous;
};

void complain(QIODevice& err, const QString& text)
{
    err.write("tarn: " + PathToBytes(text) + '\n');
}

StoredSettings storedSettings()
{
    QFile file(settingsFilePath());
    // A missing or unreadable file means every path unset, as at a first start.
    const QByteArray bytes = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    return readStoredSettings(SettingsProfile::fromBytes(bytes));
}

// The path set in Tarn32.ini, else the program of that name on PATH.
QString toolPath(const QString& configured, const QString& name)
{
    if (!configured.isEmpty())
        return configured;
    return findToolOnPath(name);
}

// Writes a file of the project (complete, or the old one kept) and says so
// as the IDE's Export does; a failure is a complaint on standard error.
int exportFile(const QString& path, const QByteArray& contents, const QString& failure,
               QIODevice& out, QIODevice& err, MessageChannel& messages)
{
    QString error;
    if (!fw::saveFileSafely(path, contents, &error)) {
        complain(err, failure + QStringLiteral(": ") + error);
        return 1;
    }
    DeviceSink sink(out);
    SinkScope scope(messages, &sink);
    messages.add(QStringLiteral("Wrote file ") + path + QStringLiteral(" successfully"), 1);
    return 0;
}

// Refuses a project path that is there but is not a regular file before
// anything opens it: opening a FIFO would wait for a writer, a device may
// never end. (A missing file is the loader's to report.)
std::optional<QString> notAProjectFile(const QString& path)
{
    struct stat status {};
    if (::stat(PathToBytes(path).constData(), &status) != 0 || S_ISREG(status.st_mode))
        return std::nullopt;
    if (S_ISDIR(status.st_mode))
        return QStringLiteral("It is a folder, not a project file.");
    return QStringLiteral("It is not a regular file.");
}

int build(const BuildJob& job, QIODevice& out, JobManager& jobs)
{
    DeviceSink sink(out);
    SinkScope scope(jobs.messages(), &sink);
    int status = 1;
    const QMetaObject::Connection finished = QObject::connect(
        &jobs, &JobManager::jobFinished, &jobs, [&status](int, int jobStatus) { status = jobStatus; });
    StartProjectBuild(jobs, job);
    jobs.waitForAll();
    QObject::disconnect(finished);
    return status;
}

} // namespace

std::optional<int> ParseJobCount(const QString& text, int cores, QString* complaint,
                                 QString* note)
{
    bool number = false;
    const int value = text.toInt(&number);
    if (!number || value < 0) {
        *complaint = QStringLiteral("--jobs needs the number of compiles to run at a time, 0 or "
                                    "more (0: one per core), not \"") +
                     text + QLatin1Char('"');
        return std::nullopt;
    }
    const int perCore = std::max(cores, 1);
    if (value == 0)
        return perCore;
    const int cap = std::max(kMaxParallelCompiles, perCore);
    if (value > cap) {
        *note = QStringLiteral("--jobs %1 is more than %2; %2 compiles run at a time")
                    .arg(value)
                    .arg(cap);
        return cap;
    }
    return value;
}

int RunProjectCommand(const QString& option, const QStringList& arguments,
                      const std::optional<QString>& jobsText, QIODevice& out, QIODevice& err,
                      JobManager& jobs)
{
    int parallel = 1;
    if (jobsText) {
        if (option != QLatin1String("--build") && option != QLatin1String("--rebuild")) {
            complain(err, QStringLiteral("--jobs goes only with --build and --rebuild"));
            return 2;
        }
        QString complaint;
        QString note;
        const std::optional<int> count =
            ParseJobCount(*jobsText, QThread::idealThreadCount(), &complaint, &note);
        if (!count) {
            complain(err, complaint);
            return 2;
        }
        if (!note.isEmpty())
            complain(err, note);
        parallel = *count;
    }
    if (arguments.size() != 1) {
        complain(err, option + QStringLiteral(" needs exactly one project file (P.tarn)"));
        return 2;
    }
    const QString projectPath = QFileInfo(arguments.first()).absoluteFilePath();
    if (const std::optional<QString> refused = notAProjectFile(projectPath)) {
        complain(err, projectPath + QStringLiteral(": ") + *refused);
        return 2;
    }
    QString error;
    const std::optional<ProjectFile> project = LoadProjectFile(projectPath, &error);
    if (!project) {
        complain(err, projectPath + QStringLiteral(": ") + error);
        return 2;
    }
    const StoredSettings settings = storedSettings();
    const QString gcc = toolPath(settings.gccPath, QStringLiteral("gcc"));
    if (gcc.isEmpty()) {
        complain(err, QStringLiteral("the gcc path is not set in Tarn32.ini and no gcc was "
                                     "found on PATH"));
        return 2;
    }
    const BuildKind kind =
        option == QLatin1String("--rebuild") ? BuildKind::All : BuildKind::Changed;
    BuildJob job = MakeBuildJob(*project, projectPath, gcc, false, kind);
    job.parallelCompiles = parallel;
    if (option == QLatin1String("--export-makefile")) {
        const std::optional<QByteArray> contents = MakefileContents(job, &error);
        if (!contents) {
            complain(err, error);
            return 1;
        }
        return exportFile(MakefilePath(job.projectDirectory), *contents,
                          QStringLiteral("Makefile could not be created"), out, err, jobs.messages());
    }
    if (option == QLatin1String("--export-compile-commands")) {
        return exportFile(CompileCommandsPath(job.projectDirectory), CompileCommandsContents(job),
                          QStringLiteral("compile_commands.json could not be created"), out, err,
                          jobs.messages());
    }
    if (job.sources.isEmpty()) {
        complain(err, projectPath + QStringLiteral(": there are no files in the project"));
        return 2;
    }
    return build(job, out, jobs);
}

QByteArray ProjectCommandHelp()
{
    return "  --build P.tarn [--jobs N]\n"
           "                            compile the sources of the project that changed,\n"
           "                            then link; the rows go to standard output\n"
           "  --rebuild P.tarn [--jobs N]\n"
           "                            compile every source of the project, then link\n"
           "                            --jobs N: N compiles at a time (default 1, 0: one\n"
           "                            per core, at most 64 or the cores); each source's\n"
           "                            rows stay together, in project order\n"
           "  --export-makefile P.tarn  write the project as \"Makefile\" in its folder\n"
           "  --export-compile-commands P.tarn\n"
           "                            write compile_commands.json (each source's compile\n"
           "                            as the build runs it) in the project's folder\n"
           "  Exit status of a build: 0 linked, 1 stopped before linking or the link\n"
           "  failed, 2 usage error, unreadable project, or no gcc.\n";
}
