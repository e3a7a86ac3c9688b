// The debugging session on the host's real gcc and gdb: small C programs
// built with -g in a temporary folder, stopped, stepped, read and ended.
#include "DebugProgram.h"

#include "debugger/DebugSession.h"
#include "tools/ProcessTree.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QSignalSpy>

#include <algorithm>
#include <csignal>
#include <optional>

#include "support/ProcessWatch.h"
#include "support/TestSupport.h"

using debugtest::groupHasLiveMember;
using debugtest::lineOf;
using debugtest::Program;
using debugtest::waitFor;

namespace {

const QByteArray kSteps = R"(#include <stdio.h>

struct point { int x; int y; const char *label; };

int square(int n)
{
    int result = n * n; /* square body */
    return result;
}

int sum_squares(int count)
{
    int total = 0; /* sum start */
    for (int i = 1; i <= count; ++i)
        total += square(i); /* sum call */
    return total; /* sum end */
}

int main(void)
{
    struct point origin = {3, 4, "origin"}; /* main start */
    int values[3] = {10, 20, 30};
    int total = sum_squares(3); /* main call */
    printf("total %d\n", total); /* main print */

    return total > 10 ? 3 : 0; /* main end */
}
)";

using DebugSessionTest = debugtest::SessionTest;

TEST_F(DebugSessionTest, BreakpointLocalsStackStepsAndExitCode)
{
    Program program(kSteps);
    startOn(program, {program.breakAt(lineOf(kSteps, "sum start"))});
    ASSERT_TRUE(nextStop()) << session.statusText().toStdString();
    EXPECT_EQ(session.lastStop().kind, DebugStop::Kind::Breakpoint);
    EXPECT_EQ(session.lastStop().frame.function, "sum_squares");
    EXPECT_EQ(session.lastStop().frame.fullname, program.sourceBytes());
    EXPECT_EQ(session.statusText(),
              QStringLiteral("Stopped at prog.c:%1 (breakpoint 1)").arg(lineOf(kSteps, "sum start")));
    // The stack: sum_squares called from main's call line.
    ASSERT_EQ(session.frames().size(), 2);
    EXPECT_EQ(session.frames().at(0).function, "sum_squares");
    EXPECT_EQ(session.frames().at(1).function, "main");
    EXPECT_EQ(session.frames().at(1).line, lineOf(kSteps, "main call"));
    EXPECT_FALSE(session.moreFrames());
    // Locals: the argument with its value and type.
    const DebugVariable* count = local("count");
    ASSERT_NE(count, nullptr);
    EXPECT_EQ(count->value, "3");
    EXPECT_EQ(count->type, "int");
    EXPECT_TRUE(count->argument);
    ASSERT_NE(local("total"), nullptr);

    // A watch, evaluated at once and at each stop, marked when it changes.
    session.addWatch("total * 2");
    session.addWatch("no_such_name");
    ASSERT_TRUE(waitFor([this] { return session.watches().size() == 2 && session.watches().at(1).evaluated; }));
    EXPECT_TRUE(session.watches().at(1).error);
    EXPECT_TRUE(session.watches().at(1).value.contains("no_such_name"));

    // Step over: the next line of the same function.
    session.stepOver();
    ASSERT_TRUE(nextStop());
    EXPECT_EQ(session.lastStop().frame.line, lineOf(kSteps, "sum start") + 1);
    EXPECT_EQ(session.watches().at(0).value, "0");
    session.stepOver();
    ASSERT_TRUE(nextStop());
    EXPECT_EQ(session.lastStop().frame.line, lineOf(kSteps, "sum call"));
    // Step into square, whose argument is the loop's first i.
    session.stepInto();
    ASSERT_TRUE(nextStop());
    EXPECT_EQ(session.lastStop().frame.function, "square");
    EXPECT_EQ(session.lastStop().frame.line, lineOf(kSteps, "square body"));
    ASSERT_EQ(session.frames().size(), 3);
    ASSERT_NE(local("n"), nullptr);
    EXPECT_EQ(local("n")->value, "1");
    // Step out: back in sum_squares, on the call's line.
    session.stepOut();
    ASSERT_TRUE(nextStop());
    EXPECT_EQ(session.lastStop().frame.function, "sum_squares");
    EXPECT_EQ(session.lastStop().frame.line, lineOf(kSteps, "sum call"));
    // The rest of the line adds square's answer: total becomes 1, and the
    // watch on total * 2 shows the change.
    session.stepOver();
    ASSERT_TRUE(nextStop());
    EXPECT_EQ(local("total")->value, "1");
    EXPECT_EQ(session.watches().at(0).value, "2");
    EXPECT_TRUE(session.watches().at(0).changed);
    session.stepOver();
    ASSERT_TRUE(nextStop());
    EXPECT_EQ(session.watches().at(0).value, "2");
    EXPECT_FALSE(session.watches().at(0).changed);

    // Continue to the end: the program's output came through its terminal.
    session.continueRunning();
    ASSERT_TRUE(waitEnded());
    EXPECT_EQ(session.lastStop().kind, DebugStop::Kind::Exited);
    EXPECT_EQ(session.lastStop().exitCode, 3);
    EXPECT_EQ(endedWith, QStringLiteral("Program exited with code 3"));
    EXPECT_EQ(session.statusText(), QStringLiteral("Program exited with code 3"));
    EXPECT_EQ(output, "total 14\n");
    EXPECT_TRUE(testsupport::goneSoon(session.gdbProcessId()));
}

