// Reading the debugger's state from gdb's records: lines as the host's gdb
// 13 writes them (see transcripts/), read into frames, breakpoints,
// variables and stops, and the status-bar line each stop gives.
#include "debugger/DebugState.h"
#include "debugger/MiParser.h"

#include <gtest/gtest.h>

namespace {

MiValue resultsOf(const char* line)
{
    const MiRecord record = ParseMiLine(line);
    EXPECT_NE(record.type, MiRecordType::Malformed) << line << ": " << record.error.constData();
    return record.results;
}

struct StopCase {
    const char* line;
    DebugStop::Kind kind;
    bool interrupted;
    const char* status;
};

TEST(DebugState, StopsReadAndDescribed)
{
    const StopCase cases[] = {
        {R"(*stopped,reason="breakpoint-hit",disp="keep",bkptno="2",frame={addr="0x000055555555519f",func="main",args=[],file="steps.c",fullname="/tmp/mirec/steps.c",line="26",arch="i386:x86-64"},thread-id="1",stopped-threads="all",core="0")",
         DebugStop::Kind::Breakpoint, false, "Stopped at steps.c:26 (breakpoint 2)"},
        // Run to Cursor's temporary breakpoint was never the user's.
        {R"(*stopped,reason="breakpoint-hit",disp="del",bkptno="3",frame={addr="0x000055555555519f",func="main",args=[],file="steps.c",fullname="/tmp/mirec/steps.c",line="29",arch="i386:x86-64"},thread-id="1",stopped-threads="all",core="0")",
         DebugStop::Kind::Breakpoint, false, "Stopped at steps.c:29"},
        {R"(*stopped,reason="end-stepping-range",frame={addr="0x00005555555551b8",func="main",args=[],file="steps.c",fullname="/tmp/mirec/steps.c",line="27",arch="i386:x86-64"},thread-id="1")",
         DebugStop::Kind::Step, false, "Stopped at steps.c:27"},
        {R"(*stopped,reason="function-finished",frame={addr="0x1",func="main",args=[],file="steps.c",fullname="/tmp/mirec/steps.c",line="31"},gdb-result-var="$1",return-value="14")",
         DebugStop::Kind::Step, false, "Stopped at steps.c:31"},
        {R"(*stopped,reason="signal-received",signal-name="SIGSEGV",signal-meaning="Segmentation fault",frame={addr="0x0000555555555151",func="walk",args=[],file="/home/me/crash.c",fullname="/tmp/mirec/crash.c",line="12"},thread-id="1")",
         DebugStop::Kind::Signal, false,
         "Program received signal SIGSEGV, Segmentation fault, in walk at crash.c:12"},
        // Break: gdb stops the program with SIGINT, often outside the source.
        {R"(*stopped,reason="signal-received",signal-name="SIGINT",signal-meaning="Interrupt",frame={addr="0x00007ffff7e9a1b4",func="__GI___clock_nanosleep",args=[]},thread-id="1")",
         DebugStop::Kind::Signal, true, "Stopped at __GI___clock_nanosleep (interrupted)"},
        {R"(*stopped,reason="signal-received",signal-name="SIGINT",signal-meaning="Interrupt",frame={addr="0x00007ffff7e9a1b4",func="f",args=[],file="a b.c",fullname="/t/a b.c",line="4"})",
         DebugStop::Kind::Signal, false, "Program received signal SIGINT, Interrupt, in f at a b.c:4"},
        // The exit code comes in octal.
        {R"(*stopped,reason="exited",exit-code="03")", DebugStop::Kind::Exited, false,
         "Program exited with code 3"},
        {R"(*stopped,reason="exited",exit-code="0377")", DebugStop::Kind::Exited, false,
         "Program exited with code 255"},
        {R"(*stopped,reason="exited-normally")", DebugStop::Kind::Exited, false,
         "Program exited with code 0"},
        {R"(*stopped,reason="exited-signalled",signal-name="SIGSEGV",signal-meaning="Segmentation fault")",
         DebugStop::Kind::Killed, false, "Program terminated with signal SIGSEGV, Segmentation fault"},
        {R"(*stopped,reason="watchpoint-trigger",wpt={number="2",exp="total"},value={old="0",new="1"},frame={func="f",file="w.c",fullname="/w.c",line="9"})",
         DebugStop::Kind::Watchpoint, false, "Stopped at w.c:9 (watchpoint)"},
    };
    for (const StopCase& c : cases) {
        const DebugStop stop = ReadMiStop(resultsOf(c.line));
        EXPECT_EQ(stop.kind, c.kind) << c.line;
        EXPECT_EQ(DescribeStop(stop, c.interrupted), QString::fromUtf8(c.status)) << c.line;
        EXPECT_EQ(stop.programEnded(),
                  c.kind == DebugStop::Kind::Exited || c.kind == DebugStop::Kind::Killed);
    }
}

TEST(DebugState, FrameKeepsBytesOfNamesThatAreNotUtf8)
{
    const DebugFrame frame = ReadMiFrame(resultsOf(
        R"(^done,frame={level="1",addr="0x5555",func="main",file="caf\351.c",fullname="/tmp/mirec/caf\351.c",line="9"})")["frame"]);
    EXPECT_EQ(frame.level, 1);
    EXPECT_EQ(frame.fullname, QByteArray("/tmp/mirec/caf\xe9.c"));
    EXPECT_EQ(frame.line, 9);
    EXPECT_TRUE(frame.hasSource());
    const DebugFrame noSource = ReadMiFrame(resultsOf(R"(^done,frame={level="0",addr="0x7fff",func="raise"})")["frame"]);
    EXPECT_FALSE(noSource.hasSource());
    EXPECT_EQ(DescribeFrame(noSource, true), QStringLiteral("raise"));
}

TEST(DebugState, BreakpointsWithOneAndWithSeveralLocations)
{
    const DebugBreakpoint one = ReadMiBreakpoint(resultsOf(
        R"(^done,bkpt={number="1",type="breakpoint",disp="keep",enabled="y",addr="0x1150",func="square",file="steps.c",fullname="/tmp/mirec/steps.c",line="12",thread-groups=["i1"],cond="n > 2",times="4",original-location="steps.c:11"})")["bkpt"]);
    EXPECT_EQ(one.number, 1);
    EXPECT_EQ(one.line, 12);
    EXPECT_EQ(one.fullname, "/tmp/mirec/steps.c");
    EXPECT_EQ(one.condition, "n > 2");
    EXPECT_EQ(one.hits, 4);
    EXPECT_TRUE(one.enabled);
    EXPECT_FALSE(one.temporary);
    EXPECT_EQ(one.originalLocation, "steps.c:11");

    const DebugBreakpoint several = ReadMiBreakpoint(resultsOf(
        R"(=breakpoint-created,bkpt={number="3",type="breakpoint",disp="del",enabled="n",addr="<MULTIPLE>",times="0",original-location="t.h:5",locations=[{number="3.1",enabled="y",addr="0x1",func="f<int>",file="t.h",fullname="/s/t.h",line="5"},{number="3.2",enabled="y",addr="0x2",func="f<char>",file="t.h",fullname="/s/t.h",line="5"}]})")["bkpt"]);
    EXPECT_EQ(several.number, 3);
    EXPECT_EQ(several.fullname, "/s/t.h");
    EXPECT_EQ(several.line, 5);
    EXPECT_FALSE(several.enabled);
    EXPECT_TRUE(several.temporary);
}

TEST(DebugState, VariablesJoinValuesAndTypes)
{
    const MiValue all = resultsOf(
        R"(^done,variables=[{name="count",arg="1",value="3"},{name="origin",value="{x = 3, y = 4}"},{name="next",value="0x5555"},{name="label",value="0x4 \"a\""},{name="bytes",value="\"a\\351\""}])")["variables"];
    const MiValue simple = resultsOf(
        R"(^done,variables=[{name="count",arg="1",type="int",value="3"},{name="origin",type="struct point"},{name="next",type="struct node *",value="0x5555"},{name="label",type="const char *",value="0x4 \"a\""},{name="bytes",type="char [2]"}])")["variables"];
    const QList<DebugVariable> variables = ReadMiVariables(all, simple);
    ASSERT_EQ(variables.size(), 5);
    const DebugVariable expected[] = {
        {"count", "int", "3", true, false},
        {"origin", "struct point", "{x = 3, y = 4}", false, true},
        {"next", "struct node *", "0x5555", false, true},
        {"label", "const char *", "0x4 \"a\"", false, false},
        {"bytes", "char [2]", "\"a\\351\"", false, true},
    };
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(variables.at(i), expected[i]) << i;

    // Lists that do not agree (answers for different frames) keep the values.
    const QList<DebugVariable> mismatched = ReadMiVariables(all, resultsOf(R"(^done,variables=[{name="other",type="int",value="1"}])")["variables"]);
    ASSERT_EQ(mismatched.size(), 5);
    EXPECT_EQ(mismatched.at(0).value, "3");
    EXPECT_TRUE(mismatched.at(0).type.isEmpty());
}

TEST(DebugState, ChildrenOfAVariableObject)
{
    const QList<DebugVariableChild> children = ReadMiChildren(resultsOf(
        R"(^done,numchild="3",children=[child={name="var1.x",exp="x",numchild="0",value="3",type="int",thread-id="1"},child={name="var1.label",exp="label",numchild="1",value="0x5555 \"origin\"",type="const char *",thread-id="1"},child={name="var1.next",exp="next",numchild="2",value="0x0",type="struct point *"}],has_more="0")"));
    ASSERT_EQ(children.size(), 3);
    EXPECT_EQ(children.at(0).varName, "var1.x");
    EXPECT_EQ(children.at(0).childCount, 0);
    // A string pointer shows its text and is not opened further.
    EXPECT_EQ(children.at(1).childCount, 0);
    EXPECT_EQ(children.at(2).childCount, 2);
    EXPECT_EQ(children.at(2).type, "struct point *");
}

} // namespace
