// Find in Files over a small tree gives the same matches (file, line and
// text) as grep -rnI for the same search; binary files are skipped and
// counted, a link loop ends, and Stop Build ends a running search.
#include "search/FindInFiles.h"

#include "messages/MessageSink.h"
#include "tools/JobManager.h"
#include "tools/PathBytes.h"
#include "tools/RecordingSink.h"
#include "tools/StopJobs.h"
#include "support/TestSupport.h"
#include "support/WithoutPrivileges.h"

#include <QFile>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <thread>

#include <sys/stat.h>
#include <unistd.h>

namespace {

using testsupport::writeBytes;

class FindInFilesTree : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        root = PathToBytes(QDir(dir.path()).canonicalPath());
        const QByteArray r = root + '/';
        ASSERT_TRUE(writeBytes(r + "main.c", "#include \"count.h\"\n"
                                             "int main(void)\n{\n"
                                             "    int count = 0;\n"
                                             "    int Count = 1;\n"
                                             "    count_all(&count);\n"
                                             "    return counter + COUNT;\n}\n"));
        // CR LF lines, a tab, and a last line without its line feed.
        ASSERT_TRUE(writeBytes(r + "count.h", "#pragma once\r\nvoid count_all(int* count);\r\n"
                                              "\tint counter;\r\nextern int COUNT;"));
        ASSERT_TRUE(writeBytes(r + "src/deep/er/util.cpp",
                               "// recount the count\nint f() { return 1; }\n"
                               "  int g(int Count);\n"));
        // Past a read block: line numbers go on across blocks.
        QByteArray big;
        for (int i = 1; i <= 60000; ++i)
            big += (i % 7919 == 0 ? "int count_" : "int other_") + QByteArray::number(i) + " = " +
                   QByteArray::number(i) + ";\n";
        ASSERT_GT(big.size(), 1024 * 1024);
        ASSERT_TRUE(writeBytes(r + "src/big.cc", big));
        // Binary: a zero byte early, the word later.
        ASSERT_TRUE(writeBytes(r + "src/blob.c", QByteArray("\x7f"
                                                            "ELF\0\0",
                                                            6) +
                                                     "int count;\n"));
        // Not among the patterns.
        ASSERT_TRUE(writeBytes(r + "notes.txt", "count count\n"));
        // Links are not followed, a loop among them.
        ASSERT_EQ(::symlink("..", (r + "src/deep/loop").constData()), 0);
        ASSERT_EQ(::symlink(root.constData(), (r + "src/up").constData()), 0);
        ASSERT_EQ(::symlink("../main.c", (r + "src/linked.c").constData()), 0);
    }

    // QTemporaryDir cannot remove a name that is not text.
    void TearDown() override { ::unlink((root + "/src/latin\xE9.c").constData()); }

    // A search of the whole tree.
    FindInFilesRequest wholeTree(const FindOptions& options,
                               const QString& patterns = kDefaultFindPatterns) const
    {
        FindInFilesRequest request;
        request.options = options;
        request.folder = PathFromBytes(root);
        request.patterns = patterns;
        return request;
    }
    // Runs the search on this thread; its rows go to the sink.
    static FindSummary search(RecordingSink& sink, const FindInFilesRequest& request, bool stopped = false)
    {
        MessageBatcher batch(sink.messages());
        const std::atomic<bool> cancel{stopped};
        const FindSummary summary = FindInTree(request, cancel, batch);
        batch.post();
        sink.messages().flush();
        return summary;
    }

    // Rows after the heading and before the closing rows, as lines of a
    // grep output ("path:line:text"), sorted.
    QStringList tarnRows(const FindInFilesRequest& request, FindSummary* summary)
    {
        RecordingSink sink;
        *summary = search(sink, request);
        QStringList rows;
        for (const auto& [text, separator] : sink.rows)
            rows << text;
        EXPECT_GE(rows.size(), 2);
        if (rows.size() < 2)
            return {};
        EXPECT_EQ(rows.front(), FindHeadingRow(request));
        EXPECT_EQ(rows.back(), FindSummaryRow(*summary));
        EXPECT_EQ(sink.rows.back().second, 1);
        rows.removeFirst();
        rows.removeLast();
        const QString skipped = FindSkippedRow(*summary);
        if (!skipped.isEmpty()) {
            EXPECT_EQ(rows.back(), skipped);
            rows.removeLast();
        }
        QStringList asGrep;
        for (const QString& row : rows) {
            // "path:12: text" -> "path:12:text"
            const int first = row.indexOf(QLatin1Char(':'));
            const int second = row.indexOf(QLatin1Char(':'), first + 1);
            EXPECT_EQ(row.mid(second, 2), QStringLiteral(": ")) << row.toStdString();
            asGrep << row.left(second + 1) + row.mid(second + 2);
        }
        std::sort(asGrep.begin(), asGrep.end());
        return asGrep;
    }

    QStringList grepRows(const FindInFilesRequest& request)
    {
        QStringList arguments{QStringLiteral("-rnI")};
        if (!request.options.matchCase)
            arguments << QStringLiteral("-i");
        if (request.options.wholeWord)
            arguments << QStringLiteral("-w");
        arguments << (request.options.regularExpression ? QStringLiteral("-P")
                                                        : QStringLiteral("-F"));
        for (const QString& pattern : request.patterns.split(QLatin1Char(' '), Qt::SkipEmptyParts))
            arguments << QStringLiteral("--include=") + pattern;
        arguments << QStringLiteral("-e") << request.options.text;
        QProcess grep;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("C"));
        grep.setProcessEnvironment(environment);
        grep.setWorkingDirectory(PathFromBytes(root));
        grep.start(QStringLiteral("grep"), arguments);
        EXPECT_TRUE(grep.waitForFinished(60000));
        QStringList rows;
        for (QByteArray line : grep.readAllStandardOutput().split('\n')) {
            if (line.isEmpty())
                continue;
            if (line.endsWith('\r'))
                line.chop(1);
            rows << QString::fromUtf8(line);
        }
        std::sort(rows.begin(), rows.end());
        return rows;
    }

    QTemporaryDir dir;
    QByteArray root;
};