TEST_F(DebugSessionTest, SelectedFrameGivesItsLocalsAndAggregatesExpand)
{
    Program program(kSteps);
    startOn(program, {program.breakAt(lineOf(kSteps, "square body"))});
    ASSERT_TRUE(nextStop());
    ASSERT_EQ(session.frames().size(), 3);
    session.selectFrame(2);
    ASSERT_TRUE(waitFor([this] { return local("origin") != nullptr; }));
    EXPECT_EQ(session.selectedFrame(), 2);
    const DebugVariable* origin = local("origin");
    EXPECT_EQ(origin->type, "struct point");
    EXPECT_TRUE(origin->expandable);
    EXPECT_TRUE(origin->value.startsWith("{x = 3, y = 4, label = "));
    EXPECT_TRUE(local("values")->expandable);

    QList<DebugVariableChild> members = children("origin");
    ASSERT_EQ(members.size(), 3);
    EXPECT_EQ(members.at(0).expression, "x");
    EXPECT_EQ(members.at(0).value, "3");
    EXPECT_EQ(members.at(2).type, "const char *");
    EXPECT_TRUE(members.at(2).value.contains("\"origin\""));

    members = children("values");
    ASSERT_EQ(members.size(), 3);
    EXPECT_EQ(members.at(2).value, "30");

    // A step goes on from where the program stopped, not from main: Step
    // Out leaves square for sum_squares (gdb's own finish would leave the
    // frame it was told to select).
    session.stepOut();
    ASSERT_TRUE(nextStop()) << session.statusText().toStdString();
    EXPECT_EQ(session.lastStop().frame.function, "sum_squares");
    EXPECT_EQ(session.selectedFrame(), 0);
    EXPECT_NE(local("total"), nullptr);
}

// A caller chosen in Call Stack is forgotten at the next stop, whatever
// brought it (here Continue, which does not choose the innermost frame
// first): Locals shows the frame the program stopped in.
TEST_F(DebugSessionTest, ANewStopShowsTheInnermostFrame)
{
    Program program(kSteps);
    startOn(program, {program.breakAt(lineOf(kSteps, "square body"))});
    ASSERT_TRUE(nextStop());
    session.selectFrame(2);
    ASSERT_TRUE(waitFor([this] { return local("origin") != nullptr; }));
    session.continueRunning();
    ASSERT_TRUE(nextStop());
    EXPECT_EQ(session.lastStop().frame.function, "square");
    EXPECT_EQ(session.selectedFrame(), 0);
    const DebugVariable* n = local("n");
    ASSERT_NE(n, nullptr);
    EXPECT_EQ(n->value, "2");
    EXPECT_EQ(local("origin"), nullptr);
}

