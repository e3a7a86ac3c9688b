#include "tools/CompileOptions.h"

#include <gtest/gtest.h>

namespace {

struct FragmentCase {
    const char* name;
    CompileOptions options;
    const char* sourceFlags;  // what AppendSourceFlags adds
    const char* projectFlags; // what follows "gcc -c x.c " in project order
};

CompileOptions with(void (*set)(CompileOptions&))
{
    CompileOptions options;
    set(options);
    return options;
}

const FragmentCase kCases[] = {
    {"nothing_set", {}, "", ""},
    {"debugInfo", with([](CompileOptions& o) { o.debugInfo = 1; }), "-g ", "-g "},
    {"ansi", with([](CompileOptions& o) { o.ansi = 1; }), "-ansi ", "-ansi "},
    {"noAsm", with([](CompileOptions& o) { o.noAsm = 1; }), "-fno-asm ", "-fno-asm "},
    {"traditional", with([](CompileOptions& o) { o.traditional = 1; }), "-traditional ",
     "-traditional "},
    {"optimize1", with([](CompileOptions& o) { o.optimizeLevel = 1; }), "-O1 ", "-O1 "},
    {"optimize2", with([](CompileOptions& o) { o.optimizeLevel = 2; }), "-O2 ", "-O2 "},
    {"optimize3", with([](CompileOptions& o) { o.optimizeLevel = 3; }), "-O3 ", "-O3 "},
    {"otherOptions", with([](CompileOptions& o) { o.otherOptions = "-DX"; }), "-DX ", "-DX "},
    {"preprocessOnly", with([](CompileOptions& o) { o.preprocessOnly = 1; }), "-E ", "-E "},
    {"noAssemble", with([](CompileOptions& o) { o.noAssemble = 1; }), "-S ", "-S "},
    {"language1", with([](CompileOptions& o) { o.language = 1; }), "-x c ", "-x c "},
    {"language2", with([](CompileOptions& o) { o.language = 2; }), "-x objective-c ",
     "-x objective-c "},
    {"language3", with([](CompileOptions& o) { o.language = 3; }), "-x c++ ", "-x c++ "},
    {"language4", with([](CompileOptions& o) { o.language = 4; }), "-x c-header ",
     "-x c-header "},
    {"language5", with([](CompileOptions& o) { o.language = 5; }), "-x cpp-output ",
     "-x cpp-output "},
    {"language6", with([](CompileOptions& o) { o.language = 6; }), "-x c++-cpp-output ",
     "-x c++-cpp-output "},
    {"language7", with([](CompileOptions& o) { o.language = 7; }), "-x assembler ",
     "-x assembler "},
    {"language8_without_button", with([](CompileOptions& o) { o.language = 8; }),
     "-x assembler-with-cpp ", "-x assembler-with-cpp "},
    {"warning1", with([](CompileOptions& o) { o.warningLevel = 1; }), "-w ", "-w "},
    {"warning2", with([](CompileOptions& o) { o.warningLevel = 2; }), "-Wall ", "-Wall "},
    {"warning3", with([](CompileOptions& o) { o.warningLevel = 3; }), "-W ", "-W "},
    {"warning4", with([](CompileOptions& o) { o.warningLevel = 4; }), "-Werror ", "-Werror "},
    {"all_together", with([](CompileOptions& o) {
         o = {1, 1, 1, 3, "-DX  -DY", 1, 1, 1, 3, 4};
     }),
     "-g -ansi -fno-asm -traditional -O3 -DX  -DY -S -E -x c++ -Werror ",
     "-g -ansi -fno-asm -traditional -S -E -O3 -x c++ -Werror -DX  -DY "},
    {"debug_with_optimize3", with([](CompileOptions& o) {
         o.debugInfo = 1;
         o.optimizeLevel = 3;
     }),
     "-g -O3 ", "-g -O3 "},
    {"other_single_blank", with([](CompileOptions& o) { o.otherOptions = " "; }), "  ", "  "},
    {"other_untrimmed", with([](CompileOptions& o) { o.otherOptions = "  -DA  "; }), "  -DA   ",
     "  -DA   "},
    {"flags_other_than_one", with([](CompileOptions& o) {
         o.debugInfo = 2;
         o.ansi = -1;
         o.noAsm = 7;
         o.traditional = 2;
         o.preprocessOnly = -1;
         o.noAssemble = 2;
     }),
     "", ""},
    {"levels_out_of_range_high", with([](CompileOptions& o) {
         o.optimizeLevel = 4;
         o.language = 9;
         o.warningLevel = 5;
     }),
     "", ""},
    {"levels_unchecked_radio", with([](CompileOptions& o) {
         o.optimizeLevel = -1;
         o.language = -1;
         o.warningLevel = -1;
     }),
     "", ""},
    {"levels_far_out", with([](CompileOptions& o) {
         o.optimizeLevel = INT32_MIN;
         o.language = INT32_MAX;
         o.warningLevel = 1000;
     }),
     "", ""},
};

class FragmentOrder : public ::testing::TestWithParam<FragmentCase> {};

TEST_P(FragmentOrder, SourceOrderAppendsAfterTheLine)
{
    const FragmentCase& c = GetParam();
    QString line = QStringLiteral("gcc x.c -c ");
    AppendSourceFlags(line, c.options);
    EXPECT_EQ(line, QStringLiteral("gcc x.c -c ") + QString::fromLatin1(c.sourceFlags));
}

TEST_P(FragmentOrder, ProjectOrderBuildsTheWholeLine)
{
    const FragmentCase& c = GetParam();
    EXPECT_EQ(BuildProjectCompileLine(QStringLiteral("gcc"), QStringLiteral("x.c"), c.options),
              QStringLiteral("gcc -c x.c ") + QString::fromLatin1(c.projectFlags));
}

INSTANTIATE_TEST_SUITE_P(CompileOptions, FragmentOrder, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(CompileOptions, WorkedExampleInBothOrders)
{
    CompileOptions options;
    options.debugInfo = 1;
    options.optimizeLevel = 2;
    options.otherOptions = QStringLiteral("-DDEBUG");
    options.warningLevel = 2;
    const QString gcc = QStringLiteral("C:\\DJGPP\\BIN\\GCC.EXE");
    const QString source = QStringLiteral("C:\\SRC\\HELLO.C");

    QString quick = gcc + QStringLiteral(" ") + source + QStringLiteral(" -c ");
    AppendSourceFlags(quick, options);
    EXPECT_EQ(quick, QStringLiteral("C:\\DJGPP\\BIN\\GCC.EXE C:\\SRC\\HELLO.C -c -g -O2 -DDEBUG "
                                    "-Wall "));
    EXPECT_EQ(BuildProjectCompileLine(gcc, source, options),
              QStringLiteral("C:\\DJGPP\\BIN\\GCC.EXE -c C:\\SRC\\HELLO.C -g -O2 -Wall -DDEBUG "));
}

TEST(CompileOptions, PathsWithBlanksAreNotQuoted)
{
    EXPECT_EQ(BuildProjectCompileLine(QStringLiteral("/opt/my gcc/gcc"),
                                      QStringLiteral("/src/my file.c"), CompileOptions{}),
              QStringLiteral("/opt/my gcc/gcc -c /src/my file.c "));
}

TEST(CompileOptions, RecordsCompareFieldByField)
{
    CompileOptions a, b;
    EXPECT_EQ(a, b);
    b.otherOptions = QStringLiteral(" ");
    EXPECT_NE(a, b);
    b = a;
    b.language = 8;
    EXPECT_NE(a, b);
}

} // namespace
