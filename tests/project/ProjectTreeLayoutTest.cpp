#include "project/ProjectLinkNames.h"
#include "project/ProjectTreeLayout.h"

#include <QHash>

#include <gtest/gtest.h>

namespace {

// Scans answered from a table: a path missing from it cannot be opened.
struct FakeFiles {
    QHash<QString, QStringList> functions;
    QHash<QString, QStringList> includes;

    ProjectFileScan definitions() const
    {
        return [this](const QString& path) -> std::optional<QStringList> {
            if (!functions.contains(path))
                return std::nullopt;
            return functions.value(path);
        };
    }
    ProjectFileScan quotedIncludes() const
    {
        return [this](const QString& path) -> std::optional<QStringList> {
            if (!includes.contains(path))
                return std::nullopt;
            return includes.value(path);
        };
    }
    ProjectTreeLayout layOut(const QStringList& sources) const
    {
        return LayOutProjectTree(sources, definitions(), quotedIncludes());
    }
};

TEST(ProjectTreeLayout, AnUnreadableSourceEndsTheLayoutWhereItIsMet)
{
    FakeFiles files;
    files.functions = {{"/a/one.c", {"one"}}, {"/a/three.c", {"three"}}};
    files.includes = {{"/a/one.c", {"one.h"}}, {"/a/three.c", {"three.h"}}};
    // First pass: the missing source keeps its node, nothing after it.
    const ProjectTreeLayout first = files.layOut({"/a/one.c", "/a/two.c", "/a/three.c"});
    ASSERT_EQ(first.sources.size(), 2);
    EXPECT_EQ(first.sources[1].path, "/a/two.c");
    EXPECT_FALSE(first.hasDependenciesNode);
    EXPECT_EQ(first.unreadable, "/a/two.c");

    // Second pass: the file went away between the passes.
    files.functions.insert("/a/two.c", {});
    const ProjectTreeLayout second = files.layOut({"/a/one.c", "/a/two.c", "/a/three.c"});
    EXPECT_EQ(second.sources.size(), 3);
    EXPECT_TRUE(second.hasDependenciesNode);
    EXPECT_EQ(second.dependencies, QStringList{"/a/one.h"});
    EXPECT_EQ(second.unreadable, "/a/two.c");
}

TEST(ProjectLinkNames, OutputNamesAndLibraryEntries)
{
    const std::pair<QString, QString> outputs[] = {
        {"/proj/DEMO.tarn", "/proj/DEMO.exe"}, {"a.out", "a.exe"}, {"ab", "ab"},
        {"abc", "abc"}, {"/p/x.EXE", "/p/x.EXE"}, {"prog", "progexe"}, {"", ""},
    };
    for (const auto& [given, shown] : outputs)
        EXPECT_EQ(LinkDialogOutputName(given), shown) << given.toStdString();

    const std::pair<QString, QString> libraries[] = {
        {"libm.a", "m"}, {"libfoo.so", "foo"}, {"LIBX.A", "X"}, {"libz.so.1", "z.s"},
        {"a", ""}, {"", ""},
    };
    for (const auto& [file, entry] : libraries)
        EXPECT_EQ(LibraryEntryOfFile(file), entry) << file.toStdString();
}

} // namespace