// The variable objects Locals opens live in gdb until Locals is drawn
// anew: another frame chosen, the next stop. Then gdb no longer knows them.
TEST_F(DebugSessionTest, VariableObjectsGoWhenLocalsNoLongerShowsThem)
{
    Program program(kSteps);
    startOn(program, {program.breakAt(lineOf(kSteps, "square body"))});
    ASSERT_TRUE(nextStop());
    auto knownToGdb = [this](const QByteArray& varName) {
        std::optional<bool> known;
        session.command("-var-info-num-children", {varName},
                        [&](const MiRecord& r) { known = r.isResult("done"); });
        EXPECT_TRUE(waitFor([&] { return known.has_value(); }));
        return known.value_or(true);
    };
    auto select = [this](int level) {
        session.selectFrame(level);
        return waitFor([this, level] { return session.selectedFrame() == level; });
    };
    // Both members opened in main's frame, then Locals is drawn anew.
    const std::pair<const char*, std::function<bool()>> ways[] = {
        {"another frame chosen", [&] { return select(1); }},
        {"a step", [this] { session.stepOver(); return nextStop(); }},
    };
    for (const auto& [how, leave] : ways) {
        SCOPED_TRACE(how);
        ASSERT_TRUE(select(2));
        ASSERT_EQ(children("origin").size(), 3);
        ASSERT_EQ(children("values").size(), 3);
        const QList<QByteArray> made = session.variableObjects();
        ASSERT_EQ(made.size(), 2);
        for (const QByteArray& name : made)
            EXPECT_TRUE(knownToGdb(name)) << name.constData();
        ASSERT_TRUE(leave());
        EXPECT_TRUE(session.variableObjects().isEmpty());
        for (const QByteArray& name : made)
            EXPECT_FALSE(knownToGdb(name)) << name.constData();
    }
}

TEST_F(DebugSessionTest, ProgramReadsWhatIsTypedOnItsTerminal)
{
    const QByteArray source = R"(#include <stdio.h>
#include <string.h>
int main(void)
{
    char line[100];
    printf("name? ");
    fflush(stdout);
    if (!fgets(line, sizeof line, stdin))
        return 9;
    line[strcspn(line, "\n")] = 0;
    printf("hello <%s>\n", line);
    return (int)strlen(line);
}
)";
    Program program(source);
    startOn(program, {});
    ASSERT_TRUE(waitFor([this] { return output.contains("name? "); }));
    EXPECT_EQ(session.state(), DebugSession::State::Running);
    session.sendInput("Tarn\n");
    ASSERT_TRUE(waitEnded());
    EXPECT_EQ(output, "name? hello <Tarn>\n");
    EXPECT_EQ(session.lastStop().exitCode, 4);
}

TEST_F(DebugSessionTest, CrashStopsWithTheSignalAndItsFrame)
{
    const QByteArray source = R"(#include <stddef.h>
struct node { struct node *next; int value; };
int walk(struct node *head, int depth)
{
    return head->value + depth; /* crash here */
}
int main(void)
{
    return walk(NULL, 0); /* crash call */
}
)";
    Program program(source, QStringLiteral("crash.c"));
    startOn(program, {});
    ASSERT_TRUE(nextStop());
    const DebugStop& stop = session.lastStop();
    EXPECT_EQ(stop.kind, DebugStop::Kind::Signal);
    EXPECT_EQ(stop.signalName, "SIGSEGV");
    EXPECT_EQ(session.statusText().toStdString(),
              QStringLiteral("Program received signal SIGSEGV, Segmentation fault, in walk at crash.c:%1")
                  .arg(lineOf(source, "crash here"))
                  .toStdString());
    ASSERT_EQ(session.frames().size(), 2);
    EXPECT_EQ(session.frames().at(1).line, lineOf(source, "crash call"));
    ASSERT_NE(local("head"), nullptr);
    EXPECT_EQ(local("head")->value, "0x0");
    // Going on lets the signal end it.
    session.continueRunning();
    ASSERT_TRUE(waitEnded());
    EXPECT_EQ(session.lastStop().kind, DebugStop::Kind::Killed);
    EXPECT_EQ(endedWith, QStringLiteral("Program terminated with signal SIGSEGV, Segmentation fault"));
}

