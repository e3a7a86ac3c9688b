#include "tools/BuildVerdict.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

ChildResult ended(ChildResult::End end, int exitCode = 0)
{
    ChildResult result;
    result.end = end;
    result.exitCode = exitCode;
    return result;
}

// The verdict line from the runs of a build and the rows of their output.
TEST(BuildVerdict, TextsFromRunsAndCountedRows)
{
    using End = ChildResult::End;
    using Tool = BuildVerdict::Tool;
    struct Run {
        Tool tool;
        QString program;
        ChildResult result;
    };
    struct Case {
        const char* name;
        QByteArray rows;
        std::vector<Run> runs;
        QString expected;
    };
    const QByteArray mixed = "a.c: In function 'main':\n"
                             "a.c:3:5: error: 'x' undeclared\n"
                             "a.c:3:5: note: each undeclared identifier\n"
                             "a.c:4:1: warning: unused [-Wunused]\r\n"
                             "a.c:5:1: fatal error: y.h: No such file\n"
                             "a.c:6:1: warning: says error: here\n"
                             "error: no colon group, not a diagnostic row\n"
                             "b.c:9: error: last row without a line feed";
    const Run gccOk{Tool::Gcc, "/usr/bin/gcc", ended(End::Finished)};
    const Run gccFailed{Tool::Gcc, "/usr/bin/gcc", ended(End::Finished, 1)};
    const std::vector<Case> cases{
        {"clean", "", {gccOk}, "Build succeeded"},
        {"warnings only", "a.c:1:1: warning: w\na.c:2:1: warning: w\n", {gccOk}, "Build succeeded: 2 warnings"},
        {"errors counted", mixed, {gccFailed}, "Build failed: 3 errors, 2 warnings"},
        {"one error", "a.c:1:1: error: e\n", {gccFailed}, "Build failed: 1 error"},
        {"status without rows", "collect2: error: ld returned 1 exit status\n", {gccFailed},
         "Build failed (gcc exit status 1)"},
        {"make status", "", {{Tool::Make, "/usr/bin/make", ended(End::Finished, 2)}}, "make failed (exit status 2)"},
        {"make status and rows", "a.c:1:1: error: e\n", {{Tool::Make, "make", ended(End::Finished, 2)}},
         "make failed (exit status 2): 1 error"},
        {"not started", "", {{Tool::Gcc, "/opt/x/cc", ended(End::NotStarted, -1)}},
         "Build failed: could not start cc"},
        {"first failure decides", "", {gccOk, {Tool::Gcc, "", ended(End::Crashed)}, gccFailed},
         "Build failed: gcc crashed"},
        {"stopped", "", {{Tool::Make, "make", ended(End::Cancelled)}}, "Build stopped"},
    };
    for (const Case& c : cases) {
        BuildVerdict verdict;
        verdict.countRows(c.rows, true);
        for (const Run& run : c.runs)
            verdict.addRun(run.tool, run.program, run.result);
        EXPECT_EQ(verdict.text().toStdString(), c.expected.toStdString()) << c.name;
        // The same runs counted in parts (compiles side by side), each run
        // and the rows a part of its own, taken in in order.
        BuildVerdict whole;
        BuildVerdict rows;
        rows.countRows(c.rows, true);
        whole.add(rows);
        for (const Run& run : c.runs) {
            BuildVerdict part;
            part.addRun(run.tool, run.program, run.result);
            whole.add(part);
        }
        EXPECT_EQ(whole.text().toStdString(), c.expected.toStdString()) << c.name;
    }
    // Ends outside the runs; a tool's failure before them still decides.
    BuildVerdict stopped, incomplete, both;
    stopped.setStopped();
    incomplete.countRows("a.c:1:1: warning: w\n", true);
    incomplete.setIncomplete();
    both.addRun(Tool::Gcc, "gcc", ended(End::NotStarted));
    both.setStopped();
    EXPECT_EQ(stopped.text(), "Build stopped");
    EXPECT_EQ(incomplete.text(), "Build failed: 0 errors, 1 warning");
    EXPECT_EQ(both.text(), "Build failed: could not start gcc");
    BuildVerdict taken;
    taken.add(incomplete);
    taken.add(both);
    EXPECT_EQ(taken.text(), "Build failed: 0 errors, 1 warning");
}

} // namespace
