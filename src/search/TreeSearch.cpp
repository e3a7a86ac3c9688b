#include "search/TreeSearch.h"

#include "messages/MessageClassifier.h"
#include "messages/MessageSink.h"
#include "tools/FolderEntries.h"

#include <chrono>
#include <condition_variable>
#include <deque>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

#include <pthread.h>
#include <sched.h>
#include <sys/resource.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// How far the walk may run ahead of the rows handed on (files), and how
// many bytes of rows may wait for their turn before the workers of later
// files wait too.
constexpr size_t kWalkAhead = 4096;
constexpr qsizetype kHeldRowBytes = 8 * 1024 * 1024;
// How often a hand-over with nothing to do looks at the stop flag and
// sends rows that have waited (MessageBatcher::kBatchMs).
constexpr std::chrono::milliseconds kIdle(MessageBatcher::kBatchMs);
// How much nicer than the search's own thread the workers are.
constexpr int kNicer = 5;

struct FileTask {
    std::string path;  // to open
    std::string shown; // in the rows: relative to the folder searched
};

// Rows of one file with the icon they are shown with.
struct RowPiece {
    QByteArray rows;
    int icon = IconMatch;
};

struct FileResult {
    FileSearch search = FileSearch::Searched;
    qint64 matches = 0;
    qint64 tooComplex = 0;
};

// Walks a folder in name order, calling `file` for every regular file whose
// name suits the patterns; false from it ends the walk.
class Walk {
public:
    Walk(const QList<QByteArray>& patterns, const std::atomic<bool>& cancel,
         const std::function<bool(FileTask&&)>& file)
        : m_patterns(patterns), m_cancel(cancel), m_file(file)
    {}

    // False when the walk was ended before its end.
    bool walk(const std::string& folder, const std::string& relative)
    {
        std::vector<FolderEntry> entries;
        if (!ListFolder(folder, entries))
            ++unreadableFolders;
        for (const auto& [name, type] : entries) {
            if (m_cancel.load())
                return false;
            const std::string shown = relative.empty() ? name : relative + '/' + name;
            if (type == fs::file_type::directory) {
                if (!walk(folder + '/' + name, shown))
                    return false;
            } else if (type == fs::file_type::regular &&
                       MatchesFilePatterns(QByteArrayView(name), m_patterns)) {
                if (!m_file({folder + '/' + name, shown}))
                    return false;
            }
        }
        return true;
    }

    qint64 unreadableFolders = 0;

private:
    const QList<QByteArray>& m_patterns;
    const std::atomic<bool>& m_cancel;
    const std::function<bool(FileTask&&)>& m_file;
};

// Searches one file, handing its rows on in pieces: at least every batch's
// worth, after each read block, and around a line too complex to search
// (its row has an icon of its own).
FileResult searchOne(const FileTask& task, const LineMatcher& matcher,
                     const std::atomic<bool>& cancel, QByteArray& buffer,
                     const std::function<void(RowPiece&&)>& hand)
{
    FileResult result;
    const QByteArrayView shown(task.shown);
    QByteArray rows;
    auto handRows = [&] {
        if (!rows.isEmpty())
            hand({std::exchange(rows, QByteArray()), IconMatch});
    };
    result.search = SearchFile(
        QByteArray::fromStdString(task.path), matcher, cancel,
        [&](qint64 line, QByteArrayView text) {
            ++result.matches;
            AppendFindRow(rows, shown, line, text);
            if (rows.size() >= MessageBatcher::kBatchBytes)
                handRows();
        },
        &buffer, handRows,
        [&](qint64 line) {
            ++result.tooComplex;
            handRows();
            QByteArray row;
            AppendTooComplexRow(row, shown, line);
            hand({row, IconDiagnostic});
        });
    handRows();
    return result;
}

void count(FindSummary& summary, const FileResult& file)
{
    switch (file.search) {
    case FileSearch::Binary:
        ++summary.binaryFiles;
        break;
    case FileSearch::Unreadable:
        ++summary.unreadableFiles;
        break;
    case FileSearch::Cancelled:
        summary.cancelled = true;
        break;
    case FileSearch::Searched:
        ++summary.filesSearched;
        break;
    }
    summary.matches += file.matches;
    summary.tooComplexLines += file.tooComplex;
    if (file.matches > 0)
        ++summary.filesWithMatches;
}