const QByteArray kForever = R"(#include <stdio.h>
#include <unistd.h>
int main(void)
{
    volatile unsigned long spins = 0;
    if (fork() == 0) {
        for (;;)
            pause();
    }
    printf("running\n");
    fflush(stdout);
    for (;;)
        ++spins; /* spin */
}
)";

TEST_F(DebugSessionTest, BreakInterruptsAndStopLeavesNoProcess)
{
    Program program(kForever);
    startOn(program, {});
    ASSERT_TRUE(waitFor([this] { return output.contains("running"); }));
    const qint64 gdbPid = session.gdbProcessId();
    const qint64 programPid = session.programProcessId();
    ASSERT_GT(gdbPid, 0);
    ASSERT_GT(programPid, 0);
    EXPECT_TRUE(testsupport::processAlive(programPid));

    session.interrupt();
    ASSERT_TRUE(nextStop());
    EXPECT_TRUE(session.statusText().endsWith(QStringLiteral("(interrupted)")))
        << session.statusText().toStdString();
    session.continueRunning();
    ASSERT_TRUE(waitFor([this] { return session.state() == DebugSession::State::Running; }));

    session.stop();
    EXPECT_EQ(session.state(), DebugSession::State::Ended);
    EXPECT_EQ(endedWith, QStringLiteral("Debugging stopped"));
    EXPECT_TRUE(testsupport::goneSoon(gdbPid));
    EXPECT_TRUE(testsupport::goneSoon(programPid));
    // The forked child was in the program's group: gone with it.
    EXPECT_TRUE(waitFor([&] { return !groupHasLiveMember(programPid); }, 5000));
}

TEST_F(DebugSessionTest, GdbKilledFromOutsideEndsTheProgramToo)
{
    Program program(kForever);
    startOn(program, {});
    ASSERT_TRUE(waitFor([this] { return output.contains("running"); }));
    const qint64 programPid = session.programProcessId();
    ASSERT_EQ(::kill(pid_t(session.gdbProcessId()), SIGKILL), 0);
    ASSERT_TRUE(waitEnded());
    EXPECT_EQ(endedWith, QStringLiteral("gdb ended unexpectedly"));
    EXPECT_TRUE(testsupport::goneSoon(programPid));
}

