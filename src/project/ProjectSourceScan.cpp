#include "project/ProjectSourceScan.h"

#include "editor/SourceScanner.h"

#include "tools/PathBytes.h"

#ifdef Q_OS_LINUX
#include <cerrno>

#include <sys/resource.h>
#endif

namespace {

// What the tree shows of one source, as texts.
class TreeNames : public SourceScanReceiver {
public:
    void definitionFound(const ScannedDefinition& definition) override
    {
        functions.append(QString::fromUtf8(definition.name));
    }
    // The names become paths: the bytes of the file-name encoding.
    void includeFound(const QByteArray& name) override { includes.append(PathFromBytes(name)); }

    QStringList functions;
    QStringList includes;
};

} // namespace

ProjectTreeSource ScanProjectTreeSource(const QString& path, ProjectDependencies& dependencies)
{
    ProjectTreeSource source;
    source.path = path;
    const std::optional<QByteArray> bytes = readSourceFile(path, &source.unreadableReason);
    if (!bytes)
        return source;
    source.readable = true;
    TreeNames names;
    ScanDefinitionsAndQuotedIncludes(*bytes, names);
    source.functions = std::move(names.functions);
    source.newDependencies = dependencies.add(path, names.includes);
    return source;
}

std::optional<QList<int>> ScanDefinitionLines(const QString& path)
{
    const std::optional<QByteArray> bytes = readSourceFile(path);
    if (!bytes)
        return std::nullopt;
    QList<int> lines;
    for (const ScannedDefinition& definition : ScanDefinitions(*bytes)) {
        if (lines.size() == kMaxScannedDefinitions)
            break;
        lines.append(definition.line);
    }
    return lines;
}

ProjectTreeScanner::ProjectTreeScanner(QObject* parent) : QObject(parent) {}

ProjectTreeScanner::~ProjectTreeScanner()
{
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_wake.notify_all();
    if (m_thread.joinable())
        m_thread.join();
}

void ProjectTreeScanner::scan(const QStringList& sources)
{
    {
        std::lock_guard lock(m_mutex);
        ++m_generation;
        // Qt's shared strings are values: the worker's copy stays as it is
        // whatever the project's list becomes.
        m_sources = sources;
        m_ready = {};
        if (!m_thread.joinable())
            m_thread = std::thread([this] { run(); });
    }
    m_wake.notify_all();
}

void ProjectTreeScanner::cancel()
{
    std::lock_guard lock(m_mutex);
    ++m_generation;
    m_started = m_generation; // nothing to start
    m_sources.clear();
    m_ready = {};
}

ProjectTreeScanner::Results ProjectTreeScanner::take()
{
    std::lock_guard lock(m_mutex);
    return std::exchange(m_ready, {});
}

bool ProjectTreeScanner::deliver(quint64 generation, std::optional<ProjectTreeSource> source,
                                 bool finished)
{
    bool noneWaiting = false;
    {
        std::lock_guard lock(m_mutex);
        if (abandoned(generation))
            return false;
        noneWaiting = m_ready.sources.empty() && !m_ready.finished;
        if (source)
            m_ready.sources.push_back(std::move(*source));
        m_ready.finished = finished;
    }
    if (noneWaiting)
        emit resultsReady();
    return true;
}

void ProjectTreeScanner::run()
{
#ifdef Q_OS_LINUX
    // On a busy machine the interface thread goes first: on Linux the nice
    // value belongs to the thread, so this one alone yields.
    errno = 0;
    const int nice = getpriority(PRIO_PROCESS, 0);
    if (errno == 0)
        setpriority(PRIO_PROCESS, 0, nice + 5);
#endif
    for (;;) {
        quint64 generation = 0;
        QStringList sources;
        {
            std::unique_lock lock(m_mutex);
            m_wake.wait(lock, [this] { return m_stopping || m_generation != m_started; });
            if (m_stopping)
                return;
            generation = m_started = m_generation;
            sources = m_sources;
        }
        if (sources.isEmpty()) {
            deliver(generation, std::nullopt, true);
            continue;
        }
        ProjectDependencies dependencies;
        for (qsizetype i = 0; i < sources.size(); ++i) {
            ProjectTreeSource source = ScanProjectTreeSource(sources[i], dependencies);
            // A source that cannot be opened is marked; the others follow.
            const bool last = i + 1 == sources.size();
            if (!deliver(generation, std::move(source), last) || last)
                break;
        }
    }
}