// What a file walked gave so far: its rows not yet handed on, and once
// searched, its result.
struct FileOutcome {
    std::vector<RowPiece> pieces;
    bool done = false;
    FileResult result;
};

// The walk, the workers and the hand-over in walk order. Files are taken
// by the workers in the order they were walked, so the file whose turn it
// is has always been taken (or is done): its worker never waits, and the
// others wait only for it.
class ParallelSearch {
public:
    ParallelSearch(const FindInFilesRequest& request, const LineMatcher& matcher,
                   const std::atomic<bool>& cancel, MessageBatcher& batch)
        : m_patterns(SplitFilePatterns(request.patterns)), m_matcher(matcher), m_cancel(cancel),
          m_batch(batch), m_folder(request.folder)
    {}

    // Nothing when not even the walk and one worker could be started (the
    // system refused threads): nothing has been handed on then.
    std::optional<FindSummary> run(const std::string& root, int threads)
    {
        std::thread walker;
        std::vector<std::thread> workers;
        try {
            walker = std::thread([this, &root] { walk(root); });
            for (int i = 0; i < threads; ++i)
                workers.emplace_back([this] { work(); });
        } catch (const std::system_error&) {
            // Fewer workers do the same work; none cannot.
        }
        const bool started = walker.joinable() && !workers.empty();
        if (started)
            handOver();
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_stop = true;
        }
        m_changed.notify_all();
        if (walker.joinable())
            walker.join();
        for (std::thread& worker : workers)
            worker.join();
        if (!started)
            return std::nullopt;
        m_summary.unreadableFolders = m_unreadableFolders;
        return m_summary;
    }

