#include "project/MakefileWriter.h"

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

QStringList linesOf(const QByteArray& bytes)
{
    EXPECT_FALSE(bytes.contains('\r'));
    EXPECT_TRUE(bytes.endsWith('\n'));
    return QString::fromUtf8(bytes.chopped(1)).split('\n');
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
        QStringList rules; // the lines after the empty third one
    };
    const Case cases[] = {
        {"no sources", {}, {}, "", {"/p/x.exe: ", "\t/usr/bin/gcc -o /p/x.exe "}},
        {"no libraries, source elsewhere gets -o",
         {"/lib/X.C"},
         {},
         "",
         {"/p/x.exe: /lib/X.o ", "\t/usr/bin/gcc -o /p/x.exe /lib/X.o ", "/lib/X.o: /lib/X.C",
          "\t/usr/bin/gcc -c /lib/X.C -o /lib/X.o "}},
        {"free options keep their quoting, make's $ doubled",
         {"/p/a.c"},
         {},
         "-DV='\"$x\"' -I/inc",
         {"/p/x.exe: /p/a.o ", "\t/usr/bin/gcc -o /p/x.exe /p/a.o ", "/p/a.o: /p/a.c",
          "\t/usr/bin/gcc -c /p/a.c -DV='\"$$x\"' -I/inc "}},
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
        EXPECT_EQ(linesOf(MakefileContents(job)).mid(3), c.rules);
    }
}

TEST(MakefileWriter, WordsAreChangedOnlyWhereMakeOrTheShellWouldMisreadThem)
{
    struct Case {
        QString path, rule, recipe;
    };
    const Case cases[] = {
        {"/usr/src/a-b_c+1.2/x=y,z.c", "/usr/src/a-b_c+1.2/x=y,z.c", "/usr/src/a-b_c+1.2/x=y,z.c"},
        {"/it's.c", "/it's.c", "'/it'\\''s.c'"},
        {"/a:b#c$d", "/a\\:b\\#c$$d", "'/a:b#c$$d'"},
        {"/a\"b", "/a\"b", "'/a\"b'"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path.toStdString());
        EXPECT_EQ(MakeRuleWord(c.path), c.rule);
        EXPECT_EQ(MakeRecipeWord(c.path), c.recipe);
    }
}

} // namespace
