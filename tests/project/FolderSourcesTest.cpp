// The files a folder tree offers a project (Insert Folder) and what an
// insertion adds.
#include "project/FolderSources.h"
#include "search/FindMatcher.h"
#include "tools/PathBytes.h"
#include "support/WithoutPrivileges.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

namespace {

bool writeBytes(const QByteArray& path, const QByteArray& bytes)
{
    FILE* file = std::fopen(path.constData(), "wb");
    if (!file)
        return false;
    const bool ok = std::fwrite(bytes.constData(), 1, size_t(bytes.size()), file) == size_t(bytes.size());
    return std::fclose(file) == 0 && ok;
}

class FolderSourcesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        root = PathToBytes(QDir(dir.path()).canonicalPath());
        for (const char* folder : {"/tree", "/tree/sub", "/tree/sub/deep", "/tree/zz", "/elsewhere"})
            ASSERT_EQ(::mkdir(root + folder, 0755), 0);
        for (const char* file : {"/tree/b.cpp", "/tree/a.c", "/tree/notes.txt", "/tree/sub/c.cc",
                                 "/tree/sub/deep/d.cxx", "/tree/zz/e.c", "/tree/caf\xe9.c", "/elsewhere/far.c"})
            ASSERT_TRUE(writeBytes(root + file, "int x;\n"));
        // A loop of links, a link to a file outside and a dangling one.
        ASSERT_EQ(::symlink(root + "/tree", root + "/tree/sub/loop"), 0);
        ASSERT_EQ(::symlink(root + "/elsewhere/far.c", root + "/tree/linked.c"), 0);
        ASSERT_EQ(::symlink(root + "/gone.c", root + "/tree/dangling.c"), 0);
        ASSERT_EQ(::mkfifo(root + "/tree/pipe.c", 0644), 0);
    }
    QString path(const char* name) const { return PathFromBytes(root + name); }

    QTemporaryDir dir;
    QByteArray root;
};

TEST_F(FolderSourcesTest, EveryFittingFileOfTheTreeInNameOrder)
{
    const QStringList sources = {path("/tree/a.c"), path("/tree/b.cpp"), path("/tree/caf\xe9.c"),
                                 path("/tree/linked.c"), path("/tree/sub/c.cc"), path("/tree/sub/deep/d.cxx"),
                                 path("/tree/zz/e.c")};
    struct Case {
        const char* name;
        QString folder;
        QString patterns;
        qsizetype limit;
        QStringList files;
        bool cut;
    };
    const Case cases[] = {
        {"the default patterns", path("/tree"), kDefaultFolderPatterns, 1000, sources, false},
        {"a slash at the end", path("/tree") + "//", kDefaultFolderPatterns, 1000, sources, false},
        {"one pattern", path("/tree"), "*.c", 1000,
         {path("/tree/a.c"), path("/tree/caf\xe9.c"), path("/tree/linked.c"), path("/tree/zz/e.c")}, false},
        {"no pattern: every regular file", path("/tree/sub"), "", 1000,
         {path("/tree/sub/c.cc"), path("/tree/sub/deep/d.cxx")}, false},
        {"cut at the limit", path("/tree"), kDefaultFolderPatterns, 3, sources.mid(0, 3), true},
        {"exactly the limit", path("/tree"), kDefaultFolderPatterns, 7, sources, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const FolderSources found = FindFolderSources(c.folder, SplitFilePatterns(c.patterns), c.limit);
        EXPECT_EQ(found.files, c.files);
        EXPECT_EQ(found.cut, c.cut);
        EXPECT_FALSE(found.folderMissing);
        EXPECT_EQ(found.unreadableFolders, 0);
    }
    // The name that is not UTF-8 keeps its bytes.
    EXPECT_EQ(PathToBytes(FindFolderSources(path("/tree"), {}, 100).files.at(2)), root + "/tree/caf\xe9.c");

    for (const QString& missing : {path("/nothing"), path("/tree/a.c"), QString()}) {
        const FolderSources found = FindFolderSources(missing, {}, 100);
        EXPECT_TRUE(found.folderMissing) << missing.toStdString();
        EXPECT_TRUE(found.files.isEmpty());
    }
}

TEST_F(FolderSourcesTest, AFolderThatCannotBeReadIsCountedAndPassedOver)
{
    // The temporary folder is the owner's alone; the tree is everyone's
    // but for one folder.
    ASSERT_EQ(::chmod(root, 0755), 0);
    ASSERT_EQ(::chmod(root + "/tree/sub", 0700), 0);
    const QString tree = path("/tree");
    // Folders that could not be read, then files found.
    const int answer = testsupport::RunWithoutPrivileges([&] {
        const FolderSources found = FindFolderSources(tree, SplitFilePatterns("*.c *.cc"), 100);
        return int(found.unreadableFolders * 16 + found.files.size());
    });
    EXPECT_EQ(answer, 1 * 16 + 4);
}

TEST(FolderInsertion, NewFilesInOrderUpToTheCapacity)
{
    struct Case {
        const char* name;
        QStringList sources;
        QStringList found;
        qsizetype capacity;
        QStringList added;
        qsizetype alreadyListed;
        qsizetype left;
    };
    const Case cases[] = {
        {"all new", {}, {"/a.c", "/b.c"}, 500, {"/a.c", "/b.c"}, 0, 0},
        {"listed ones skipped, letter case counts", {"/a.c"}, {"/a.c", "/A.c", "/b.c"}, 500, {"/A.c", "/b.c"}, 1, 0},
        {"a file found twice is added once", {}, {"/a.c", "/a.c"}, 500, {"/a.c"}, 1, 0},
        {"the rest does not fit", {"/x.c"}, {"/a.c", "/b.c", "/c.c"}, 3, {"/a.c", "/b.c"}, 0, 1},
        {"full already", {"/x.c", "/y.c"}, {"/a.c", "/x.c"}, 2, {}, 1, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const FolderInsertion plan = PlanFolderInsertion(c.sources, c.found, c.capacity);
        EXPECT_EQ(plan.added, c.added);
        EXPECT_EQ(plan.alreadyListed, c.alreadyListed);
        EXPECT_EQ(plan.left, c.left);
    }
}

} // namespace
