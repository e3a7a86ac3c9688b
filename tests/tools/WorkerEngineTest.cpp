// The tool directory, and the ordered message queue the workers post to.
#include "tools/ToolDirectory.h"

#include "RecordingSink.h"
#include "messages/MessageSink.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <thread>

namespace {

using Rows = std::vector<RecordingSink::Row>;

TEST(ToolDirectoryTest, FollowsTheProcessUntilSet)
{
    QTemporaryDir dir;
    const QString root = QFileInfo(dir.path()).canonicalFilePath();
    ASSERT_TRUE(QDir(root).mkpath(QStringLiteral("sub")));
    const QString previous = QDir::currentPath();
    setToolDirectory(QString());
    ASSERT_TRUE(QDir::setCurrent(root));
    EXPECT_EQ(toolDirectory(), root + "/");
    setToolDirectory(QStringLiteral("sub"));
    EXPECT_EQ(toolDirectory(), root + "/sub/");
    // The process's own directory never moved.
    EXPECT_EQ(QDir::currentPath(), root);
    setToolDirectory(QString());
    QDir::setCurrent(previous);
    EXPECT_EQ(toolDirectory(), QDir::currentPath() + "/");
}

// One queue for every thread: rows posted by a worker come before a row the
// interface thread adds later, and a batch is never split by a Clear.
TEST(MessageQueue, KeepsOrderAcrossThreads)
{
    RecordingSink sink;
    std::thread worker([] {
        MessageBatcher batch;
        for (int i = 0; i < 5000; ++i)
            batch.add(QString::number(i), 0);
    });
    worker.join();
    AddMessage(QStringLiteral("after"), 1);
    ASSERT_EQ(sink.rows.size(), 5001u);
    for (int i = 0; i < 5000; ++i)
        ASSERT_EQ(sink.rows[i].first, QString::number(i));
    EXPECT_EQ(sink.rows.back(), (RecordingSink::Row{"after", 1}));

    std::thread clearer([] {
        std::vector<MessageEntry> entries(3);
        entries[0].kind = MessageEntry::Kind::Clear;
        entries[1].text = QStringLiteral("heading");
        entries[1].withSeparator = 1;
        entries[2].text = QStringLiteral("row");
        PostMessages(std::move(entries));
    });
    clearer.join();
    FlushMessages();
    EXPECT_EQ(sink.rows, (Rows{{"heading", 1}, {"row", 0}}));
}

} // namespace