TEST_F(DebugSessionTest, BreakpointsMovedRefusedToggledAndConditioned)
{
    Program program(kSteps);
    QList<std::tuple<QByteArray, int, int>> moved;
    QList<std::pair<int, QString>> refused;
    QObject::connect(&session, &DebugSession::breakpointMoved,
                     [&](const QByteArray& file, int requested, int line) { moved.append({file, requested, line}); });
    QObject::connect(&session, &DebugSession::breakpointProblem,
                     [&](const QByteArray&, int line, const QString& why) { refused.append({line, why}); });
    const int blank = lineOf(kSteps, "main print") + 1; // the empty line
    const BreakpointRequest elsewhere = BreakpointRequest::at("/nowhere/other.c", 3);
    BreakpointRequest conditioned = program.breakAt(lineOf(kSteps, "square body"));
    conditioned.condition = "n == 3";
    startOn(program, {program.breakAt(blank), elsewhere, conditioned});
    ASSERT_TRUE(nextStop());
    // The square breakpoint stops only for n == 3.
    EXPECT_EQ(session.lastStop().frame.function, "square");
    EXPECT_EQ(local("n")->value, "3");
    ASSERT_EQ(moved.size(), 1);
    EXPECT_EQ(std::get<1>(moved.at(0)), blank);
    EXPECT_EQ(std::get<2>(moved.at(0)), lineOf(kSteps, "main end"));
    ASSERT_EQ(refused.size(), 1);
    EXPECT_EQ(refused.at(0).first, 3);
    EXPECT_TRUE(refused.at(0).second.contains(QStringLiteral("other.c"))) << refused.at(0).second.toStdString();
    ASSERT_EQ(session.breakpoints().size(), 2);
    EXPECT_EQ(session.breakpoints().at(1).condition, "n == 3");
    EXPECT_EQ(session.breakpointAt(program.sourceBytes(), lineOf(kSteps, "main end")),
              session.breakpoints().at(0).number);

    // Disabled, the moved breakpoint is passed; a new one takes its place
    // at the print, then goes again.
    session.setBreakpointEnabled(session.breakpoints().at(0).number, false);
    session.insertBreakpoint(program.breakAt(lineOf(kSteps, "main print")));
    ASSERT_TRUE(waitFor([this] { return session.breakpoints().size() == 3 && !session.breakpoints().at(0).enabled; }));
    session.continueRunning();
    ASSERT_TRUE(nextStop());
    EXPECT_EQ(session.lastStop().frame.line, lineOf(kSteps, "main print"));
    session.deleteBreakpoint(session.lastStop().breakpoint);
    ASSERT_TRUE(waitFor([this] { return session.breakpoints().size() == 2; }));
    session.continueRunning();
    ASSERT_TRUE(waitEnded());
    EXPECT_EQ(session.lastStop().exitCode, 3);
}

TEST_F(DebugSessionTest, RunToLineAndTheConsole)
{
    Program program(kSteps);
    startOn(program, {program.breakAt(lineOf(kSteps, "main start"))});
    ASSERT_TRUE(nextStop());
    session.runToLine(program.sourceBytes(), lineOf(kSteps, "sum end"));
    ASSERT_TRUE(nextStop());
    EXPECT_EQ(session.lastStop().frame.line, lineOf(kSteps, "sum end"));
    EXPECT_EQ(local("total")->value, "14");
    // The temporary breakpoint is gone once reached.
    ASSERT_TRUE(waitFor([this] { return session.breakpoints().size() == 1; }));

    QByteArray console;
    QObject::connect(&session, &DebugSession::consoleOutput, [&](const QByteArray& b) { console += b; });
    session.consoleCommand("print total + 100");
    ASSERT_TRUE(waitFor([&] { return console.contains("= 114"); })) << console.constData();
    EXPECT_TRUE(console.startsWith("(gdb) print total + 100\n"));
    session.consoleCommand("frobnicate");
    ASSERT_TRUE(waitFor([&] { return console.contains("Undefined command: \\\"frobnicate\\\"") ||
                                     console.contains("Undefined command: \"frobnicate\""); }))
        << console.constData();
    EXPECT_TRUE(session.consoleText().endsWith(console.right(20)));
}

TEST_F(DebugSessionTest, ProgramWithoutDebugInformationStillRuns)
{
    Program program(kSteps, QStringLiteral("prog.c"), {QStringLiteral("-O0")});
    startOn(program, {program.breakAt(lineOf(kSteps, "sum start"))});
    ASSERT_TRUE(waitEnded());
    EXPECT_FALSE(session.programHasDebugInfo());
    EXPECT_EQ(session.lastStop().exitCode, 3);
    // Program Output says why no breakpoint holds, before the program's own.
    EXPECT_EQ(output, "prog.exe has no debugging information: build it with Debug info (-g)\n"
                      "total 14\n");
}