TEST_F(FindInFilesTree, SameMatchesAsGrep)
{
    ASSERT_FALSE(QStandardPaths::findExecutable(QStringLiteral("grep")).isEmpty());
    struct Case {
        const char* name;
        FindOptions options;
        const char* patterns;
        int matches;
    };
    const Case cases[] = {
        {"any case", {"count", false, false, false}, "*.c *.cpp *.cc *.cxx *.h *.hpp", 17},
        {"match case", {"count", true, false, false}, "*.c *.cpp *.cc *.cxx *.h *.hpp", 14},
        {"whole word", {"count", false, true, false}, "*.c *.cpp *.cc *.cxx *.h *.hpp", 9},
        {"whole word, match case", {"Count", true, true, false}, "*.c *.cpp *.cc *.cxx *.h *.hpp", 2},
        {"regular expression", {"count_[0-9]+ = 1[0-9]*;$", true, false, true}, "*.c *.cpp *.cc *.h", 1},
        {"regular expression, any case", {"^\\s*int\\s+COUNT", false, false, true}, "*.c *.h", 3},
        {"regular expression, whole word", {"count(er)?", false, true, true}, "*.c *.h *.cpp", 10},
        {"every file", {"count", true, true, false}, "", 6},
        {"one pattern", {"int", true, true, false}, "*.h", 3},
    };
    for (const Case& c : cases) {
        const FindInFilesRequest find = wholeTree(c.options, QString::fromUtf8(c.patterns));
        FindSummary summary;
        const QStringList ours = tarnRows(find, &summary);
        const QStringList theirs = grepRows(find);
        EXPECT_EQ(ours, theirs) << c.name;
        EXPECT_EQ(summary.matches, ours.size()) << c.name;
        EXPECT_EQ(summary.matches, c.matches) << c.name;
        QSet<QString> files;
        for (const QString& row : ours)
            files.insert(row.left(row.indexOf(QLatin1Char(':'))));
        EXPECT_EQ(summary.filesWithMatches, files.size()) << c.name;
        // The binary file is among the patterns of all cases but the last.
        EXPECT_EQ(summary.binaryFiles, QByteArrayView(c.patterns) == "*.h" ? 0 : 1) << c.name;
    }
}

