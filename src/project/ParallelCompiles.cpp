#include "project/ParallelCompiles.h"

#include "messages/MessageSink.h"
#include "tools/WorkerReports.h"

#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace {

// The units, who takes which next, and which have ended.
class CompileQueue {
public:
    CompileQueue(const QList<CompileUnit>& units, const std::atomic<bool>& cancel)
        : m_units(units), m_cancel(cancel), m_ended(units.size(), false)
    {
        for (qsizetype i = 0; i < units.size(); ++i)
            m_rows.push_back(std::make_unique<MessageBatcher>(MessageBatcher::Hold::Held));
    }

    // One compiling thread: takes units in list order until none is left
    // or the build is to stop.
    void work()
    {
        for (;;) {
            const qsizetype i = m_next.fetch_add(1);
            if (i >= m_units.size() || m_cancel.load())
                break;
            const CompileUnit& unit = m_units.at(i);
            MessageBatcher& rows = *m_rows[size_t(i)];
            for (const BuildRow& row : unit.rows)
                rows.add(row.text, row.withSeparator);
            if (unit.step) {
                const ChildResult result =
                    RunWithGccReport(unit.step->invocation, m_cancel, rows, buildrows::kErrors);
                if (result.end != ChildResult::End::Finished || result.exitCode != 0)
                    m_failures.fetch_add(1);
            }
            std::lock_guard lock(m_mutex);
            m_ended[size_t(i)] = true;
            m_changed.notify_all();
        }
        std::lock_guard lock(m_mutex);
        ++m_threadsDone;
        m_changed.notify_all();
    }

    // Shows the units in order as they end, until every thread is done.
    void showInOrder(int threads)
    {
        size_t shown = 0;
        std::unique_lock lock(m_mutex);
        for (;;) {
            m_changed.wait(lock, [&] {
                return (shown < m_ended.size() && m_ended[shown]) || m_threadsDone == threads;
            });
            while (shown < m_ended.size() && m_ended[shown])
                m_rows[shown++]->release();
            if (m_threadsDone == threads)
                return;
        }
    }

    int failures() const { return m_failures.load(); }

private:
    const QList<CompileUnit>& m_units;
    const std::atomic<bool>& m_cancel;
    std::vector<std::unique_ptr<MessageBatcher>> m_rows;
    std::atomic<qsizetype> m_next{0};
    std::atomic<int> m_failures{0};
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<bool> m_ended;
    int m_threadsDone = 0;
};

} // namespace

int RunCompilesSideBySide(const QList<CompileUnit>& units, int parallel,
                          const std::atomic<bool>& cancel)
{
    CompileQueue queue(units, cancel);
    const int threads = int(std::min<qsizetype>(std::max(parallel, 1), units.size()));
    std::vector<std::thread> compilers;
    for (int t = 0; t < threads; ++t)
        compilers.emplace_back([&queue] { queue.work(); });
    queue.showInOrder(threads);
    for (std::thread& compiler : compilers)
        compiler.join();
    return queue.failures();
}
