// Which program F5 debugs for a source outside projects: Tarn's own
// `name.exe`, gcc's and make's `name`, gcc's `a.out`; the newest executable
// one, and whether it is older than the source.
#include "debugger/SourceProgram.h"
#include "support/TestSupport.h"
#include "tools/PathBytes.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// What a folder holds before the lookup: a name, its age in seconds
// before a fixed moment, and what it is.
enum class Kind { Program, NotExecutable, Folder };
struct Entry {
    const char* name;
    int age;
    Kind kind = Kind::Program;
};

struct LookupCase {
    const char* what;
    std::vector<Entry> entries;
    const char* found; // empty: none
    bool older;
};

constexpr qint64 kNow = 1'700'000'000;

void setAge(const QByteArray& path, int age)
{
    const timespec times[2] = {{kNow - age, 0}, {kNow - age, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.constData(), times, 0), 0) << path.constData();
}

void make(const QString& folder, const Entry& entry)
{
    const QByteArray path = PathToBytes(folder + QLatin1Char('/') + QLatin1String(entry.name));
    if (entry.kind == Kind::Folder) {
        ASSERT_EQ(::mkdir(path.constData(), 0755), 0);
    } else {
        ASSERT_TRUE(testsupport::writeBytes(path, "\x7f" "ELF"));
        ASSERT_EQ(::chmod(path.constData(), entry.kind == Kind::Program ? 0755 : 0644), 0);
    }
    setAge(path, entry.age);
}

TEST(SourceProgram, TheNewestExecutableOfTheUsualNames)
{
    // The source is 100 seconds old in every case.
    const LookupCase cases[] = {
        {"Tarn's own name", {{"loop.exe", 10}}, "loop.exe", false},
        {"gcc -o loop, make", {{"loop", 10}}, "loop", false},
        {"gcc without -o", {{"a.out", 10}}, "a.out", false},
        {"none", {}, "", false},
        {"newest wins", {{"loop.exe", 50}, {"loop", 20}, {"a.out", 30}}, "loop", false},
        {"an old loop.exe loses to a newer a.out", {{"loop.exe", 500}, {"a.out", 5}}, "a.out", false},
        {"equal times: the earlier name", {{"loop", 10}, {"a.out", 10}}, "loop", false},
        {"older than the source", {{"loop", 200}}, "loop", true},
        {"the newest is taken, then compared", {{"loop.exe", 300}, {"loop", 150}}, "loop", true},
        {"no execute bit", {{"loop", 10, Kind::NotExecutable}, {"a.out", 40}}, "a.out", false},
        {"a folder named like the program", {{"loop", 10, Kind::Folder}}, "", false},
        {"other names are not programs", {{"loop.o", 10}, {"loop.out", 10}}, "", false},
    };
    for (const LookupCase& c : cases) {
        QTemporaryDir dir;
        const QString source = dir.filePath(QStringLiteral("loop.c"));
        ASSERT_TRUE(testsupport::writeFile(source, "int main(void) { return 0; }\n"));
        setAge(PathToBytes(source), 100);
        for (const Entry& entry : c.entries)
            make(dir.path(), entry);
        const SourceProgram found = FindSourceProgram(source);
        const QString expected =
            *c.found ? dir.filePath(QLatin1String(c.found)) : QString();
        EXPECT_EQ(found.program, expected) << c.what;
        EXPECT_EQ(found.olderThanSource, c.older) << c.what;
        EXPECT_EQ(found.lookedFor, (QStringList{dir.filePath(QStringLiteral("loop.exe")),
                                                dir.filePath(QStringLiteral("loop")),
                                                dir.filePath(QStringLiteral("a.out"))}))
            << c.what;
    }
}

TEST(SourceProgram, NamesOfAwkwardSources)
{
    // Without an extension the source is never its own program; only the
    // file name's dot starts an extension; a name that is not UTF-8 keeps
    // its bytes.
    EXPECT_EQ(SourceProgramCandidates(QStringLiteral("/src/prog")),
              (QStringList{"/src/progexe", "/src/a.out"}));
    EXPECT_EQ(SourceProgramCandidates(QStringLiteral("/a.b/prog")),
              (QStringList{"/a.b/progexe", "/a.b/a.out"}));
    EXPECT_EQ(SourceProgramCandidates(QStringLiteral("/src/x.tar.c")),
              (QStringList{"/src/x.tar.exe", "/src/x.tar", "/src/a.out"}));
    EXPECT_EQ(SourceProgramCandidates(QStringLiteral("/src/.c")),
              (QStringList{"/src/.exe", "/src/a.out"}));

    QTemporaryDir dir;
    const QString folder = dir.path() + QLatin1Char('/') + PathFromBytes("caf\xE9");
    ASSERT_EQ(::mkdir(PathToBytes(folder).constData(), 0755), 0);
    const QString source = folder + QStringLiteral("/loop.c");
    ASSERT_TRUE(testsupport::writeBytes(PathToBytes(source), "int main;\n"));
    setAge(PathToBytes(source), 100);
    make(folder, {"loop", 10});
    const SourceProgram found = FindSourceProgram(source);
    EXPECT_EQ(PathToBytes(found.program), PathToBytes(folder + QStringLiteral("/loop")));
    EXPECT_FALSE(found.olderThanSource);
    // The folder's name is no text: it is removed by its bytes.
    ::unlink(PathToBytes(source).constData());
    ::unlink(PathToBytes(folder + QStringLiteral("/loop")).constData());
    ::rmdir(PathToBytes(folder).constData());
}

} // namespace
