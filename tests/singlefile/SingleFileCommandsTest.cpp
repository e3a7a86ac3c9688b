// Command composition of Build Source, Link and Make, link entries and the
// terminal launch of Run and Debug.
#include "singlefile/SingleFileCommands.h"
#include "singlefile/TerminalLaunch.h"
#include "tools/CompileOptions.h"
#include "tools/LinkEntries.h"
#include "tools/RecordingSink.h" // readable QString failures

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

TEST(LinkEntriesTest, EntriesKindsAndOrder)
{
    struct Entry {
        const char* extension;
        const char* fileName;
        const char* fullPath;
        const char* expected;
    };
    const Entry entries[] = {
        {"o", "util.o", "/src/util.o", "/src/util.o"},
        {"O", "A.O", "/obj/A.O", "/obj/A.O"},
        {"a", "libm.a", "/usr/lib/libm.a", "m"},
        {"so", "libfoo.so", "/usr/lib/libfoo.so", "foo"},
        {"a", "xyzbar.a", "/l/xyzbar.a", "bar"}, // the first three go whatever they are
        {"a", "a.a", "/l/a.a", ""},
    };
    for (const Entry& e : entries)
        EXPECT_EQ(MakeLinkEntry(e.extension, e.fileName, e.fullPath), QString(e.expected)) << e.fileName;

    EXPECT_TRUE(IsObjectEntry("/src/util.o"));
    EXPECT_TRUE(IsObjectEntry("a.o"));
    EXPECT_FALSE(IsObjectEntry("m"));
    EXPECT_FALSE(IsObjectEntry(".o"));
    EXPECT_FALSE(IsObjectEntry("stdc++"));

    QStringList sorted{"b", "B", "a", "/z/x.o", "C"};
    SortLinkEntries(sorted);
    EXPECT_EQ(sorted, (QStringList{"/z/x.o", "a", "B", "b", "C"}));

    EXPECT_TRUE(HasCppRuntimeEntry({"m", "STDC++"}));
    EXPECT_FALSE(HasCppRuntimeEntry({"m", "stdcxx"}));
}

// The lines and argument lists themselves are pinned by the real runs of
// SingleFileTools, whose paths hold blanks, quotes and '$'. Objects come
// first, then libraries, each group in list order.
TEST(SingleFileCommandsTest, LinkTakesObjectsFirst)
{
    const ToolCommand link = LinkCommand("gcc", "out file", {"m", "/obj/A.O", "stdc++", "/b.o"});
    EXPECT_EQ(link.line(), "gcc -o out file /obj/A.O /b.o -lm -lstdc++ ");
    EXPECT_EQ(link.arguments(),
              (QStringList{"-o", "out file", "/obj/A.O", "/b.o", "-lm", "-lstdc++"}));
}

TEST(SingleFileCommandsTest, MakeRunsInTheMakefilesFolder)
{
    QTemporaryDir dir;
    const QString root = QFileInfo(dir.path()).canonicalFilePath();
    ASSERT_TRUE(QDir(root).mkpath("proj dir"));
    const QString current = root + "/";
    struct Case {
        QString file;
        QStringList arguments;
        QString workingDirectory;
        QString newDirectory;
        QString unenterable;
    };
    const std::vector<Case> cases{
        {root + "/proj dir/Makefile", {"-f", root + "/proj dir/Makefile"}, root + "/proj dir/",
         root + "/proj dir/", ""},
        {"proj dir/Makefile", {"-f", root + "/proj dir/Makefile"}, root + "/proj dir/", root + "/proj dir/", ""},
        {"Makefile", {"-f", "Makefile"}, current, "", ""},
        {"", {"-f", ""}, current, "", ""},
        {root + "/missing/Makefile", {"-f", root + "/missing/Makefile"}, current, "", root + "/missing/"},
    };
    for (const Case& c : cases) {
        const MakePlan plan = PlanMake("/usr/bin/make", c.file, current);
        EXPECT_EQ(plan.invocation.program, "/usr/bin/make");
        EXPECT_EQ(plan.invocation.arguments, c.arguments) << c.file.toStdString();
        EXPECT_EQ(plan.invocation.workingDirectory, c.workingDirectory) << c.file.toStdString();
        EXPECT_EQ(plan.newToolDirectory, c.newDirectory) << c.file.toStdString();
        EXPECT_EQ(plan.unenterableDirectory, c.unenterable) << c.file.toStdString();
    }
}

TEST(TerminalLaunchTest, FindsATerminalAndComposesItsArguments)
{
    // A finder that knows only the named programs.
    auto knowing = [](QStringList names) {
        return [names](const QString& name) { return names.contains(name) ? "/bin/" + name : QString(); };
    };
    struct Case {
        const char* name;
        QString variable;
        QStringList installed;
        std::optional<TerminalProgram> expected;
    };
    const std::vector<Case> cases{
        {"variable first", "myterm", {"myterm", "xterm"}, TerminalProgram{"/bin/myterm", {"-e"}}},
        {"unknown variable falls back", "nosuch", {"xterm"}, TerminalProgram{"/bin/xterm", {"-e"}}},
        {"debian alternative", "", {"x-terminal-emulator", "xterm"},
         TerminalProgram{"/bin/x-terminal-emulator", {"-e"}}},
        {"gnome", "", {"gnome-terminal"}, TerminalProgram{"/bin/gnome-terminal", {"--"}}},
        {"kitty", "", {"kitty"}, TerminalProgram{"/bin/kitty", {}}},
        {"none", "", {}, std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FindTerminal(c.variable, knowing(c.installed)), c.expected) << c.name;

    QTemporaryDir dir;
    QFile local(dir.filePath("hello.exe"));
    ASSERT_TRUE(local.open(QIODevice::WriteOnly));
    local.close();
    EXPECT_EQ(ResolveRunCommand("hello.exe", dir.path()), QFileInfo(local).absoluteFilePath());
    EXPECT_EQ(ResolveRunCommand("ls", dir.path()), "ls");
    EXPECT_EQ(ResolveRunCommand("./x", dir.path()), "./x");
}