TEST_F(DebugSessionTest, ProgramArgumentsKeepBlanksAndQuotes)
{
    const QByteArray source = R"(#include <stdio.h>
int main(int argc, char **argv)
{
    for (int i = 1; i < argc; ++i)
        printf("[%s]", argv[i]);
    printf("\n");
    return argc;
}
)";
    Program program(source);
    ASSERT_TRUE(program.built());
    DebugTarget target = program.target();
    target.arguments = {QStringLiteral("two words"), QStringLiteral("it's"), QStringLiteral("$HOME"),
                        QStringLiteral("*")};
    QString error;
    ASSERT_TRUE(session.start(target, {}, &error)) << error.toStdString();
    ASSERT_TRUE(waitEnded());
    EXPECT_EQ(output, "[two words][it's][$HOME][*]\n");
    EXPECT_EQ(session.lastStop().exitCode, 5);
}

// gdb runs with its messages in the C locale, as every tool Tarn reads; the
// program it runs is the user's and sees the user's locale variables as
// they were, LC_ALL and LANGUAGE included, the unset ones unset.
TEST_F(DebugSessionTest, TheProgramKeepsTheUsersLocaleWhileGdbSpeaksC)
{
    const QByteArray source = R"(#include <stdio.h>
#include <stdlib.h>
int main(void)
{
    const char *names[] = {"LANG", "LANGUAGE", "LC_ALL", "LC_CTYPE", "LC_MESSAGES", "LC_TIME", 0}; /* start */
    for (int i = 0; names[i]; ++i) {
        const char *value = getenv(names[i]);
        printf("%s%s%s\n", names[i], value ? "=" : " unset", value ? value : "");
    }
    return 0;
}
)";
    testsupport::SavedVariables saved({"LANG", "LANGUAGE", "LC_ALL", "LC_CTYPE", "LC_MESSAGES", "LC_TIME"});
    qputenv("LANG", "C.UTF-8");
    qputenv("LANGUAGE", "de:fr");
    qputenv("LC_ALL", "de_DE.UTF-8");
    qputenv("LC_CTYPE", "C.UTF-8");
    qunsetenv("LC_MESSAGES");
    qunsetenv("LC_TIME");
    Program program(source);
    startOn(program, {program.breakAt(lineOf(source, "start"))});
    ASSERT_TRUE(nextStop()) << session.statusText().toStdString();
    QFile gdbEnvironment(QStringLiteral("/proc/%1/environ").arg(session.gdbProcessId()));
    ASSERT_TRUE(gdbEnvironment.open(QIODevice::ReadOnly));
    QList<QByteArray> gdbLocale;
    for (const QByteArray& variable : gdbEnvironment.readAll().split('\0')) {
        if (variable.startsWith("LC_CTYPE=") || variable.startsWith("LC_MESSAGES=") ||
            variable.startsWith("LC_TIME=") || variable.startsWith("LC_ALL=") ||
            variable.startsWith("LANG"))
            gdbLocale << variable;
    }
    std::sort(gdbLocale.begin(), gdbLocale.end());
    EXPECT_EQ(gdbLocale, (QList<QByteArray>{"LANG=C.UTF-8", "LC_CTYPE=de_DE.UTF-8",
                                            "LC_MESSAGES=C", "LC_TIME=de_DE.UTF-8"}));
    session.continueRunning();
    ASSERT_TRUE(waitEnded());
    EXPECT_EQ(output, "LANG=C.UTF-8\nLANGUAGE=de:fr\nLC_ALL=de_DE.UTF-8\nLC_CTYPE=C.UTF-8\n"
                      "LC_MESSAGES unset\nLC_TIME unset\n");
    EXPECT_EQ(session.lastStop().exitCode, 0);
}

