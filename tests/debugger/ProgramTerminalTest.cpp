// Input for the debugged program: what its terminal cannot take at once
// waits in a bounded queue and is written, whole and in order, as the
// program reads; send() never waits for the program.
#include "DebugProgram.h"

#include "debugger/ProgramTerminal.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

using debugtest::waitFor;

namespace {

TEST(ProgramTerminal, InputTheProgramHasNotReadYetWaitsAndArrivesWhole)
{
    ProgramTerminal terminal;
    QString error;
    ASSERT_TRUE(terminal.open(&error)) << error.toStdString();
    // Far more than the terminal's buffers take (a line discipline of 4 KiB,
    // a pseudo-terminal's 64 KiB), with no one reading yet.
    QByteArray sent;
    for (int i = 0; i < 20000; ++i) {
        const QByteArray line = "input line " + QByteArray::number(i) + '\n';
        ASSERT_TRUE(terminal.send(line)) << i;
        sent += line;
    }
    EXPECT_GT(terminal.unsentBytes(), 0);
    // Past the queue's bound, the input is refused whole, not cut.
    const qsizetype waiting = terminal.unsentBytes();
    EXPECT_FALSE(terminal.send(QByteArray(ProgramTerminal::kMaxUnsentBytes, 'x')));
    EXPECT_EQ(terminal.unsentBytes(), waiting);

    // The program reads: everything comes, in order, as the loop runs.
    const int program = ::open(terminal.slavePath().constData(), O_RDONLY | O_NOCTTY | O_NONBLOCK);
    ASSERT_GE(program, 0);
    QByteArray read;
    const bool all = waitFor([&] {
        char buffer[4096];
        ssize_t n;
        while ((n = ::read(program, buffer, sizeof buffer)) > 0)
            read.append(buffer, n);
        return read.size() >= sent.size();
    });
    ::close(program);
    EXPECT_TRUE(all) << read.size() << " of " << sent.size();
    EXPECT_EQ(read, sent);
    EXPECT_EQ(terminal.unsentBytes(), 0);
}

TEST(ProgramTerminal, NothingIsSentOnceClosed)
{
    ProgramTerminal terminal;
    QString error;
    ASSERT_TRUE(terminal.open(&error));
    ASSERT_TRUE(terminal.send(QByteArray(20000, 'a')));
    terminal.close();
    EXPECT_EQ(terminal.unsentBytes(), 0);
    EXPECT_FALSE(terminal.send("late\n"));
}

} // namespace
