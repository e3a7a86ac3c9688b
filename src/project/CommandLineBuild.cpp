#include "project/CommandLineBuild.h"

#include "app/SettingsCodec.h"
#include "app/SettingsProfile.h"
#include "framework/SafeSave.h"
#include "messages/MessageSink.h"
#include "project/MakefileWriter.h"
#include "project/ProjectFileCodec.h"
#include "project/ProjectJobs.h"
#include "tools/JobManager.h"
#include "tools/PathNames.h"

#include <QFile>
#include <QFileInfo>
#include <QIODevice>
#include <QStandardPaths>

namespace {

// Rows as lines on a device, a separator row as an empty line.
class DeviceSink : public QObject, public MessageSink {
public:
    explicit DeviceSink(QIODevice& out) : m_out(out) {}
    void AppendLine(const QString& text, int withSeparator) override
    {
        m_out.write(text.toUtf8() + (withSeparator == 1 ? "\n\n" : "\n"));
    }
    void ClearMessageRows() override {}
    QObject* sinkObject() override { return this; }

private:
    QIODevice& m_out;
};

// Installs the sink for one run and puts the previous one back.
class SinkScope {
public:
    explicit SinkScope(MessageSink* sink) : m_previous(setMessageSink(sink)) {}
    ~SinkScope()
    {
        FlushMessages();
        setMessageSink(m_previous);
    }

private:
    MessageSink* m_previous;
};

void complain(QIODevice& err, const QString& text)
{
    err.write("tarn: " + text.toUtf8() + '\n');
}

StoredSettings storedSettings()
{
    const QString path = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
                         QStringLiteral("/Tarn32.ini");
    QFile file(path);
    // A missing or unreadable file means every path unset, as at a first start.
    const QByteArray bytes = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    return readStoredSettings(SettingsProfile::fromBytes(bytes));
}

// The path set in Tarn32.ini, else the program of that name on PATH.
QString toolPath(const QString& configured, const QString& name)
{
    if (!configured.isEmpty())
        return configured;
    return QStandardPaths::findExecutable(name);
}

int exportMakefile(const BuildJob& job, QIODevice& out)
{
    DeviceSink sink(out);
    SinkScope scope(&sink);
    const QString makefile = MakefilePath(job.projectDirectory);
    QString error;
    if (!fw::saveFileSafely(makefile, MakefileContents(job), &error)) {
        AddMessage(QStringLiteral("Makefile could not be created"), 1);
        AddMessage(error, 1);
        return 1;
    }
    AddMessage(QStringLiteral("Wrote file ") + makefile + QStringLiteral(" successfully"), 1);
    return 0;
}

int build(const BuildJob& job, QIODevice& out)
{
    DeviceSink sink(out);
    SinkScope scope(&sink);
    JobManager jobs;
    int status = 1;
    QObject::connect(&jobs, &JobManager::jobFinished, &jobs,
                     [&status](int, int jobStatus) { status = jobStatus; });
    if (StartProjectBuild(job) == 0)
        return 1;
    jobs.waitForAll();
    return status;
}

} // namespace

int RunProjectCommand(const QString& option, const QStringList& arguments, QIODevice& out,
                      QIODevice& err)
{
    if (arguments.size() != 1) {
        complain(err, option + QStringLiteral(" needs exactly one project file (P.tarn)"));
        return 2;
    }
    const QString projectPath = QFileInfo(arguments.first()).absoluteFilePath();
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
    const BuildJob job = MakeBuildJob(*project, projectPath, gcc, false, kind);
    if (option == QLatin1String("--export-makefile"))
        return exportMakefile(job, out);
    if (job.sources.isEmpty()) {
        complain(err, projectPath + QStringLiteral(": there are no files in the project"));
        return 2;
    }
    return build(job, out);
}

QByteArray ProjectCommandHelp()
{
    return "  --build P.tarn            compile the sources of the project that changed, then\n"
           "                            link; the rows go to standard output\n"
           "  --rebuild P.tarn          compile every source of the project, then link\n"
           "  --export-makefile P.tarn  write the project as \"Makefile\" in its folder\n"
           "  Exit status of a build: 0 linked, 1 stopped before linking or the link\n"
           "  failed, 2 usage error, unreadable project, or no gcc.\n";
}