TEST_F(FindInFilesTree, SummaryRowsAndAFolderThatIsNotThere)
{
    FindInFilesRequest request = wholeTree({QStringLiteral("count"), true, true, false});
    FindSummary summary;
    tarnRows(request, &summary);
    EXPECT_EQ(FindSummaryRow(summary), QStringLiteral("5 matches in 3 files"));
    EXPECT_EQ(FindSkippedRow(summary), QStringLiteral("Skipped 1 binary file"));
    EXPECT_EQ(summary.filesSearched, 4); // main.c count.h util.cpp big.cc
    FindSummary one;
    one.matches = 1;
    one.filesWithMatches = 1;
    one.binaryFiles = 2;
    one.unreadableFiles = 1;
    one.unreadableFolders = 3;
    EXPECT_EQ(FindSummaryRow(one), QStringLiteral("1 match in 1 file"));
    EXPECT_EQ(FindSkippedRow(one),
              QStringLiteral("Skipped 2 binary files, 1 unreadable file, 3 unreadable folders"));
    EXPECT_EQ(FindSkippedRow(FindSummary{}), QString());
    EXPECT_EQ(FindHeadingRow(request),
              QStringLiteral("Find in Files: \"count\" in ") + PathFromBytes(root) +
                  QStringLiteral(" (*.c *.cpp *.cc *.cxx *.h *.hpp, match case, whole word)"));

    request.folder = PathFromBytes(root + "/gone");
    EXPECT_EQ(FindRequestError(request),
              QStringLiteral("There is no folder \"%1\".").arg(request.folder));
    RecordingSink sink;
    EXPECT_TRUE(search(sink, request).folderMissing);
    ASSERT_EQ(sink.rows.size(), 2u);
    EXPECT_EQ(sink.rows[1], RecordingSink::Row("Error: there is no folder " + request.folder, 1));
    request.folder = PathFromBytes(root + "/main.c");
    EXPECT_FALSE(FindRequestError(request).isEmpty());
    request.folder = PathFromBytes(root);
    EXPECT_EQ(FindRequestError(request), QString());
    request.options.text.clear();
    EXPECT_EQ(FindRequestError(request), QStringLiteral("Type the text to find."));
}

TEST_F(FindInFilesTree, FilesOfOtherKindsAndByteNames)
{
    const std::optional<LineMatcher> matcher =
        LineMatcher::create({QStringLiteral("x"), true, false, false});
    ASSERT_TRUE(matcher);
    const std::atomic<bool> cancel{false};
    auto none = [](qint64, QByteArrayView) {};
    // A FIFO is refused at once instead of waiting for a writer; a name
    // that is gone is unreadable.
    const QByteArray fifo = root + "/pipe.c";
    ASSERT_EQ(::mkfifo(fifo.constData(), 0644), 0);
    EXPECT_EQ(SearchFile(fifo, *matcher, cancel, none), FileSearch::Unreadable);
    EXPECT_EQ(SearchFile(root + "/gone.c", *matcher, cancel, none), FileSearch::Unreadable);
    const std::atomic<bool> stopped{true};
    EXPECT_EQ(SearchFile(root + "/main.c", *matcher, stopped, none), FileSearch::Cancelled);

    // A name that is not UTF-8 is read by its bytes, and its row keeps them.
    ASSERT_TRUE(writeBytes(root + "/src/latin\xE9.c", "int x;\n"));
    RecordingSink sink;
    const FindSummary summary = search(sink, wholeTree({QStringLiteral("int x"), true, false, false}));
    EXPECT_EQ(summary.matches, 1);
    // The FIFO matches *.c and is not read: it is neither a regular file
    // nor counted.
    EXPECT_EQ(summary.unreadableFiles, 0);
    ASSERT_EQ(sink.rows.size(), 4u);
    EXPECT_EQ(sink.rows[1].first, QString::fromLatin1("src/latin\xE9.c:1: int x;"));
}