TEST(DebugSessionStart, MissingGdbOrProgramIsReported)
{
    DebugSession session;
    QString error;
    EXPECT_FALSE(session.start(DebugTarget{QStringLiteral("/nonexistent/gdb"), QStringLiteral("/bin/true"), {}, {}},
                               {}, &error));
    EXPECT_EQ(error, QStringLiteral("gdb cannot be started: /nonexistent/gdb: no such file"));
    EXPECT_EQ(session.state(), DebugSession::State::Idle);
    if (debugtest::gdbPath().isEmpty())
        return;
    QString why;
    QObject::connect(&session, &DebugSession::ended, [&](const QString& text) { why = text; });
    ASSERT_TRUE(session.start(DebugTarget{debugtest::gdbPath(), QStringLiteral("/nonexistent/prog.exe"), {}, {}},
                              {}, &error));
    ASSERT_TRUE(waitFor([&] { return session.state() == DebugSession::State::Ended; }));
    EXPECT_TRUE(why.contains(QStringLiteral("/nonexistent/prog.exe"))) << why.toStdString();
    EXPECT_TRUE(testsupport::goneSoon(session.gdbProcessId()));
}

// A gdb that cannot be started is found by the worker, after start() has
// returned: the session ends, and says why.
TEST(DebugSessionStart, AGdbThatFailsToStartEndsTheSessionWithTheReason)
{
    QTemporaryDir dir;
    const QString gdb = debugtest::standIn(dir, "#!/nonexistent/interpreter\n");
    DebugSession session;
    QString why;
    QObject::connect(&session, &DebugSession::ended, [&](const QString& text) { why = text; });
    QString error;
    ASSERT_TRUE(session.start(DebugTarget{gdb, QStringLiteral("/bin/true"), {}, {}}, {}, &error))
        << error.toStdString();
    ASSERT_TRUE(waitFor([&] { return session.state() == DebugSession::State::Ended; }));
    EXPECT_TRUE(why.startsWith(QStringLiteral("gdb cannot be started: %1: ").arg(gdb)))
        << why.toStdString();
    EXPECT_EQ(session.gdbProcessId(), 0);
}

// A gdb gone wild: console records far over every limit, many large ones,
// then a line that never ends. The console transcript keeps its bound and
// says what was cut; Stop Debugging answers at once and the worker lets go
// of everything.
TEST(DebugSessionStart, RunawayGdbOutputIsBoundedAndStopAnswers)
{
    QTemporaryDir dir;
    const QString gdb = debugtest::standIn(dir, R"(#!/bin/sh
printf '~"'; head -c 33554432 /dev/zero | tr '\0' a; printf '"\n'
i=0
while [ $i -lt 80 ]; do
  printf '~"'; head -c 200000 /dev/zero | tr '\0' b; printf '\\n"\n'
  i=$((i + 1))
done
printf '~"'; head -c 20000000 /dev/zero | tr '\0' c; printf '"\n'
printf '%s\n' '~"the end is near\n"'
yes | tr -d '\n'
)");
    DebugSession session;
    qint64 shown = 0;
    qsizetype largestShown = 0;
    QObject::connect(&session, &DebugSession::consoleOutput, [&](const QByteArray& bytes) {
        shown += bytes.size();
        largestShown = std::max(largestShown, bytes.size());
    });
    QString error;
    ASSERT_TRUE(session.start(DebugTarget{gdb, QStringLiteral("/bin/true"), {}, {}}, {}, &error));
    ASSERT_TRUE(waitFor([&] { return session.consoleText().contains("the end is near"); }, 120000));
    const QByteArray& console = session.consoleText();
    EXPECT_LE(console.size(), DebugSession::kConsoleBytes);
    EXPECT_LE(largestShown, DebugSession::kConsoleRecordBytes + 64);
    EXPECT_LT(shown, 80 * (DebugSession::kConsoleRecordBytes + 64) + 4096);
    // The first cut record went with the oldest text; the last is there.
    EXPECT_TRUE(console.contains("[gdb's record of 20000003 bytes cut]\n"));
    EXPECT_TRUE(console.contains("[134465 more bytes not shown]\n"));
    EXPECT_FALSE(console.contains("aaaa"));
    const qint64 pid = session.gdbProcessId();
    ASSERT_GT(pid, 0);
    session.stop();
    EXPECT_EQ(session.state(), DebugSession::State::Ended);
    EXPECT_TRUE(testsupport::goneSoon(pid));
    EXPECT_TRUE(waitFor([&] { return session.endingGdbs() == 0; }));
}

} // namespace

