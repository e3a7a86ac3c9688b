#include "project/ProjectTreeLayout.h"
#include "project/ProjectLinkNames.h"

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

// A source read for its functions that cannot be read for its includes (it
// went away between the passes) keeps its node; the dependencies stop there.
// A source missing from the start is ProjectTree's.
TEST(ProjectTreeLayout, ASourceThatVanishesBetweenThePassesEndsTheDependencies)
{
    FakeFiles files;
    files.functions = {{"/a/one.c", {"one"}}, {"/a/two.c", {}}, {"/a/three.c", {"three"}}};
    files.includes = {{"/a/one.c", {"one.h"}}, {"/a/three.c", {"three.h"}}};
    const ProjectTreeLayout layout = files.layOut({"/a/one.c", "/a/two.c", "/a/three.c"});
    EXPECT_EQ(layout.sources.size(), 3);
    EXPECT_TRUE(layout.hasDependenciesNode);
    EXPECT_EQ(layout.dependencies, QStringList{"/a/one.h"});
    EXPECT_EQ(layout.unreadable, "/a/two.c");
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