// A line of 40 MB (a generated or minified file) is searched in pieces,
// so memory stays bounded, and still gives one row with its number.
TEST_F(FindInFilesTree, AFolderThatCannotBeReadIsCounted)
{
    ASSERT_EQ(::chmod(root.constData(), 0755), 0);
    ASSERT_EQ(::chmod((root + "/src/deep").constData(), 0700), 0);
    const FindInFilesRequest request = wholeTree({QStringLiteral("count"), false, false, false});
    // Folders that could not be read, then whether the rest was searched.
    const int answer = testsupport::RunWithoutPrivileges([&] {
        MessageChannel nowhere;
        MessageBatcher batch(nowhere);
        const std::atomic<bool> cancel{false};
        const FindSummary summary = FindInTree(request, cancel, batch);
        return int(summary.unreadableFolders * 16 + (summary.filesSearched > 0 ? 1 : 0));
    });
    EXPECT_EQ(answer, 1 * 16 + 1);
    ::chmod((root + "/src/deep").constData(), 0755);
}

TEST_F(FindInFilesTree, AVeryLongLineIsOneRow)
{
    const qsizetype mb = 1024 * 1024;
    QByteArray bytes = "first\n";
    const QByteArray filler(mb, 'x');
    for (int i = 0; i < 40; ++i) {
        bytes += filler;
        // The word at the start of a piece, across the cut at 16 MiB, and
        // at the end.
        if (i == 0 || i == 39)
            bytes += " needle ";
    }
    bytes.insert(7 + 16 * mb - 7, " needle ");
    bytes += "\nmiddle\nlast needle\n";
    const QByteArray path = root + "/long.c";
    ASSERT_TRUE(writeBytes(path, bytes));
    struct Case {
        const char* text;
        std::vector<qint64> lines;
    };
    const Case cases[] = {
        {"needle", {2, 4}}, {"first", {1}}, {"middle", {3}}, {"xxx needle xxx", {2}}};
    const std::atomic<bool> cancel{false};
    for (const Case& c : cases) {
        const std::optional<LineMatcher> matcher =
            LineMatcher::create({QString::fromUtf8(c.text), true, false, false});
        ASSERT_TRUE(matcher);
        std::vector<qint64> lines;
        QByteArray buffer;
        auto hit = [&](qint64 line, QByteArrayView) { lines.push_back(line); };
        EXPECT_EQ(SearchFile(path, *matcher, cancel, hit, &buffer), FileSearch::Searched);
        EXPECT_EQ(lines, c.lines) << c.text;
        // The line was never held whole.
        EXPECT_LT(buffer.capacity(), 40 * mb) << c.text;
    }
}

// The hits of a large file are handed on block by block, not at its end.
TEST_F(FindInFilesTree, HitsOfALargeFileComeWhileItIsRead)
{
    QByteArray bytes = "needle\n";
    while (bytes.size() < 3 * 1024 * 1024 + 100)
        bytes += "filler line of a large generated source\n";
    bytes += "needle\n";
    const QByteArray path = root + "/large.c";
    ASSERT_TRUE(writeBytes(path, bytes));
    const std::optional<LineMatcher> matcher =
        LineMatcher::create({QStringLiteral("needle"), true, false, false});
    ASSERT_TRUE(matcher);
    const std::atomic<bool> cancel{false};
    std::vector<qint64> lines;
    std::vector<size_t> hitsAtEachBlock;
    EXPECT_EQ(SearchFile(
                  path, *matcher, cancel,
                  [&](qint64 line, QByteArrayView) { lines.push_back(line); }, nullptr,
                  [&] { hitsAtEachBlock.push_back(lines.size()); }),
              FileSearch::Searched);
    const qint64 last = bytes.count('\n');
    EXPECT_EQ(lines, (std::vector<qint64>{1, last}));
    EXPECT_EQ(hitsAtEachBlock, (std::vector<size_t>{1, 1, 1}));
}

TEST_F(FindInFilesTree, AStoppedSearchEndsWithoutItsSummary)
{
    const FindInFilesRequest find = wholeTree({QStringLiteral("count"), false, false, false});
    RecordingSink sink;
    EXPECT_TRUE(search(sink, find, true).cancelled);
    ASSERT_EQ(sink.rows.size(), 1u);
    EXPECT_EQ(sink.rows[0].first, FindHeadingRow(find));
}

// Bytes of a source the size of three read blocks and a half, a match on
// every 1000th line, and the numbers of those lines.
struct ShortReadSource {
    QByteArray bytes;
    std::vector<qint64> needleLines;

