// The Find in Files matcher: what matches a line, how a block is cut into
// numbered lines (LF and CR LF), binary detection, file patterns and rows.
#include "search/FindMatcher.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace {

FindOptions options(const char* text, bool matchCase, bool wholeWord, bool regex)
{
    return {QString::fromUtf8(text), matchCase, wholeWord, regex};
}

using Hits = std::vector<std::pair<qint64, QByteArray>>;

Hits scan(const FindOptions& options, QByteArrayView block, qint64 firstLine, qint64* lineFeeds)
{
    Hits hits;
    const std::optional<LineMatcher> matcher = LineMatcher::create(options);
    EXPECT_TRUE(matcher);
    if (!matcher)
        return hits;
    *lineFeeds = matcher->scan(block, firstLine, [&](qint64 line, QByteArrayView text) {
        hits.emplace_back(line, text.toByteArray());
    });
    return hits;
}

TEST(FindMatcher, WhichLinesMatch)
{
    struct Case {
        const char* name;
        FindOptions options;
        const char* line;
        bool matches;
    };
    const Case cases[] = {
        {"plain, any case", options("count", false, false, false), "int Count = 0;", true},
        {"plain, any case, inside a word", options("count", false, false, false), "recounted", true},
        {"plain, match case refuses other case", options("count", true, false, false), "int Count = 0;", false},
        {"plain, match case", options("Count", true, false, false), "int Count = 0;", true},
        {"upper-case text, any case", options("COUNT", false, false, false), "x = count;", true},
        {"whole word at line start", options("count", false, true, false), "count = 1;", true},
        {"whole word at line end", options("count", false, true, false), "return count", true},
        {"whole word refuses a prefix", options("count", false, true, false), "counter++;", false},
        {"whole word refuses an underscore", options("count", false, true, false), "my_count = 1;", false},
        {"whole word refuses a digit", options("count", false, true, false), "count2 = 1;", false},
        {"whole word: a later occurrence suits", options("count", false, true, false), "counter = count;", true},
        {"whole word with match case", options("Count", true, true, false), "count Count", true},
        {"whole word, match case, wrong case only", options("Count", true, true, false), "count counter", false},
        {"regex", options("c[o]u+nt\\(", true, false, true), "x = count(3);", true},
        {"regex refuses", options("^count", true, false, true), "x = count;", false},
        {"regex anchored", options("^\\s*int\\s", true, false, true), "   int x;", true},
        {"regex any case", options("^COUNT$", false, false, true), "count", true},
        {"regex whole word", options("co.nt", false, true, true), "discount coent", true},
        {"regex whole word refuses", options("co.nt", false, true, true), "discount", false},
        {"regex alternation keeps whole word on both", options("ab|cd", false, true, true), "xab cdx", false},
        {"regex metacharacters are plain without regex", options("a.b(", true, false, false), "a.b(1)", true},
        {"plain text with a dot does not match any byte", options("a.b", true, false, false), "axb", false},
        {"UTF-8 text, match case", options("gr\xC3\xBC\xC3\x9F", true, false, false), "// gr\xC3\xBC\xC3\x9F", true},
        {"UTF-8 text, any case", options("\xC3\x84RGER", false, false, false), "// \xC3\xA4rger",
         true},
        {"UTF-8 text, whole word", options("\xC3\xA4rger", false, true, false), "\xC3\xA4rgerlich", false},
        {"regex on a line that is not UTF-8", options("b.d", true, false, true), "b\xE9" "d", true},
        {"any case leaves the bytes next to the letters", options("[", false, false, false), "{ @ `", false},
        {"any case leaves the bytes next to the letters, folded", options("`", false, false, false),
         "@@@@@@@@@@@@@@@@ [[[[[[[[[[[[[[[[", false},
        {"any case over whole words of eight bytes", options("return", false, false, false),
         "xxxxxxxxxxxxxxxxxxxRETURNxxxxxxxxxxxxxx", true},
        {"any case at the end of a long line", options("zeta", false, false, false), "aaaaaaaaaaaaaaaaaaaZeTa", true},
        {"any case folds Z inside the eight-byte blocks and across their edge",
         options("lazy", false, false, false), "the quick brown fox: LAZZLAZY dog", true},
        {"any case, high bytes are not letters", options("a", false, false, false),
         "\xC1\xE1\x81\xC1\xE1\x81\xC1\xE1\x81", false},
        {"the carriage return is no word", options("end", true, true, false), "end\r", true},
    };
    for (const Case& c : cases) {
        qint64 lineFeeds = -1;
        const Hits hits = scan(c.options, QByteArrayView(c.line), 1, &lineFeeds);
        EXPECT_EQ(!hits.empty(), c.matches) << c.name;
    }
}

