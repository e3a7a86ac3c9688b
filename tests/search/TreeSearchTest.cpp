// Find in Files on several workers: the rows come in walk order whatever
// the number of workers (a large file first, many small ones after it), a
// stop ends the search with the rows so far in order, and a line too
// complex for the regular expression gets a row and a count.
#include "search/FindInFiles.h"

#include "messages/MessageClassifier.h"
#include "messages/MessageSink.h"
#include "messages/RowBytes.h"
#include "support/TestSupport.h"
#include "tools/PathBytes.h"

#include <QDir>
#include <QObject>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <functional>
#include <vector>

#include <unistd.h>

namespace {

using testsupport::writeBytes;

// Records every row as the bytes it came as, with its icon (-1 for rows
// added as text: the heading and the closing rows).
class ByteSink : public MessageSink {
public:
    struct Row {
        QByteArray bytes;
        int icon;
        friend bool operator==(const Row&, const Row&) = default;
    };

    ByteSink() { m_channel.setSink(this); }
    ~ByteSink() override { m_channel.setSink(nullptr); }

    void AppendLine(const QString& text, int withSeparator) override
    {
        rows.push_back({text.toUtf8(), -1});
        (void)withSeparator;
        if (onRow)
            onRow();
    }
    void AppendStreamRows(const QByteArray& bytes, bool streamEnd, int rowIcon) override
    {
        ForEachOutputRow(QByteArrayView(bytes), streamEnd, [&](QByteArrayView row) {
            rows.push_back({row.toByteArray(), rowIcon});
        });
        if (onRow)
            onRow();
    }
    void ClearMessageRows() override { rows.clear(); }
    QObject* sinkObject() override { return &m_object; }
    MessageChannel& messages() { return m_channel; }

    std::vector<Row> rows;
    std::function<void()> onRow;

private:
    QObject m_object;
    MessageChannel m_channel;
};

class TreeSearch : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        root = PathToBytes(QDir(dir.path()).canonicalPath());
    }
    // QTemporaryDir cannot remove a name that is not text.
    void TearDown() override { ::unlink((root + "/c/caf\xE9.c").constData()); }

    // Writes a file and notes the rows a search for "needle" (or
    // "ne+dle") gives it, in the order the walk comes to the files: the
    // test writes them in that order.
    void addFile(const QByteArray& relative, const QByteArray& bytes)
    {
        ASSERT_TRUE(writeBytes(root + '/' + relative, bytes));
        qint64 line = 1;
        for (const QByteArray& text : bytes.split('\n')) {
            if (text.contains("needle"))
                expected.push_back(
                    {relative + ':' + QByteArray::number(line) + ": " + text, IconMatch});
            ++line;
        }
    }

    FindInFilesRequest request(const char* text, bool regularExpression) const
    {
        FindInFilesRequest find;
        find.options = {QString::fromUtf8(text), true, false, regularExpression};
        find.folder = PathFromBytes(root);
        find.patterns = kDefaultFindPatterns;
        return find;
    }

    // The rows between the heading and the closing rows.
    static std::vector<ByteSink::Row> matchRows(const ByteSink& sink, size_t closing)
    {
        if (sink.rows.size() < 1 + closing)
            return {};
        return {sink.rows.begin() + 1, sink.rows.end() - qsizetype(closing)};
    }

    static FindSummary search(ByteSink& sink, const FindInFilesRequest& find,
                              const std::atomic<bool>& cancel, int threads)
    {
        MessageBatcher batch(sink.messages());
        const FindSummary summary = FindInTree(find, cancel, batch, threads);
        batch.post();
        sink.messages().flush();
        return summary;
    }

    QTemporaryDir dir;
    QByteArray root;
    std::vector<ByteSink::Row> expected;
};

