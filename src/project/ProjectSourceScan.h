#pragma once

#include "project/ProjectTreeLayout.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

// The project window's uses of the source scanner. Each reads the file on
// disk afresh.

// One source's part of the tree: the file read once, its function names
// and its quoted includes found in one pass; `dependencies` keeps the
// included files distinct across the sources of the tree. Not readable
// when the file cannot be opened.
ProjectTreeSource ScanProjectTreeSource(const QString& path, ProjectDependencies& dependencies);

// The zero-based lines of the first kMaxScannedDefinitions definitions;
// nothing when the file cannot be opened.
std::optional<QList<int>> ScanDefinitionLines(const QString& path);

// Scans a project's sources for its tree on a worker thread, one source at
// a time in project order (one that cannot be opened among them). The
// worker reads files and fills values, nothing else; the thread that owns
// the scanner takes the results.
class ProjectTreeScanner : public QObject {
    Q_OBJECT
public:
    struct Results {
        // In project order, following those taken before.
        std::vector<ProjectTreeSource> sources;
        // The scan is over: no more sources follow.
        bool finished = false;
    };

    explicit ProjectTreeScanner(QObject* parent = nullptr);
    // Stops the worker; waits at most for the source being scanned.
    ~ProjectTreeScanner() override;

    // Starts a scan of `sources` (the paths are copied). A scan still
    // running is abandoned, and its results not yet taken are dropped.
    void scan(const QStringList& sources);
    // Abandons the running scan, if any; its results are dropped.
    void cancel();
    // The results of the latest scan that arrived since the last call.
    Results take();

signals:
    // Emitted from the worker when results arrive and none were waiting;
    // connect it queued.
    void resultsReady();

private:
    void run();
    // Hands a result of scan `generation` over and tells the owner, unless
    // that scan was abandoned meanwhile; false when it was.
    bool deliver(quint64 generation, std::optional<ProjectTreeSource> source, bool finished);
    // Called with m_mutex held: a scan was asked for since `generation`,
    // or the scanner stops.
    bool abandoned(quint64 generation) const { return m_stopping || m_generation != generation; }

    std::mutex m_mutex;
    std::condition_variable m_wake;
    // Guarded by m_mutex.
    bool m_stopping = false;
    quint64 m_generation = 0;
    quint64 m_started = 0;
    QStringList m_sources;
    Results m_ready;
    std::thread m_thread;
};