TEST(FindMatcher, CutsBlocksIntoNumberedLines)
{
    struct Case {
        const char* name;
        FindOptions options;
        QByteArray block;
        qint64 firstLine;
        Hits hits;
        qint64 lineFeeds;
    };
    const Case cases[] = {
        {"LF", options("x", true, false, false), "a\nx1\nb\nx2\n", 1, {{2, "x1"}, {4, "x2"}}, 4},
        {"CR LF drops the CR",
         options("x", true, false, false),
         "a\r\nx1\r\nb\r\nx2\r\n",
         1,
         {{2, "x1"}, {4, "x2"}},
         4},
        {"CR LF, regex", options("x\\d$", true, false, true), "a\r\nx1\r\nb\r\nx2\r\n", 1, {{2, "x1"}, {4, "x2"}}, 4},
        {"CR LF, any case", options("X", false, false, false), "x1\r\n", 1, {{1, "x1"}}, 1},
        {"a lone CR is part of the line", options("x", true, false, false), "a\rx\n", 1, {{1, "a\rx"}}, 1},
        {"last line without a line feed", options("x", true, false, false), "a\nbx", 1, {{2, "bx"}}, 1},
        {"numbers go on from the block's first line",
         options("x", true, false, false),
         "x\n\nx\n",
         101,
         {{101, "x"}, {103, "x"}},
         3},
        {"two matches on one line give one hit",
         options("x", true, false, false),
         "x x x\nx\n",
         1,
         {{1, "x x x"}, {2, "x"}},
         2},
        {"empty lines are counted", options("x", true, false, false), "\n\n\n\nx", 1, {{5, "x"}}, 4},
        {"whole word skips to a later suitable hit",
         options("ab", true, true, false),
         "abc\nxab ab\n",
         1,
         {{2, "xab ab"}},
         2},
        {"no hit still counts the lines", options("zz", true, false, false), "a\nb\nc\n", 7, {}, 3},
        {"regex, empty lines", options("^$", true, false, true), "a\n\nb\n", 1, {{2, ""}}, 3},
    };
    for (const Case& c : cases) {
        qint64 lineFeeds = -1;
        EXPECT_EQ(scan(c.options, c.block, c.firstLine, &lineFeeds), c.hits) << c.name;
        EXPECT_EQ(lineFeeds, c.lineFeeds) << c.name;
    }
}

TEST(FindMatcher, RefusesEmptyTextAndInvalidRegularExpressions)
{
    EXPECT_EQ(FindOptionsError(options("", false, false, false)),
              QStringLiteral("Type the text to find."));
    EXPECT_FALSE(LineMatcher::create(options("", false, false, true)));
    const QString error = FindOptionsError(options("count(", false, false, true));
    EXPECT_TRUE(error.startsWith(QStringLiteral("Invalid regular expression at offset 6: ")))
        << error.toStdString();
    EXPECT_FALSE(LineMatcher::create(options("count(", false, false, true)));
    // Whole word wraps the expression; an expression that only the wrap
    // would balance is still refused.
    EXPECT_FALSE(FindOptionsError(options("a)(b", false, true, true)).isEmpty());
    EXPECT_FALSE(LineMatcher::create(options("a)(b", false, true, true)));
    // Without Regular expression the same text is plain text.
    EXPECT_TRUE(FindOptionsError(options("count(", false, false, false)).isEmpty());
    EXPECT_TRUE(LineMatcher::create(options("count(", false, false, false)));
}