TEST_F(TreeSearch, RowsComeInWalkOrderOnAnyNumberOfWorkers)
{
    // A file of three read blocks and more first, with its matches at its
    // start, in its middle and at its end.
    QByteArray big = "needle at the start\n";
    for (int i = 0; i < 90000; ++i)
        big += i == 45000 ? "int needle_in_the_middle;\n" : "int filler_line_of_the_file;\n";
    big += "needle at the end";
    ASSERT_GT(big.size(), 2 * 1024 * 1024);
    addFile("a/0big.c", big);
    // Many small files after it, some without a match, one in a folder
    // below them, one with Latin-1 text and CR LF lines.
    for (int f = 0; f < 300; ++f) {
        QByteArray text = "int f" + QByteArray::number(f) + "(void);\n";
        if (f % 3 != 0)
            text += "    return needle_" + QByteArray::number(f) + ";\n";
        if (f % 7 == 0)
            text += "/* a second needle */\n";
        addFile("b/f" + QByteArray::number(1000 + f) + ".c", text);
    }
    addFile("b/sub/deep.h", "#define needle 1\n");
    ASSERT_TRUE(writeBytes(root + "/c/caf\xE9.c", "/* caf\xE9 needle */\r\nint x;\r\nneedle\r\n"));
    expected.push_back({"c/caf\xE9.c:1: /* caf\xE9 needle */", IconMatch});
    expected.push_back({"c/caf\xE9.c:3: needle", IconMatch});
    addFile("c/last.cpp", "needle\n");

    for (const char* text : {"needle", "ne+dle"}) {
        const bool regularExpression = QByteArrayView(text) != "needle";
        for (int threads : {1, 2, 4, 8}) {
            ByteSink sink;
            const std::atomic<bool> cancel{false};
            const FindSummary summary =
                search(sink, request(text, regularExpression), cancel, threads);
            const std::vector<ByteSink::Row> rows = matchRows(sink, 1);
            EXPECT_EQ(rows, expected) << text << " on " << threads << " workers";
            EXPECT_EQ(summary.matches, qint64(expected.size()));
            EXPECT_EQ(summary.filesSearched, 304);
            EXPECT_EQ(summary.filesWithMatches, 1 + 200 + 15 + 1 + 1 + 1);
            EXPECT_FALSE(summary.cancelled);
        }
    }
}

// Stopped as soon as the first rows are shown: the search ends, the rows
// shown are the first of the whole search in their order, and there is no
// summary row.
TEST_F(TreeSearch, AStopEndsTheWorkersAndKeepsTheOrder)
{
    QByteArray text;
    for (int i = 0; i < 200; ++i)
        text += "int needle = compute(needle) + 1;\n";
    for (int d = 0; d < 4; ++d) {
        for (int f = 0; f < 100; ++f)
            addFile("d" + QByteArray::number(d) + "/f" + QByteArray::number(100 + f) + ".c", text);
    }
    for (int threads : {1, 4}) {
        ByteSink sink;
        std::atomic<bool> cancel{false};
        sink.onRow = [&] {
            if (sink.rows.size() >= 2)
                cancel = true;
        };
        const FindSummary summary = search(sink, request("needle", false), cancel, threads);
        EXPECT_TRUE(summary.cancelled) << threads;
        const std::vector<ByteSink::Row> rows = matchRows(sink, 0);
        ASSERT_GE(rows.size(), 1u) << threads;
        EXPECT_LT(rows.size(), expected.size() / 4) << threads;
        EXPECT_TRUE(std::equal(rows.begin(), rows.end(), expected.begin())) << threads;
    }
}

// grep -P says "exceeded PCRE's backtracking limit" on such a line; Find in
// Files names the line in a row of its own (not a match, but a place a
// double click opens) and counts it in the summary.
TEST_F(TreeSearch, ALineTooComplexToSearchHasARowAndACount)
{
    const QByteArray hard = QByteArray(40, 'a') + "b z";
    ASSERT_TRUE(writeBytes(root + "/hard.c", "z\n" + hard + "\nz\n"));
    ASSERT_TRUE(writeBytes(root + "/other.c", "zz\n" + hard + "\n"));
    for (int threads : {1, 2}) {
        ByteSink sink;
        const std::atomic<bool> cancel{false};
        FindInFilesRequest find = request("(a+)+$|z", true);
        const FindSummary summary = search(sink, find, cancel, threads);
        EXPECT_EQ(summary.matches, 3);
        EXPECT_EQ(summary.tooComplexLines, 2);
        const QByteArray tooComplex =
            ": (not searched: the regular expression needs too much backtracking on this line)";
        const std::vector<ByteSink::Row> rows = {
            {"hard.c:1: z", IconMatch},
            {"hard.c:2" + tooComplex, IconDiagnostic},
            {"hard.c:3: z", IconMatch},
            {"other.c:1: zz", IconMatch},
            {"other.c:2" + tooComplex, IconDiagnostic},
        };
        EXPECT_EQ(matchRows(sink, 1), rows) << threads;
        ASSERT_FALSE(sink.rows.empty());
        EXPECT_EQ(sink.rows.back().bytes, "3 matches in 2 files, 2 lines too complex to search");
    }
    const std::optional<DiagnosticLocation> place = parseDiagnostic(
        QStringLiteral("hard.c:2: (not searched: the regular expression needs too much "
                       "backtracking on this line)"));
    ASSERT_TRUE(place);
    EXPECT_EQ(place->fileName, QStringLiteral("hard.c"));
    EXPECT_EQ(place->line, 2);

    FindSummary one;
    one.matches = 4;
    one.filesWithMatches = 2;
    one.tooComplexLines = 1;
    EXPECT_EQ(FindSummaryRow(one),
              QStringLiteral("4 matches in 2 files, 1 line too complex to search"));
    one.tooComplexLines = 0;
    EXPECT_EQ(FindSummaryRow(one), QStringLiteral("4 matches in 2 files"));
}

} // namespace