private:
    void walk(const std::string& root)
    {
        const std::function<bool(FileTask &&)> file = [this](FileTask&& task) {
            std::unique_lock<std::mutex> lock(m_mutex);
            m_changed.wait(lock, [this] { return m_stop || m_outcomes.size() < kWalkAhead; });
            if (m_stop)
                return false;
            m_outcomes.push_back(std::make_shared<FileOutcome>());
            m_tasks.push_back(std::move(task));
            m_changed.notify_all();
            return true;
        };
        Walk walk(m_patterns, m_cancel, file);
        walk.walk(root, std::string());
        std::lock_guard<std::mutex> lock(m_mutex);
        m_unreadableFolders = walk.unreadableFolders;
        m_walked = true;
        m_changed.notify_all();
    }

    // A worker gives way to the interface thread: on a machine whose cores
    // the workers fill, the window must still get a core soon when rows
    // arrive. Nicer than the search's own thread (Linux's nice value is per
    // thread), and a batch thread, which the scheduler takes for a
    // processor-bound one and disfavours when other threads wake (measured
    // on the shared 2-core machine: the gaps of 40 ms seen now and then
    // among ones of 12 to 16 ms were gone).
    static void givesWay()
    {
        const int nice = ::getpriority(PRIO_PROCESS, ::gettid());
#ifdef SCHED_BATCH
        sched_param batch{};
        ::pthread_setschedparam(::pthread_self(), SCHED_BATCH, &batch);
#endif
        ::setpriority(PRIO_PROCESS, ::gettid(), nice + kNicer);
    }

    void work()
    {
        givesWay();
        QByteArray buffer; // this worker's reads
        for (;;) {
            FileTask task;
            qint64 index = 0;
            std::shared_ptr<FileOutcome> outcome;
            {
                std::unique_lock<std::mutex> lock(m_mutex);
                m_changed.wait(lock, [this] { return m_stop || !m_tasks.empty() || m_walked; });
                if (m_stop || m_tasks.empty() || m_cancel.load())
                    return;
                task = std::move(m_tasks.front());
                m_tasks.pop_front();
                index = m_taken++;
                outcome = m_outcomes[size_t(index - m_due)];
            }
            const auto hand = [&](RowPiece&& piece) {
                std::unique_lock<std::mutex> lock(m_mutex);
                m_held += piece.rows.size();
                outcome->pieces.push_back(std::move(piece));
                m_changed.notify_all();
                m_changed.wait(lock,
                               [&] { return m_stop || index == m_due || m_held < kHeldRowBytes; });
            };
            const FileResult result = searchOne(task, m_matcher, m_cancel, buffer, hand);
            std::lock_guard<std::mutex> lock(m_mutex);
            outcome->result = result;
            outcome->done = true;
            m_changed.notify_all();
        }
    }

    // On the calling thread: hands the rows of the file whose turn it is
    // to the batcher as they come, then the next file's.
    void handOver()
    {
        for (;;) {
            std::vector<RowPiece> pieces;
            std::shared_ptr<FileOutcome> finished;
            {
                std::unique_lock<std::mutex> lock(m_mutex);
                const bool ready = m_changed.wait_for(lock, kIdle, [this] {
                    return m_cancel.load() || (m_outcomes.empty() && m_walked) ||
                           (!m_outcomes.empty() &&
                            (!m_outcomes.front()->pieces.empty() || m_outcomes.front()->done));
                });
                if (m_cancel.load()) {
                    m_summary.cancelled = true;
                    return;
                }
                if (ready && m_outcomes.empty())
                    return;
                if (ready) {
                    FileOutcome& front = *m_outcomes.front();
                    pieces.swap(front.pieces);
                    for (const RowPiece& piece : pieces)
                        m_held -= piece.rows.size();
                    if (front.done) {
                        finished = std::move(m_outcomes.front());
                        m_outcomes.pop_front();
                        ++m_due;
                    }
                    m_changed.notify_all();
                }
            }
            for (const RowPiece& piece : pieces)
                m_batch.addStreamRows(piece.rows, false, m_folder, piece.icon);
            if (finished)
                count(m_summary, finished->result);
            m_batch.postIfDue();
        }
    }

    const QList<QByteArray> m_patterns;
    const LineMatcher& m_matcher;
    const std::atomic<bool>& m_cancel;
    MessageBatcher& m_batch;
    const QString m_folder;
    FindSummary m_summary; // the hand-over's

    std::mutex m_mutex;
    std::condition_variable m_changed;
    // Files walked and not handed on yet, from the one whose turn it is
    // (walk index m_due); the files not taken yet are the last of them.
    std::deque<std::shared_ptr<FileOutcome>> m_outcomes;
    std::deque<FileTask> m_tasks;
    qint64 m_due = 0;
    qint64 m_taken = 0;
    qsizetype m_held = 0; // bytes of rows in m_outcomes
    qint64 m_unreadableFolders = 0;
    bool m_walked = false;
    bool m_stop = false;
};

FindSummary searchInOrder(const std::string& root, const FindInFilesRequest& request,
                          const LineMatcher& matcher, const std::atomic<bool>& cancel,
                          MessageBatcher& batch)
{
    FindSummary summary;
    QByteArray buffer; // one read buffer for every file
    const QList<QByteArray> patterns = SplitFilePatterns(request.patterns);
    const auto hand = [&](RowPiece&& piece) {
        batch.addStreamRows(piece.rows, false, request.folder, piece.icon);
        batch.postIfDue();
    };
    const std::function<bool(FileTask &&)> file = [&](FileTask&& task) {
        count(summary, searchOne(task, matcher, cancel, buffer, hand));
        batch.postIfDue();
        return !summary.cancelled;
    };
    Walk walk(patterns, cancel, file);
    if (!walk.walk(root, std::string()))
        summary.cancelled = true;
    summary.unreadableFolders = walk.unreadableFolders;
    return summary;
}

} // namespace

FindSummary SearchTree(const std::string& root, const FindInFilesRequest& request,
                       const LineMatcher& matcher, const std::atomic<bool>& cancel,
                       MessageBatcher& batch, int threads)
{
    if (threads > 1) {
        if (const std::optional<FindSummary> summary =
                ParallelSearch(request, matcher, cancel, batch).run(root, threads))
            return *summary;
    }
    return searchInOrder(root, request, matcher, cancel, batch);
}