TEST(FindMatcher, BinaryIsAZeroByteInTheFirst8KiB)
{
    struct Case {
        const char* name;
        QByteArray head;
        bool binary;
    };
    const Case cases[] = {
        {"empty", QByteArray(), false},
        {"text", "int main(void);\n", false},
        {"zero at the start", QByteArray("\0ELF", 4), true},
        {"zero at the last probed byte", QByteArray(8191, 'a') + '\0', true},
        {"zero just after the probe", QByteArray(8192, 'a') + '\0', false},
        {"high bytes are text", "caf\xE9\n\xFF\xFE", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(LooksBinary(c.head), c.binary) << c.name;
}

TEST(FindMatcher, FilePatterns)
{
    EXPECT_EQ(SplitFilePatterns(QStringLiteral(" *.c  *.h;*.cpp,Makefile ")),
              (QList<QByteArray>{"*.c", "*.h", "*.cpp", "Makefile"}));
    EXPECT_TRUE(SplitFilePatterns(QStringLiteral("  ")).isEmpty());
    struct Case {
        const char* pattern;
        const char* name;
        bool matches;
    };
    const Case cases[] = {
        {"*.c", "main.c", true},
        {"*.c", "main.cc", false},
        {"*.c", ".c", true},
        {"*.c", "main.C", false},
        {"*.cc", "a.cc", true},
        {"?.h", "a.h", true},
        {"?.h", "ab.h", false},
        {"Makefile", "Makefile", true},
        {"Makefile", "makefile", false},
        {"*", "anything", true},
        {"*.*", "noext", false},
        {"a*b*c", "axxbyyc", true},
        {"a*b*c", "axxbyy", false},
        {"*ab", "aab", true},
        {"[mM]akefile", "makefile", true},
        {"[!a-c]x", "dx", true},
        {"[!a-c]x", "bx", false},
        {"[a-c]x", "bx", true},
        {"[a-c]x", "ax", true},
        {"[a-c]x", "cx", true},
        {"[a-c]x", "dx", false},
        {"[!a-c]x", "cx", false},
        {"[abc", "[abc", true},
        {"*.c", "caf\xE9.c", true},
        {"*\xE9.c", "caf\xE9.c", true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(MatchesGlob(c.pattern, c.name), c.matches) << c.pattern << " " << c.name;
    const QList<QByteArray> defaults = SplitFilePatterns(QStringLiteral("*.c *.h"));
    EXPECT_TRUE(MatchesFilePatterns("x.h", defaults));
    EXPECT_FALSE(MatchesFilePatterns("x.txt", defaults));
    EXPECT_TRUE(MatchesFilePatterns("x.txt", {}));
}

TEST(FindMatcher, RowsCutLongLinesAtACharacterBoundary)
{
    const QByteArray ascii(kMaxShownLineBytes + 10, 'a');
    // A two-byte character across the limit is left out whole.
    const QByteArray wide = QByteArray(kMaxShownLineBytes - 1, 'a') + "\xC3\xA4" + "bc";
    QByteArray rows = "kept\n";
    AppendFindRow(rows, "src/a.c", 12, "\tint x;");
    AppendFindRow(rows, "a.c", 1, "");
    AppendFindRow(rows, "a.c", 3, ascii);
    AppendFindRow(rows, "a.c", 4, wide);
    EXPECT_EQ(rows, "kept\nsrc/a.c:12: \tint x;\na.c:1: \na.c:3: " + ascii.left(kMaxShownLineBytes) +
                        "\na.c:4: " + QByteArray(kMaxShownLineBytes - 1, 'a') + '\n');
}

} // namespace
