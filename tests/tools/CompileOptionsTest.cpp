#include "tools/CompileOptions.h"
#include "singlefile/SingleFileCommands.h"
#include "tools/Invocation.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

CompileOptions with(void (*set)(CompileOptions&))
{
    CompileOptions options;
    set(options);
    return options;
}

// Each option alone, and values no control can give: the flags are the same
// in source order (Quick Compile, Build Source) and project order.
TEST(CompileOptions, EachFragmentInBothOrders)
{
    const std::pair<CompileOptions, const char*> cases[] = {
        {{}, ""},
        {with([](CompileOptions& o) { o.debugInfo = 1; }), "-g "},
        {with([](CompileOptions& o) { o.ansi = 1; }), "-ansi "},
        {with([](CompileOptions& o) { o.noAsm = 1; }), "-fno-asm "},
        {with([](CompileOptions& o) { o.traditional = 1; }), "-traditional "},
        {with([](CompileOptions& o) { o.optimizeLevel = 1; }), "-O1 "},
        {with([](CompileOptions& o) { o.optimizeLevel = 2; }), "-O2 "},
        {with([](CompileOptions& o) { o.optimizeLevel = 3; }), "-O3 "},
        {with([](CompileOptions& o) { o.otherOptions = "-DX"; }), "-DX "},
        {with([](CompileOptions& o) { o.preprocessOnly = 1; }), "-E "},
        {with([](CompileOptions& o) { o.noAssemble = 1; }), "-S "},
        {with([](CompileOptions& o) { o.language = 1; }), "-x c "},
        {with([](CompileOptions& o) { o.language = 2; }), "-x objective-c "},
        {with([](CompileOptions& o) { o.language = 3; }), "-x c++ "},
        {with([](CompileOptions& o) { o.language = 4; }), "-x c-header "},
        {with([](CompileOptions& o) { o.language = 5; }), "-x cpp-output "},
        {with([](CompileOptions& o) { o.language = 6; }), "-x c++-cpp-output "},
        {with([](CompileOptions& o) { o.language = 7; }), "-x assembler "},
        {with([](CompileOptions& o) { o.language = 8; }), "-x assembler-with-cpp "}, // no button
        {with([](CompileOptions& o) { o.warningLevel = 1; }), "-w "},
        {with([](CompileOptions& o) { o.warningLevel = 2; }), "-Wall "},
        {with([](CompileOptions& o) { o.warningLevel = 3; }), "-W "},
        {with([](CompileOptions& o) { o.warningLevel = 4; }), "-Werror "},
        {with([](CompileOptions& o) { o.debugInfo = 1, o.optimizeLevel = 3; }), "-g -O3 "},
        {with([](CompileOptions& o) { o.otherOptions = " "; }), "  "},
        {with([](CompileOptions& o) { o.otherOptions = "  -DA  "; }), "  -DA   "},
        // Flags other than 1 and levels out of range add nothing.
        {with([](CompileOptions& o) { o = {2, -1, 7, 4, "", 2, -1, 9, 9, 5}; }), ""},
        {with([](CompileOptions& o) { o.optimizeLevel = o.language = o.warningLevel = -1; }), ""},
        {with([](CompileOptions& o) { o.optimizeLevel = INT32_MIN, o.language = INT32_MAX, o.warningLevel = 1000; }), ""},
    };
    for (const auto& [options, flags] : cases) {
        EXPECT_EQ(QuickCompileCommand(QStringLiteral("gcc"), QStringLiteral("x.c"), options).line(),
                  QStringLiteral("gcc x.c -c ") + QString::fromLatin1(flags));
        EXPECT_EQ(BuildProjectCompileCommand(QStringLiteral("gcc"), QStringLiteral("x.c"), options).line(),
                  QStringLiteral("gcc -c x.c ") + QString::fromLatin1(flags));
    }
    // Together, the two orders differ; the other options are split as a
    // shell would, the path stays whole.
    const CompileOptions all{1, 1, 1, 3, "-DX='a b'  -DY", 1, 1, 1, 3, 4};
    const ToolCommand quick = QuickCompileCommand("gcc", "my x.c", all);
    EXPECT_EQ(
        quick.line(),
        "gcc my x.c -c -g -ansi -fno-asm -traditional -O3 -DX='a b'  -DY -S -E -x c++ -Werror ");
    EXPECT_EQ(quick.arguments(),
              QStringList({"my x.c", "-c", "-g", "-ansi", "-fno-asm", "-traditional", "-O3",
                           "-DX=a b", "-DY", "-S", "-E", "-x", "c++", "-Werror"}));
    const ToolCommand project = BuildProjectCompileCommand("gcc", "my x.c", all);
    EXPECT_EQ(
        project.line(),
        "gcc -c my x.c -g -ansi -fno-asm -traditional -S -E -O3 -x c++ -Werror -DX='a b'  -DY ");
    EXPECT_EQ(project.arguments(),
              QStringList({"-c", "my x.c", "-g", "-ansi", "-fno-asm", "-traditional", "-S", "-E",
                           "-O3", "-x", "c++", "-Werror", "-DX=a b", "-DY"}));
}

} // namespace
