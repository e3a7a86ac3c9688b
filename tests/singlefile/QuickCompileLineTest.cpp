#include "singlefile/QuickCompileLine.h"
#include "tools/CompileOptions.h"

#include <gtest/gtest.h>

TEST(QuickCompileLine, ComposesGccSourceDashCAndTheOptions)
{
    CompileOptions none;
    CompileOptions debug;
    debug.debugInfo = 1;
    CompileOptions several;
    several.debugInfo = 1;
    several.optimizeLevel = 2;
    several.warningLevel = 2;
    several.otherOptions = QStringLiteral("-DX=1");
    struct Row {
        const char* name;
        QString source;
        CompileOptions options;
        QString expected;
    };
    const Row rows[] = {
        {"no options ends in -c and a blank", "/src/a.c", none, "/usr/bin/gcc /src/a.c -c "},
        {"debug info", "/src/a.c", debug, "/usr/bin/gcc /src/a.c -c -g "},
        {"source order", "/src/a.c", several, "/usr/bin/gcc /src/a.c -c -g -O2 -DX=1 -Wall "},
        {"blanks are not quoted", "/my src/a b.c", none, "/usr/bin/gcc /my src/a b.c -c "},
    };
    for (const Row& row : rows)
        EXPECT_EQ(QuickCompileCommandLine(QStringLiteral("/usr/bin/gcc"), row.source, row.options),
                  row.expected)
            << row.name;
}