// A program whose child leaves the session (setsid) and forks a grandchild
// that ignores SIGTERM. The argument says what happens next: "stay" (all
// three keep running), "child-ends" (the child ends: the grandchild has
// lost its parent) or "program-ends" (the program returns: its child has
// lost its parent). Each process prints its pid once it is set up.
const QByteArray kLeavesItsSession = R"(#include <signal.h>
#include <stdio.h>
#include <string.h>
#include <unistd.h>
int main(int argc, char **argv)
{
    const char *how = argc > 1 ? argv[1] : "stay";
    int ready[2];
    if (pipe(ready) != 0)
        return 2;
    pid_t child = fork();
    if (child == 0) {
        setsid();
        pid_t grandchild = fork();
        if (grandchild == 0) {
            signal(SIGTERM, SIG_IGN);
            for (;;)
                pause();
        }
        printf("grandchild %d\n", (int)grandchild);
        printf("child %d\n", (int)getpid());
        fflush(stdout);
        if (write(ready[1], "x", 1) != 1 || strcmp(how, "child-ends") == 0)
            _exit(0);
        for (;;)
            pause();
    }
    char byte;
    if (read(ready[0], &byte, 1) != 1)
        return 2;
    printf("set up\n");
    fflush(stdout);
    if (strcmp(how, "program-ends") == 0)
        return 0;
    for (;;)
        pause();
}
)";

// What the program left, by the pids it printed.
static qint64 printedPid(const QByteArray& output, const QByteArray& name)
{
    for (const QByteArray& line : output.split('\n')) {
        if (line.startsWith(name + ' '))
            return line.mid(name.size() + 1).trimmed().toLongLong();
    }
    return 0;
}

// Stop Debugging, or the program's own end, leaves none of its processes,
// not even one that left the program's session and lost its parent.
TEST_F(DebugSessionTest, NoProcessOfTheProgramOutlivesTheSession)
{
    // As Tarn is: what loses its parent comes to Tarn, not to the system.
    BecomeSubreaper();
    Program program(kLeavesItsSession);
    ASSERT_TRUE(program.built()) << program.errors().constData();
    for (const char* how : {"stay", "child-ends", "program-ends"}) {
        SCOPED_TRACE(how);
        output.clear();
        endedWith.clear();
        DebugTarget target = program.target();
        target.arguments = {QString::fromLatin1(how)};
        QString error;
        ASSERT_TRUE(session.start(target, {}, &error)) << error.toStdString();
        ASSERT_TRUE(waitFor([this] { return output.contains("set up"); })) << output.constData();
        const qint64 child = printedPid(output, "child");
        const qint64 grandchild = printedPid(output, "grandchild");
        ASSERT_GT(child, 0);
        ASSERT_GT(grandchild, 0);
        if (QByteArray(how) == "program-ends") {
            ASSERT_TRUE(waitEnded());
        } else {
            EXPECT_TRUE(testsupport::processAlive(grandchild));
            session.stop();
            EXPECT_EQ(endedWith, QStringLiteral("Debugging stopped"));
        }
        EXPECT_TRUE(testsupport::goneSoon(child));
        EXPECT_TRUE(testsupport::goneSoon(grandchild));
        // Ended and reaped: none stays behind as a zombie of Tarn's.
        EXPECT_TRUE(waitFor([&] { return !QFile::exists(QStringLiteral("/proc/%1").arg(grandchild)); }, 5000));
        for (qint64 pid : {child, grandchild}) {
            if (testsupport::processAlive(pid))
                ::kill(pid_t(pid), SIGKILL);
        }
    }
}
