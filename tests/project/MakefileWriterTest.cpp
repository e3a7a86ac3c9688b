#include "project/MakefileWriter.h"

#include "tools/PathBytes.h"

#include <gtest/gtest.h>

namespace {

BuildJob helloJob()
{
    ProjectFile project;
    project.sources = {"/p/MAIN.C", "/p/UTIL.C"};
    project.libraries = {"m"};
    project.options.debugInfo = 1;
    return MakeBuildJob(project, "/p/HELLO.tarn", "/usr/bin/gcc", false);
}

QStringList linesOf(const std::optional<QByteArray>& bytes)
{
    if (!bytes) {
        ADD_FAILURE() << "no Makefile";
        return {};
    }
    EXPECT_FALSE(bytes->contains('\r'));
    EXPECT_TRUE(bytes->endsWith('\n'));
    return QString::fromUtf8(bytes->chopped(1)).split('\n');
}

TEST(MakefileWriter, WorkedExampleLineForLine)
{
    EXPECT_EQ(linesOf(MakefileContents(helloJob())),
              QStringList({
                  "#   Makefile exported by Tarn version 3.4",
                  kMakefileNotice,
                  "",
                  "/p/HELLO.exe: /p/MAIN.o /p/UTIL.o ",
                  "\t/usr/bin/gcc -o /p/HELLO.exe /p/MAIN.o /p/UTIL.o -lm ",
                  "/p/MAIN.o: /p/MAIN.C",
                  "\t/usr/bin/gcc -c /p/MAIN.C -g ",
                  "/p/UTIL.o: /p/UTIL.C",
                  "\t/usr/bin/gcc -c /p/UTIL.C -g ",
                  ".SUFFIXES:",
              }));
    EXPECT_TRUE(kMakefileNotice.startsWith("#   "));
    EXPECT_EQ(MakefilePath("/p/"), "/p/Makefile");
}

TEST(MakefileWriter, EdgeShapesOfTheRules)
{
    struct Case {
        const char* name;
        QStringList sources;
        QStringList libraries;
        QString otherOptions;
        QStringList rules; // the lines after the empty third one, before .SUFFIXES:
    };
    const Case cases[] = {
        {"no sources", {}, {}, "", {"/p/x.exe: ", "\t/usr/bin/gcc -o /p/x.exe "}},
        {"no libraries, source elsewhere gets -o",
         {"/lib/X.C"},
         {},
         "",
         {"/p/x.exe: /lib/X.o ", "\t/usr/bin/gcc -o /p/x.exe /lib/X.o ", "/lib/X.o: /lib/X.C",
          "\t/usr/bin/gcc -c /lib/X.C -o /lib/X.o "}},
        // The shell of make's recipe gets the words Tarn's own build passes,
        // never text it would expand or split again.
        {"free options as the build's own words",
         {"/p/a.c"},
         {},
         "-DV='\"$x\"' -I/inc -DD=$HOME -g;echo -DR=>r \"-DW=\\$HOME\"",
         {"/p/x.exe: /p/a.o ", "\t/usr/bin/gcc -o /p/x.exe /p/a.o ", "/p/a.o: /p/a.c",
          "\t/usr/bin/gcc -c /p/a.c '-DV=\"$$x\"' -I/inc '-DD=$$HOME' '-g;echo' '-DR=>r' "
          "'-DW=$$HOME' "}},
        {"blanks and make's characters escaped in rules, quoted in recipes",
         {"/p/my file.c", "/q$/#1:2.c"},
         {"my lib"},
         "",
         {"/p/x.exe: /p/my\\ file.o /q$$/\\#1\\:2.o ",
          "\t/usr/bin/gcc -o /p/x.exe '/p/my file.o' '/q$$/#1:2.o' '-lmy lib' ",
          "/p/my\\ file.o: /p/my\\ file.c", "\t/usr/bin/gcc -c '/p/my file.c' ",
          "/q$$/\\#1\\:2.o: /q$$/\\#1\\:2.c",
          "\t/usr/bin/gcc -c '/q$$/#1:2.c' -o '/q$$/#1:2.o' "}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ProjectFile project;
        project.sources = c.sources;
        project.libraries = c.libraries;
        project.options.otherOptions = c.otherOptions;
        const BuildJob job = MakeBuildJob(project, "/p/x.tarn", "/usr/bin/gcc", false);
        const QStringList lines = linesOf(MakefileContents(job));
        EXPECT_EQ(lines.mid(3, lines.size() - 4), c.rules);
        EXPECT_EQ(lines.last(), ".SUFFIXES:");
    }
}

TEST(MakefileWriter, WordsAreChangedOnlyWhereMakeOrTheShellWouldMisreadThem)
{
    struct Case {
        QString path, target, prerequisite, recipe;
    };
    const Case cases[] = {
        {"/usr/src/a-b_c+1.2/x,z.c", "/usr/src/a-b_c+1.2/x,z.c", "/usr/src/a-b_c+1.2/x,z.c",
         "/usr/src/a-b_c+1.2/x,z.c"},
        {"/it's.c", "/it's.c", "/it's.c", "'/it'\\''s.c'"},
        {"/a:b#c$d", "/a\\:b\\#c$$d", "/a\\:b\\#c$$d", "'/a:b#c$$d'"},
        {"/a\"b", "/a\"b", "/a\"b", "'/a\"b'"},
        {"/x=y.c", "/x$(firstword =)y.c", "/x$(firstword =)y.c", "/x=y.c"},
        {"/*?[]", "/\\*\\?\\[]", "/\\*\\?\\[]", "'/*?[]'"},
        {"/a|b", "/a|b", "/a\\|b", "'/a|b'"},
        // The name's own backslashes before an escaped character are doubled.
        {"/a\\ b\\\\#c\\d", "/a\\\\\\ b\\\\\\\\\\#c\\d", "/a\\\\\\ b\\\\\\\\\\#c\\d", "'/a\\ b\\\\#c\\d'"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path.toStdString());
        EXPECT_EQ(MakeRuleWord(c.path, RulePlace::Target), c.target);
        EXPECT_EQ(MakeRuleWord(c.path, RulePlace::Prerequisite), c.prerequisite);
        EXPECT_EQ(MakeRecipeWord(c.path), c.recipe);
    }
}

// A name make cannot read back writes nothing and says which and why; the
// first refused name is named, the output before the sources.
TEST(MakefileWriter, NamesMakeCannotReadAreRefused)
{
    struct Case {
        QStringList sources;
        QString outputName;
        QString error;
    };
    const QString prefix = "Error: cannot write a Makefile rule for ";
    const Case cases[] = {
        {{"/p/a\nb.c"}, "", prefix + "/p/a\nb.c: make cannot read a name holding a line break"},
        {{"/p/ok.c", "/p/tab\t`touch PWNED`.c"},
         "",
         prefix + "/p/tab\t`touch PWNED`.c: make cannot read a name holding a tab"},
        {{"/p/a;b.c"}, "", prefix + "/p/a;b.c: make takes a ';' in a rule line as the start of a recipe"},
        {{"/p/a.c"}, "/p/100%.exe", prefix + "/p/100%.exe: make takes a name holding '%' as a pattern"},
        {{"/p/a.c"}, "out\\", prefix + "out\\: make cannot read a name that ends with a backslash"},
        {{"/p/main"}, "", "Cannot compile /p/main: its file name has no extension, so it has no object file"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.error.toStdString());
        ProjectFile project;
        project.sources = c.sources;
        project.outputName = c.outputName;
        QString error;
        EXPECT_FALSE(MakefileContents(MakeBuildJob(project, "/p/x.tarn", "/usr/bin/gcc", false),
                                      &error));
        EXPECT_EQ(error, c.error);
    }
}

// Every byte of a name reaches the file, whatever its encoding.
TEST(MakefileWriter, NamesKeepTheirBytes)
{
    ProjectFile project;
    project.sources = {PathFromBytes("/p/latin\xE9.c")};
    const auto bytes =
        MakefileContents(MakeBuildJob(project, "/p/x.tarn", "/usr/bin/gcc", false));
    ASSERT_TRUE(bytes);
    EXPECT_TRUE(bytes->contains("/p/latin\xE9.o: /p/latin\xE9.c\n\t/usr/bin/gcc -c '/p/latin\xE9.c' "));
}

} // namespace
