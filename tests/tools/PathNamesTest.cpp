#include "tools/PathNames.h"

#include <gtest/gtest.h>

namespace {

struct PathCase {
    QString path;
    QString directory;
    QString executable;
    bool cpp;
};

// Paths translated to this host from the examples of the Windows original.
const PathCase kPathCases[] = {
    {"/src/hello.c", "/src/", "/src/hello.exe", false},
    {"/src/hello.cc", "/src/", "/src/hello.exe", true},
    {"/src/HELLO.CPP", "/src/", "/src/HELLO.exe", true},
    {"/src/x.Cxx", "/src/", "/src/x.exe", true},
    {"/src/x.cp", "/src/", "/src/x.exe", false},
    {"/src/hello", "/src/", "/src/helloexe", false},
    {"hello.c", "", "hello.exe", false},
    {".cpp", "", ".exe", false},
    {"/a.b/c", "/a.b/", "/a.b/cexe", false},
    {"/", "/", "/exe", false},
    {"", "", "exe", false},
};

TEST(PathNames, DirectoryExecutableAndLanguageOfEachPath)
{
    for (const PathCase& c : kPathCases) {
        SCOPED_TRACE(c.path.toStdString());
        EXPECT_EQ(DirectoryOf(c.path), c.directory);
        EXPECT_EQ(DefaultExecutableName(c.path), c.executable);
        EXPECT_EQ(IsCppSource(c.path), c.cpp);
    }
}

TEST(PathNames, ObjectFileNameTakesTheFileNameIntoTheDirectory)
{
    EXPECT_EQ(ObjectFileName("/src/MAIN.CPP", "/proj/"), "/proj/MAIN.o");
    EXPECT_EQ(ObjectFileName("/src/util.c", "/src/"), "/src/util.o");
    EXPECT_EQ(ObjectFileName("/s.d/util", "/s.d/"), "/s.d/utilo");
    EXPECT_EQ(ObjectFileName("/my dir/a.b.c", ""), "a.b.o");
    EXPECT_EQ(FileNameOf("/my dir/a.b.c"), "a.b.c");
}

} // namespace
