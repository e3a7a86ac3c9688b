// The debugging session on awkward programs, with the host's real gcc and
// gdb: a source path with blanks and a byte that is not UTF-8, programs
// that fork (every process ends at Stop), a 1 MB char array and a string
// that is not UTF-8 among the locals.
#include "DebugProgram.h"

#include "support/ProcessWatch.h"
#include "tools/PathBytes.h"

#include <gtest/gtest.h>

#include <QRegularExpression>

#include <fcntl.h>
#include <unistd.h>

using debugtest::groupHasLiveMember;
using debugtest::lineOf;
using debugtest::Program;
using debugtest::waitFor;

namespace {

class DebugBadInputTest : public debugtest::SessionTest {
protected:
    bool start(const DebugTarget& target, const QList<BreakpointRequest>& breakpoints)
    {
        QString error;
        const bool started = session.start(target, breakpoints, &error);
        EXPECT_TRUE(started) << error.toStdString();
        return started;
    }
};

TEST_F(DebugBadInputTest, SourcePathWithBlanksAndANonUtf8Byte)
{
    const QByteArray source = R"(#include <stdio.h>
int main(void)
{
    int answer = 6 * 7;
    printf("%d\n", answer); /* stop here */
    return 0;
}
)";
    QTemporaryDir dir;
    const QByteArray folder = QFile::encodeName(dir.path()) + "/with blank";
    ASSERT_EQ(::mkdir(folder.constData(), 0700), 0);
    const QByteArray file = folder + "/caf\xe9 file.c";
    const int fd = ::open(file.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::write(fd, source.constData(), size_t(source.size())), source.size());
    ::close(fd);
    // The file's name goes to gcc as bytes, through the shell's printf.
    QProcess gcc;
    gcc.setWorkingDirectory(QString::fromUtf8(folder));
    gcc.start(QStringLiteral("/bin/sh"),
              {QStringLiteral("-c"),
               QStringLiteral("%1 -g -O0 -o prog.exe \"$(printf 'caf\\351 file.c')\"")
                   .arg(debugtest::toolPath("gcc"))});
    ASSERT_TRUE(gcc.waitForFinished(60000));
    ASSERT_EQ(gcc.exitCode(), 0) << gcc.readAllStandardError().constData();

    const QString program = QString::fromUtf8(folder) + QStringLiteral("/prog.exe");
    ASSERT_TRUE(start(DebugTarget{debugtest::gdbPath(), program, {}, QString::fromUtf8(folder)},
                      {BreakpointRequest::at(file, lineOf(source, "stop here"))}));
    ASSERT_TRUE(nextStop()) << session.statusText().toStdString();
    EXPECT_EQ(session.lastStop().kind, DebugStop::Kind::Breakpoint);
    EXPECT_EQ(session.lastStop().frame.fullname, file);
    // The path the editor opens for the stop is the file's own bytes.
    EXPECT_EQ(PathToBytes(PathFromBytes(session.lastStop().frame.fullname)), file);
    EXPECT_EQ(session.statusText(), QStringLiteral("Stopped at caf\uFFFD file.c:%1 (breakpoint 1)")
                                        .arg(lineOf(source, "stop here")));
    ASSERT_EQ(session.breakpoints().size(), 1);
    EXPECT_EQ(session.breakpointAt(file, lineOf(source, "stop here")), 1);
    EXPECT_EQ(local("answer")->value, "42");
    session.stop();
    // Qt cannot name the file to remove it: the folder goes by its bytes.
    ::unlink(file.constData());
    QDir(QString::fromUtf8(folder)).removeRecursively();
}