    ShortReadSource()
    {
        for (qint64 line = 1; bytes.size() < 3 * 1024 * 1024 + 512 * 1024; ++line) {
            if (line % 1000 == 0) {
                bytes += "int needle_" + QByteArray::number(line) + ";\n";
                needleLines.push_back(line);
            } else {
                bytes += "int filler_" + QByteArray::number(line) + " = 0;\n";
            }
        }
        // The last line without its line feed, matching too.
        bytes += "needle at the end";
        needleLines.push_back(bytes.count('\n') + 1);
    }
};

// A read may return fewer bytes than asked anywhere, not only at the end,
// and a signal may interrupt it: the search reads on until a read returns
// nothing and finds every line, with its number, as from whole blocks.
TEST(FindInFilesReads, ShortAndInterruptedReadsMissNothing)
{
    const ShortReadSource source;
    const std::optional<LineMatcher> matcher =
        LineMatcher::create({QStringLiteral("needle"), true, false, false});
    ASSERT_TRUE(matcher);
    const std::atomic<bool> cancel{false};
    struct Case {
        const char* name;
        std::vector<qint64> pieces; // the most each read returns, in turn
        int interruptEvery;         // every n-th read fails with EINTR (0: none)
    };
    const Case cases[] = {
        {"whole blocks", {qint64(1) << 30}, 0},
        {"one byte at a time at first", {1, 1, 1, 4096, 65536}, 0},
        {"odd sizes", {7, 4093, 65537, 300000}, 0},
        {"a block less one", {1024 * 1024 - 1}, 0},
        {"interrupted", {4096, 100000}, 3},
    };
    for (const Case& c : cases) {
        qint64 at = 0;
        size_t call = 0;
        int shortReads = 0;
        const ReadBytes read = [&](char* into, qint64 size) -> qint64 {
            ++call;
            if (c.interruptEvery > 0 && call % size_t(c.interruptEvery) == 0) {
                errno = EINTR;
                return -1;
            }
            const qint64 n =
                std::min({size, c.pieces[call % c.pieces.size()], source.bytes.size() - at});
            std::memcpy(into, source.bytes.constData() + at, size_t(n));
            at += n;
            if (n > 0 && n < size)
                ++shortReads;
            return n;
        };
        std::vector<qint64> lines;
        int blocks = 0;
        EXPECT_EQ(SearchBytes(
                      read, *matcher, cancel,
                      [&](qint64 line, QByteArrayView text) {
                          lines.push_back(line);
                          EXPECT_TRUE(text.startsWith("int needle_") || text == "needle at the end")
                              << c.name;
                      },
                      nullptr, [&] { ++blocks; }),
                  FileSearch::Searched)
            << c.name;
        EXPECT_EQ(lines, source.needleLines) << c.name;
        EXPECT_EQ(at, source.bytes.size()) << c.name;
        EXPECT_EQ(blocks, 3) << c.name;
        if (std::string(c.name) != "whole blocks") {
            EXPECT_GT(shortReads, 3) << c.name << ": the case read no short pieces mid-file";
        }
    }

    // An error that is not an interruption ends the file as unreadable.
    qint64 at = 0;
    const ReadBytes failing = [&](char* into, qint64 size) -> qint64 {
        if (at >= 100000) {
            errno = EIO;
            return -1;
        }
        const qint64 n = std::min<qint64>(size, 4096);
        std::memcpy(into, source.bytes.constData() + at, size_t(n));
        at += n;
        return n;
    };
    EXPECT_EQ(SearchBytes(failing, *matcher, cancel, [](qint64, QByteArrayView) {}),
              FileSearch::Unreadable);
}

