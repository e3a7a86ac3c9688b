#include "project/ProjectLinkNames.h"
#include "project/ProjectSourceScan.h"
#include "project/ProjectTreeLayout.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace {

// A source's part of the tree in one line: "path readable: functions |
// new dependencies".
QString describe(const ProjectTreeSource& source)
{
    return source.path + (source.readable ? " readable: " : " unreadable (" + source.unreadableReason + "): ")
           + source.functions.join(QLatin1Char(',')) + " | "
           + source.newDependencies.join(QLatin1Char(','));
}

class ProjectTreeScan : public ::testing::Test {
public:
    ProjectTreeScan()
    {
        QObject::connect(&scanner, &ProjectTreeScanner::resultsReady, &context, [this] { ++notices; },
                         Qt::QueuedConnection);
    }

    void scan(const QStringList& sources)
    {
        notices = 0;
        scanner.scan(sources);
    }
    QString write(const QString& name, const QByteArray& text)
    {
        const QString path = dir.filePath(name);
        EXPECT_TRUE(QDir().mkpath(QFileInfo(path).path()));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly) && file.write(text) == text.size());
        return path;
    }
    // Takes results, as the view does when told they arrived, until the
    // scan is over; the sources described in order.
    QStringList collect()
    {
        QStringList described;
        bool finished = false;
        EXPECT_TRUE(QTest::qWaitFor(
            [&] {
                ProjectTreeScanner::Results results = scanner.take();
                for (const ProjectTreeSource& source : results.sources)
                    described << describe(source);
                finished = results.finished;
                return finished;
            },
            30000));
        // The owner is told rather than left to poll.
        EXPECT_TRUE(QTest::qWaitFor([&] { return notices > 0; }, 30000));
        return described;
    }

    QTemporaryDir dir;
    QObject context;
    int notices = 0;
    ProjectTreeScanner scanner;
};

TEST_F(ProjectTreeScan, SourcesInProjectOrderWithThoseThatCannotBeOpened)
{
    const QString one = write("a/one.c", "#include \"one.h\"\n#include \"common.h\"\nint one(void) {}\n"
                                         "int two(int x) { return x; }\n");
    const QString two = write("a/two.c", "#include \"common.h\"\n#include \"two.h\"\n"
                                         "#include \"common.h\"\nvoid three() {}\n");
    const QString other = write("b/other.c", "#include \"common.h\"\n");
    const QString missing = dir.filePath("a/missing.c");
    const QString folder = dir.filePath("a");
    const QString a = dir.filePath("a/"), b = dir.filePath("b/");

    struct Row {
        const char* name;
        QStringList sources;
        QStringList expected;
    };
    const Row rows[] = {
        {"dependencies distinct across sources and folders",
         {one, two, other},
         {one + " readable: one,two | " + a + "one.h," + a + "common.h",
          two + " readable: three | " + a + "two.h", other + " readable:  | " + b + "common.h"}},
        {"a missing source is said and the others follow",
         {one, missing, other},
         {one + " readable: one,two | " + a + "one.h," + a + "common.h",
          missing + " unreadable (no such file):  | ", other + " readable:  | " + b + "common.h"}},
        {"a folder is no source",
         {folder, one},
         {folder + " unreadable (it is a folder):  | ",
          one + " readable: one,two | " + a + "one.h," + a + "common.h"}},
        {"no sources", {}, {}},
    };
    for (const Row& row : rows) {
        scan(row.sources);
        const QStringList got = collect();
        EXPECT_EQ(got, row.expected) << row.name << "\n" << got.join(u'\n').toStdString();
    }
}

TEST_F(ProjectTreeScan, AScanAskedForDropsTheResultsOfTheOneBefore)
{
    QStringList many;
    for (int i = 0; i < 300; ++i)
        many << write(QStringLiteral("many/s%1.c").arg(i),
                      QByteArray("int f(void) {}\n").repeated(200));
    const QString last = write("last.c", "int last(void) {}\n");

    scan(many);
    // Some results of the first scan may already wait; none is taken.
    QTest::qWait(5);
    scan({last});
    EXPECT_EQ(collect(), QStringList{last + " readable: last | "});

    // Cancelled: what was scanned is dropped and no end is reported.
    scan(many);
    QTest::qWait(5);
    scanner.cancel();
    const ProjectTreeScanner::Results dropped = scanner.take();
    EXPECT_TRUE(dropped.sources.empty());
    EXPECT_FALSE(dropped.finished);
    scan({last, last});
    EXPECT_EQ(collect(), QStringList({last + " readable: last | ", last + " readable: last | "}));

    // The scanner goes while its worker scans: it waits for the source in
    // hand, and nothing is delivered after (a sanitizer build would see it).
    scan(many);
    QTest::qWait(2);
}

TEST(ProjectLinkNames, OutputNamesAndLibraryEntries)
{
    const std::pair<QString, QString> outputs[] = {
        {"/proj/DEMO.tarn", "/proj/DEMO.exe"}, {"a.out", "a.exe"}, {"ab", "ab"},
        {"abc", "abc"}, {"/p/x.EXE", "/p/x.EXE"}, {"", ""},
        // Linux program names stay as they are, whatever folders hold a '.'.
        {"prog", "prog"}, {"/home/u/src/lua/lua", "/home/u/src/lua/lua"}, {"/a.b/prog", "/a.b/prog"},
        {"/a.b/prog.c", "/a.b/prog.exe"},
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