TEST_F(DebugBadInputTest, ForkedChildrenEndAtStop)
{
    // The child says its process id, the parent that it runs on; then the
    // parent spins (or stops at the breakpoint) and the child waits.
    const QByteArray stayInGroup = R"(#include <stdio.h>
#include <unistd.h>
int main(void)
{
    volatile unsigned long spins = 0;
    pid_t child = fork();
    if (child == 0) {
        for (;;)
            pause();
    }
    printf("child %d\n", (int)child);
    printf("running\n"); /* parent */
    fflush(stdout);
    for (;;)
        ++spins;
}
)";
    QByteArray leaveGroup = stayInGroup;
    leaveGroup.replace("    if (child == 0) {\n",
                       "    if (child == 0) {\n        setpgid(0, 0);\n");
    struct Case {
        const char* name;
        QByteArray source;
        bool stopAtBreakpoint; // Stop while stopped, not while running
    };
    const Case cases[] = {
        {"child in the program's group, Stop while running", stayInGroup, false},
        {"child in a group of its own, Stop while running", leaveGroup, false},
        {"child in the program's group, Stop at a breakpoint", stayInGroup, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        output.clear();
        Program program(c.source);
        ASSERT_TRUE(program.built()) << program.errors().constData();
        QList<BreakpointRequest> breakpoints;
        if (c.stopAtBreakpoint)
            breakpoints.append(program.breakAt(lineOf(c.source, "parent")));
        ASSERT_TRUE(start(program.target(), breakpoints));
        if (c.stopAtBreakpoint) {
            ASSERT_TRUE(nextStop());
        }
        ASSERT_TRUE(waitFor([this] { return output.contains("\n"); })) << output.constData();
        const QRegularExpressionMatch said =
            QRegularExpression(QStringLiteral("child (\\d+)")).match(QString::fromUtf8(output));
        ASSERT_TRUE(said.hasMatch()) << output.constData();
        const qint64 child = said.captured(1).toLongLong();
        const qint64 parent = session.programProcessId();
        const qint64 gdb = session.gdbProcessId();
        ASSERT_GT(parent, 0);
        EXPECT_TRUE(testsupport::processAlive(child));

        session.stop();
        EXPECT_EQ(session.state(), DebugSession::State::Ended);
        EXPECT_TRUE(testsupport::goneSoon(gdb));
        EXPECT_TRUE(testsupport::goneSoon(parent));
        EXPECT_TRUE(testsupport::goneSoon(child));
        EXPECT_FALSE(groupHasLiveMember(parent));
    }
}

TEST_F(DebugBadInputTest, LargeArrayAndNonUtf8StringInLocals)
{
    const QByteArray source = R"(#include <string.h>
int main(void)
{
    char big[1 << 20];
    char odd[] = "caf\xe9 \xff end";
    memset(big, 'a', sizeof big);
    big[10] = 0;
    return big[5] + odd[0]; /* here */
}
)";
    Program program(source);
    ASSERT_TRUE(program.built()) << program.errors().constData();
    ASSERT_TRUE(start(program.target(), {program.breakAt(lineOf(source, "here"))}));
    ASSERT_TRUE(nextStop()) << session.statusText().toStdString();

    struct Expected {
        const char* name;
        const char* type;
        QByteArray value; // gdb's bytes
    };
    const Expected expected[] = {
        {"big", "char [1048576]", "\"aaaaaaaaaa\\000\", 'a' <repeats 189 times>..."},
        {"odd", "char [11]", "\"caf\\351 \\377 end\""},
    };
    for (const Expected& e : expected) {
        SCOPED_TRACE(e.name);
        const DebugVariable* v = local(e.name);
        ASSERT_NE(v, nullptr);
        EXPECT_EQ(v->type, e.type);
        EXPECT_EQ(v->value, e.value);
        EXPECT_TRUE(v->expandable);
    }

    // Opened, the megabyte lists its first members and says there are more.
    bool more = false;
    QList<DebugVariableChild> members = children("big", &more);
    ASSERT_EQ(members.size(), DebugSession::kMaxChildren);
    EXPECT_TRUE(more);
    EXPECT_EQ(members.at(0).value, "97 'a'");
    EXPECT_EQ(members.at(10).value, "0 '\\000'");
    // A small array lists everything, with nothing more.
    members = children("odd", &more);
    ASSERT_EQ(members.size(), 11);
    EXPECT_FALSE(more);
    EXPECT_EQ(members.at(3).value, "-23 '\\351'");
}

} // namespace