// The same through a real pipe whose writer hands the bytes over in small
// pieces: each read takes what has arrived.
TEST(FindInFilesReads, APipeFedInSmallPiecesIsReadToItsEnd)
{
    const ShortReadSource source;
    const std::optional<LineMatcher> matcher =
        LineMatcher::create({QStringLiteral("needle"), true, false, false});
    ASSERT_TRUE(matcher);
    int ends[2] = {-1, -1};
    ASSERT_EQ(::pipe(ends), 0);
    std::thread writer([&] {
        for (qsizetype at = 0; at < source.bytes.size(); at += 1000) {
            const size_t n = size_t(std::min<qsizetype>(1000, source.bytes.size() - at));
            EXPECT_EQ(::write(ends[1], source.bytes.constData() + at, n), ssize_t(n));
        }
        ::close(ends[1]);
    });
    std::vector<qint64> lines;
    qint64 reads = 0;
    qint64 largest = 0;
    const ReadBytes read = [&](char* into, qint64 size) -> qint64 {
        const qint64 got = ::read(ends[0], into, size_t(size));
        ++reads;
        largest = std::max(largest, got);
        return got;
    };
    const std::atomic<bool> cancel{false};
    EXPECT_EQ(SearchBytes(read, *matcher, cancel,
                          [&](qint64 line, QByteArrayView) { lines.push_back(line); }),
              FileSearch::Searched);
    writer.join();
    ::close(ends[0]);
    EXPECT_EQ(lines, source.needleLines);
    // A pipe holds at most 64 KiB: every read was short of a block.
    EXPECT_LE(largest, 64 * 1024);
    EXPECT_GT(reads, source.bytes.size() / (64 * 1024));
}

// Stop Build while a search runs over a large tree: the search ends early,
// its rows so far stay, "Stopped by the user" follows them, and no summary.
TEST(FindInFilesJob, StopBuildEndsARunningSearch)
{
    QTemporaryDir dir;
    const QString root = QDir(dir.path()).canonicalPath();
    QByteArray text;
    for (int i = 0; i < 200; ++i)
        text += "int value = compute(value) + 1;\n";
    for (int d = 0; d < 20; ++d) {
        for (int f = 0; f < 100; ++f)
            ASSERT_TRUE(writeBytes(PathToBytes(root) + "/d" + QByteArray::number(d) + "/f" +
                                       QByteArray::number(f) + ".c",
                                   text));
    }
    // Walked first: matches over more than the binary probe reads (a NUL
    // there would skip the file), then 16 GiB of a hole with no line end,
    // so the search is still running whatever the machine's load when the
    // first rows are shown and the stop comes.
    const QString first = root + QStringLiteral("/a.c");
    const QByteArray head = text + text;
    ASSERT_GT(head.size(), kBinaryProbeBytes);
    ASSERT_TRUE(writeBytes(PathToBytes(first), head));
    // A file system without holes (or with a smaller largest file) cannot
    // hold it: the test needs one that can.
    if (!QFile::resize(first, qint64(16) << 30))
        GTEST_SKIP() << "the file system of " << root.toStdString()
                     << " refuses a 16 GiB file with a hole";
    struct stat hole {};
    ASSERT_EQ(::stat(PathToBytes(first).constData(), &hole), 0);
    if (qint64(hole.st_blocks) * 512 > qint64(1) << 30) {
        QFile::remove(first);
        GTEST_SKIP() << "the file system of " << root.toStdString()
                     << " stores a hole as real blocks";
    }
    RecordingSink sink;
    JobManager jobs(sink.messages());
    FindInFilesRequest request;
    request.options = {QStringLiteral("value"), true, true, false};
    request.folder = root;
    request.patterns = kDefaultFindPatterns;
    const int id = StartFindInFiles(jobs, request);
    ASSERT_GT(id, 0);
    int status = -1;
    QObject::connect(&jobs, &JobManager::jobFinished, [&](int, int s) { status = s; });
    // Stop as soon as the first matches are shown.
    QDeadlineTimer deadline(30000);
    while (sink.rows.size() < 2 && !deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        sink.messages().flush();
    }
    ASSERT_GE(sink.rows.size(), 2u);
    ASSERT_TRUE(StopRunningJobs(jobs));
    ASSERT_TRUE(jobs.waitForAll(30000));
    sink.messages().flush();
    EXPECT_EQ(status, 1);
    ASSERT_GE(sink.rows.size(), 3u);
    EXPECT_EQ(sink.rows.front().first, FindHeadingRow(request));
    EXPECT_EQ(sink.rows.back(), RecordingSink::Row(kStoppedByUserRow, 1));
    // Every row between is a match; the search did not get to its end.
    const qsizetype all = 20 * 100 * 200 + 400;
    EXPECT_LT(qsizetype(sink.rows.size()) - 2, all);
    for (size_t i = 1; i + 1 < sink.rows.size(); ++i)
        EXPECT_TRUE(
            sink.rows[i].first.endsWith(QStringLiteral(": int value = compute(value) + 1;")))
            << sink.rows[i].first.toStdString();
}

} // namespace
