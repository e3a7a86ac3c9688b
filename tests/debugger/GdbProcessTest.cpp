// gdb's input and output on their worker, with scripted stand-ins for gdb
// (shell scripts in a temporary folder): records reach the receiver's
// thread in gdb's order, commands reach gdb in the order written, a gdb
// that will not exit is killed with its group, nothing arrives after end().
#include "DebugProgram.h"

#include "debugger/GdbProcess.h"
#include "support/ProcessWatch.h"

#include <gtest/gtest.h>

#include <QThread>

using debugtest::waitFor;

namespace {

// An executable script standing in for gdb (printf, not echo: the shell's
// echo would undo the backslashes of gdb's c-strings).
QString script(const QTemporaryDir& dir, const QByteArray& body)
{
    const QString path = dir.filePath(QStringLiteral("fake-gdb"));
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("#!/bin/sh\n" + body);
    file.close();
    file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    return path;
}

struct Received {
    std::vector<MiRecord> records;
    QByteArray errors;
    int finished = 0;
    int exitCode = -1;
    bool allOnReceiverThread = true;
};

GdbProcess::Handlers recordInto(Received& into)
{
    GdbProcess::Handlers handlers;
    QThread* receiverThread = QThread::currentThread();
    handlers.records = [&into, receiverThread](std::vector<MiRecord>& records) {
        into.allOnReceiverThread &= QThread::currentThread() == receiverThread;
        for (MiRecord& r : records)
            into.records.push_back(std::move(r));
    };
    handlers.errorOutput = [&into](const QByteArray& bytes) { into.errors += bytes; };
    handlers.finished = [&into](int code, bool) {
        ++into.finished;
        into.exitCode = code;
    };
    return handlers;
}

TEST(GdbProcess, RecordsInOrderOnTheReceiversThreadAndCommandsAnswered)
{
    QTemporaryDir dir;
    // Answers each command with its token, then says goodbye on -gdb-exit.
    const QString gdb = script(dir, R"(echo '=thread-group-added,id="i1"'
printf '%s\n' '~"hello\n"'
echo 'warning on stderr' >&2
echo '(gdb) '
while read -r line; do
  token=${line%%-*}
  case "$line" in
    *-gdb-exit*) echo "${token}^exit"; exit 0 ;;
    *) echo "${token}^done,echo=\"${line#*-}\"" ;;
  esac
done
)");
    QObject receiver;
    Received got;
    {
        GdbProcess process(&receiver, recordInto(got));
        QString error;
        ASSERT_TRUE(process.start(gdb, &error)) << error.toStdString();
        EXPECT_TRUE(process.isRunning());
        EXPECT_GT(process.processId(), 0);
        for (int i = 1; i <= 50; ++i)
            process.write(QByteArray::number(i) + "-cmd-" + QByteArray::number(i) + "\n");
        ASSERT_TRUE(waitFor([&] { return got.records.size() >= 53; })) << got.records.size();
        EXPECT_TRUE(waitFor([&] { return got.errors.contains("warning on stderr"); }))
            << got.errors.constData();
        process.end();
        EXPECT_FALSE(process.isRunning());
        EXPECT_TRUE(testsupport::goneSoon(process.processId()));
    }
    EXPECT_TRUE(got.allOnReceiverThread);
    ASSERT_EQ(got.records.size(), 53u);
    EXPECT_EQ(got.records.at(0).type, MiRecordType::NotifyAsync);
    EXPECT_EQ(got.records.at(1).stream, "hello\n");
    EXPECT_EQ(got.records.at(2).type, MiRecordType::Prompt);
    for (int i = 1; i <= 50; ++i) {
        const MiRecord& answer = got.records.at(size_t(2 + i));
        ASSERT_TRUE(answer.token.has_value());
        EXPECT_EQ(*answer.token, quint64(i));
        EXPECT_EQ(answer.results["echo"].bytes(), "cmd-" + QByteArray::number(i));
    }
    // Ended by Tarn: not reported as gdb ending by itself.
    QCoreApplication::processEvents();
    EXPECT_EQ(got.finished, 0);
}

TEST(GdbProcess, AGdbThatWillNotExitIsKilledWithWhatItStarted)
{
    QTemporaryDir dir;
    // Ignores -gdb-exit and keeps a child of its own; writes all the time.
    const QString gdb = script(dir, R"(trap '' INT TERM HUP
sleep 1000 &
echo $! > ")" + QFile::encodeName(dir.filePath(QStringLiteral("child"))) +
                                        R"("
while true; do printf '%s\n' '~"tick\n"'; sleep 0.01; done
)");
    QObject receiver;
    Received got;
    GdbProcess process(&receiver, recordInto(got));
    QString error;
    ASSERT_TRUE(process.start(gdb, &error)) << error.toStdString();
    ASSERT_TRUE(waitFor([&] { return got.records.size() >= 3; }));
    QFile childFile(dir.filePath(QStringLiteral("child")));
    ASSERT_TRUE(childFile.open(QIODevice::ReadOnly));
    const qint64 child = childFile.readAll().trimmed().toLongLong();
    ASSERT_GT(child, 0);
    process.end();
    EXPECT_TRUE(testsupport::goneSoon(process.processId()));
    EXPECT_TRUE(testsupport::goneSoon(child));
    // What was on its way when end() was called is dropped.
    const size_t seen = got.records.size();
    for (int i = 0; i < 10; ++i) {
        QCoreApplication::processEvents();
        QThread::msleep(10);
    }
    EXPECT_EQ(got.records.size(), seen);
    EXPECT_EQ(got.finished, 0);
}

TEST(GdbProcess, GdbEndingByItselfIsReportedAfterItsLastRecords)
{
    QTemporaryDir dir;
    const QString gdb = script(dir, "printf '%s\\n' '~\"last words\\n\"'\nexit 3\n");
    QObject receiver;
    Received got;
    GdbProcess process(&receiver, recordInto(got));
    QString error;
    ASSERT_TRUE(process.start(gdb, &error));
    ASSERT_TRUE(waitFor([&] { return got.finished == 1; }));
    EXPECT_EQ(got.exitCode, 3);
    ASSERT_EQ(got.records.size(), 1u);
    EXPECT_EQ(got.records.at(0).stream, "last words\n");
    EXPECT_FALSE(process.isRunning());
    // Writing to a gdb that is gone does nothing.
    process.write("1-exec-run\n");
    process.end();
}

TEST(GdbProcess, AProgramThatCannotStartSaysWhy)
{
    QObject receiver;
    Received got;
    GdbProcess process(&receiver, recordInto(got));
    QString error;
    EXPECT_FALSE(process.start(QStringLiteral("/nonexistent/gdb"), &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(process.isRunning());
}

} // namespace
