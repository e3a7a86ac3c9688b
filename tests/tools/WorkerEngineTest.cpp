// Tarn's current directory, and the ordered message queue the workers post to.
#include "tools/ToolSession.h"

#include "RecordingSink.h"
#include "messages/MessageSink.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <atomic>
#include <chrono>
#include <thread>

namespace {

using Rows = std::vector<RecordingSink::Row>;

TEST(ToolSessionTest, CurrentDirectoryFollowsTheProcessUntilSet)
{
    QTemporaryDir dir;
    const QString root = QFileInfo(dir.path()).canonicalFilePath();
    ASSERT_TRUE(QDir(root).mkpath(QStringLiteral("sub/deeper")));
    const QString previous = QDir::currentPath();
    ToolSession tools;
    ASSERT_TRUE(QDir::setCurrent(root));
    EXPECT_EQ(tools.directory(), root + "/");
    tools.setDirectory(QStringLiteral("sub"));
    EXPECT_EQ(tools.directory(), root + "/sub/");
    // Relative to the session's own directory, not the process's.
    tools.setDirectory(QStringLiteral("deeper/"));
    EXPECT_EQ(tools.directory(), root + "/sub/deeper/");
    tools.setDirectory(QStringLiteral("../.."));
    EXPECT_EQ(tools.directory(), root + "/");
    // The process's own directory never moved; another session has its own.
    EXPECT_EQ(QDir::currentPath(), root);
    tools.setDirectory(QStringLiteral("sub"));
    EXPECT_EQ(ToolSession().directory(), root + "/");
    tools.setDirectory(QString());
    QDir::setCurrent(previous);
    EXPECT_EQ(tools.directory(), QDir::currentPath() + "/");
}

// One queue for every thread: rows posted by a worker come before a row the
// interface thread adds later, and a batch is never split by a Clear.
TEST(MessageQueue, KeepsOrderAcrossThreads)
{
    RecordingSink sink;
    std::thread worker([&sink] {
        MessageBatcher batch(sink.messages());
        for (int i = 0; i < 5000; ++i)
            batch.add(QString::number(i), 0);
    });
    worker.join();
    sink.messages().add(QStringLiteral("after"), 1);
    sink.messages().flush();
    ASSERT_EQ(sink.rows.size(), 5001u);
    for (int i = 0; i < 5000; ++i)
        ASSERT_EQ(sink.rows[i].first, QString::number(i));
    EXPECT_EQ(sink.rows.back(), (RecordingSink::Row{"after", 1}));

    std::thread clearer([&sink] {
        std::vector<MessageEntry> entries(3);
        entries[0].kind = MessageEntry::Kind::Clear;
        entries[1].text = QStringLiteral("heading");
        entries[1].withSeparator = 1;
        entries[2].text = QStringLiteral("row");
        sink.messages().post(std::move(entries));
    });
    clearer.join();
    sink.messages().flush();
    EXPECT_EQ(sink.rows, (Rows{{"heading", 1}, {"row", 0}}));
}

// A sink slower than the worker that floods it: the queue is never empty
// while the worker posts.
class SlowSink : public RecordingSink {
public:
    void AppendLine(const QString& text, int withSeparator) override
    {
        std::this_thread::sleep_for(std::chrono::microseconds(100));
        RecordingSink::AppendLine(text, withSeparator);
    }
};

// A row the interface thread adds while a worker floods the queue comes
// after every row posted before it, but the call returns without waiting
// for the queue to run dry (which would hold the interface for as long as
// the worker posts).
TEST(MessageQueue, InterfaceRowDuringAFloodReturnsWhileTheWorkerPostsAndKeepsOrder)
{
    SlowSink sink;
    std::atomic<bool> stop = false;
    std::atomic<bool> workerDone = false;
    std::atomic<int> posted = 0;
    std::thread worker([&] {
        // Bounded (20,000 rows take the sink 2 s), so a call that waits for
        // an empty queue shows as a failure, not a hang.
        int next = 0;
        while (!stop.load() && next < 20000) {
            std::vector<MessageEntry> batch(50);
            for (MessageEntry& entry : batch)
                entry.text = QString::number(next++);
            sink.messages().post(std::move(batch));
            posted.store(next);
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        workerDone.store(true);
    });
    // Let the backlog build up.
    while (posted.load() < 2000)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    QCoreApplication::processEvents();
    const int postedBefore = posted.load();
    sink.messages().add(QStringLiteral("after"), 1);
    EXPECT_FALSE(workerDone.load()) << "AddMessage waited until the worker stopped posting";
    stop.store(true);
    worker.join();
    sink.messages().flush();

    ptrdiff_t at = -1;
    for (size_t i = 0; i < sink.rows.size(); ++i) {
        if (sink.rows[i].first == QStringLiteral("after"))
            at = ptrdiff_t(i);
        else
            ASSERT_EQ(sink.rows[i].first, QString::number(at < 0 ? i : i - 1)) << "row " << i;
    }
    ASSERT_GE(at, 0);
    EXPECT_GE(at, postedBefore);
    EXPECT_EQ(sink.rows.size(), size_t(posted.load()) + 1);
}

} // namespace
