// A regular expression searched over whole blocks finds exactly the lines
// that matching each line on its own (decoded as UTF-8, with
// QRegularExpression, as Find in Files has always matched) finds; a line
// PCRE2 gives up on is reported instead of being skipped.
#include "search/RegexScan.h"
#include "search/FindMatcher.h"

#include <QRegularExpression>

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace {

struct Scanned {
    std::vector<qint64> hits;
    std::vector<QByteArray> texts;
    std::vector<qint64> tooComplex;
    qint64 lineFeeds = -1;
};

Scanned scan(const FindOptions& options, QByteArrayView block, qint64 firstLine = 1)
{
    Scanned out;
    const std::optional<LineMatcher> matcher = LineMatcher::create(options);
    EXPECT_TRUE(matcher) << options.text.toStdString();
    if (!matcher)
        return out;
    out.lineFeeds = matcher->scan(
        block, firstLine,
        [&](qint64 line, QByteArrayView text) {
            out.hits.push_back(line);
            out.texts.push_back(text.toByteArray());
        },
        [&](qint64 line) { out.tooComplex.push_back(line); });
    return out;
}

// Each line on its own: cut at line feeds, the carriage return of its end
// dropped, decoded, matched with QRegularExpression.
std::vector<qint64> eachLineOnItsOwn(const QRegularExpression& regex, QByteArrayView block)
{
    std::vector<qint64> hits;
    qint64 number = 1;
    qsizetype start = 0;
    while (start < block.size()) {
        qsizetype end = block.indexOf('\n', start);
        const bool last = end < 0;
        if (last)
            end = block.size();
        QByteArrayView line = block.sliced(start, end - start);
        if (line.endsWith('\r'))
            line.chop(1);
        if (regex.match(QString::fromUtf8(line)).hasMatch())
            hits.push_back(number);
        if (last)
            break;
        ++number;
        start = end + 1;
    }
    return hits;
}

std::vector<qint64> eachLineOnItsOwn(const FindOptions& options, QByteArrayView block)
{
    return eachLineOnItsOwn(FindPattern(options), block);
}

FindOptions regex(const char* pattern, bool matchCase = true, bool wholeWord = false)
{
    return {QString::fromUtf8(pattern), matchCase, wholeWord, true};
}

struct Case {
    const char* name;
    FindOptions options;
    QByteArray block;
    std::vector<qint64> hits;
};

const std::vector<Case>& cases()
{
    static const std::vector<Case> all = {
        {"a match on the first line", regex("ret.rn"), "return 1;\nx\n", {1}},
        {"a match on the last line, no line feed", regex("ret.rn"), "abc\nreturn", {2}},
        {"matches on every line", regex("ret.rn"), "return\nreturn\nreturn\n", {1, 2, 3}},
        {"CR LF: $ before the carriage return", regex("x\\d$"), "x1\r\nx2\r\nx3 \r\n", {1, 2}},
        {"CR LF: ^ after the line feed", regex("^b"), "a\r\nb\r\nab\r\n", {2}},
        {"^ at each line's start", regex("^int"), "int a;\n  int b;\nint c;", {1, 3}},
        {"$ at each line's end", regex(";$"), "a;\nb; \nc;", {1, 3}},
        {"a lone $ on every line", regex("$"), "a\nb", {1, 2}},
        {". never takes a line feed", regex("a.b"), "a\nb\naxb\n", {3}},
        {"\\s does not join two lines", regex("a\\sb"), "a\nb\na b\n", {3}},
        {"\\s+ does not join CR LF lines", regex("a\\s+b"), "a\r\nb\r\n", {}},
        {"[^a] does not join two lines", regex("x[^a]y"), "x\ny\nxzy\n", {3}},
        {"a match across lines, then one inside the second", regex("a\\s*b"), "a\n  b ab\n", {2}},
        {"a match across many lines", regex("<[^>]*>"), "<a\nb\nc\n<d>\n", {4}},
        {"an empty match on every line", regex("x*"), "a\n\nb", {1, 2, 3}},
        {"no line after the last line feed", regex("x*"), "a\n", {1}},
        {"empty lines", regex("^$"), "a\n\nb\n\n", {2, 4}},
        {"empty CR LF lines", regex("^$"), "a\r\n\r\nb\r\n", {2}},
        {"look-behind stays on the line", regex("(?<=;)x"), "a;\nx\n;x\n", {3}},
        {"look-ahead stays on the line", regex("x(?=\\s)"), "x\nx \n", {2}},
        {"negative look-behind at a line's start", regex("(?<!\\s)x"), "a \nx\n x\n", {2}},
        {"negative look-ahead at a line's end", regex("x(?!\\s)"), "x\nx \n", {1}},
        {"\\A is each line's start", regex("\\Ax"), "x\nx\n ax\n", {1, 2}},
        {"\\z is each line's end", regex("x\\z"), "ax\nx \n", {1}},
        {"\\G at each line's start", regex("\\Gx"), "x\nx\nax\n", {1, 2}},
        {"a possessive quantifier stops at the line end", regex("a\\s*+$"), "a  \nb\n", {1}},
        {"an atomic group stops at the line end", regex("(?>a\\s*)$"), "a \nb", {1}},
        {"(*COMMIT) on one line leaves the next", regex("a(*COMMIT)b"), "ax\nab\n", {2}},
        {"\\C is one UTF-16 unit, as it has always been", regex("a\\Cb"), "a\xC3\xA4" "b\nab\n", {1}},
        {"\\K", regex("a\\Kb"), "a\nb\nab\n", {3}},
        {"extended syntax", regex("(?x) a \\s* b"), "a\nb\na b\n", {3}},
        {"a carriage return inside a line is a character", regex("a.b"), "a\rb\nab\n", {1}},
        {"^ not after an inner carriage return", regex("^b"), "a\rb\nb\n", {2}},
        {"$ not before an inner carriage return", regex("a$"), "a\rb\na\n", {2}},
        {"two carriage returns before the line feed", regex("a.$"), "a\r\r\nb\n", {1}},
        {"Latin-1 byte is one replaced character", regex("b.d"), "b\xE9" "d\nbed\nbd\n", {1, 2}},
        {"Latin-1 byte is not the letter", regex("caf\\x{e9}"), "caf\xE9\ncaf\xC3\xA9\n", {2}},
        {"Latin-1 line amid UTF-8 lines", regex("^\\w+$"), "abc\nd\xE9" "f\n\xC3\xA4x\n", {1}},
        {"a byte order mark at a line's start is dropped", regex("^int"), "\xEF\xBB\xBFint x;\nint y;\n", {1, 2}},
        {"a surrogate's bytes are not UTF-8", regex("a...b"), "a\xED\xA0\x80" "b\n", {1}},
        {"a cut sequence at the end", regex("a.$"), "x\na\xF0\x9F", {}},
        {"a cut sequence, two replacement characters", regex("a..$"), "x\na\xF0\x9F", {2}},
        {"any case", regex("RET.RN", false), "Return\nreturn\nRETURN\n", {1, 2, 3}},
        {"any case beyond ASCII", regex("\xC3\xA4rger", false), "\xC3\x84RGER\n", {1}},
        {"whole word", regex("co.nt", true, true), "count\ndiscount\ncounter\n", {1}},
        {"whole word at the line's ends", regex("co.nt", true, true), "x\ncount\r\ncount", {2, 3}},
        {"whole word, CR LF", regex("[a-z]+", true, true), "_\r\nab\r\n", {2}},
        {"a quoted text with letters beyond ASCII, any case",
         {QString::fromUtf8("\xC3\xA4.b"), false, false, false},
         "\xC3\x84.B\n\xC3\xA4xb\n",
         {1}},
        {"numbered from the block's first line", regex("x"), "x\nx", {1, 2}},
    };
    return all;
}

TEST(RegexScan, SameLinesAsEachLineOnItsOwn)
{
    for (const Case& c : cases()) {
        const Scanned out = scan(c.options, c.block);
        EXPECT_EQ(out.hits, c.hits) << c.name;
        EXPECT_EQ(out.hits, eachLineOnItsOwn(c.options, c.block)) << c.name;
        EXPECT_TRUE(out.tooComplex.empty()) << c.name;
        EXPECT_EQ(out.lineFeeds, c.block.count('\n')) << c.name;
    }
}

// Every pattern of the table on every block of the table: the same lines
// as each line on its own.
TEST(RegexScan, EveryPatternOnEveryBlock)
{
    QByteArray all;
    for (const Case& c : cases())
        all += c.block + '\n';
    for (const Case& c : cases()) {
        for (const Case& other : cases()) {
            EXPECT_EQ(scan(c.options, other.block).hits, eachLineOnItsOwn(c.options, other.block))
                << c.name << " on the block of: " << other.name;
        }
        EXPECT_EQ(scan(c.options, all).hits, eachLineOnItsOwn(c.options, all)) << c.name;
    }
}

// Blocks made of pieces that sit at the edges of what a run may hold (line
// ends of both kinds, inner carriage returns, Latin-1 bytes, characters of
// two bytes, byte order marks, cut sequences), a fixed sequence of them, and
// patterns that look at line ends in every way: the same lines as each line
// on its own, every time.
TEST(RegexScan, MixedBlocksAgainstEachLineOnItsOwn)
{
    const char* const pieces[] = {
        "a",    "b",  "ab",   "x",        " ",        "\t",           ";",        "\n",     "\n",
        "\r\n", "\r", "\xE9", "\xC3\xA4", "\xC3\x84", "\xEF\xBB\xBF", "\xF0\x9F", "return", "RET"};
    const char* const patterns[] = {"a",        "^a",
                                    "a$",       "^$",
                                    "a.b",      "a\\sb",
                                    "a[^x]b",   "x*",
                                    "\\bab\\b", "(?<=;)a",
                                    "a(?=\\s)", "(?<!b)a",
                                    "a(?!b)",   "\\Aa",
                                    "b\\z",     "^\\W+$",
                                    "a\\s*+$",  "(?s)a.*b",
                                    "\\x{e4}",  "\\x{fffd}",
                                    "^.$",      "r.t",
                                    "(a|b)\\1", "\\R",
                                    "\\v",      "[[:^alpha:]]{2}"};
    std::mt19937 random(29);
    std::uniform_int_distribution<int> pick(0, int(std::size(pieces)) - 1);
    std::uniform_int_distribution<int> length(0, 40);
    std::vector<QByteArray> blocks(400);
    for (QByteArray& block : blocks) {
        for (int n = length(random); n > 0; --n)
            block += pieces[pick(random)];
    }
    for (const char* pattern : patterns) {
        for (bool matchCase : {true, false}) {
            for (bool wholeWord : {false, true}) {
                const FindOptions options = regex(pattern, matchCase, wholeWord);
                const std::optional<LineMatcher> matcher = LineMatcher::create(options);
                ASSERT_TRUE(matcher) << pattern;
                const QRegularExpression reference = FindPattern(options);
                for (const QByteArray& block : blocks) {
                    std::vector<qint64> hits;
                    matcher->scan(block, 1,
                                  [&](qint64 line, QByteArrayView) { hits.push_back(line); });
                    ASSERT_EQ(hits, eachLineOnItsOwn(reference, block))
                        << pattern << " on " << block.toPercentEncoding().constData();
                }
            }
        }
    }
}

TEST(RegexScan, HitsCarryTheLineWithoutItsEnd)
{
    const Scanned out = scan(regex("b"), "a\r\nab\r\nb\n\xEF\xBB\xBF"
                                         "b\r\ncab");
    EXPECT_EQ(out.hits, (std::vector<qint64>{2, 3, 4, 5}));
    EXPECT_EQ(out.texts, (std::vector<QByteArray>{"ab", "b",
                                                  "\xEF\xBB\xBF"
                                                  "b",
                                                  "cab"}));
    const Scanned numbered = scan(regex("b"), "b\nx\nb\n", 41);
    EXPECT_EQ(numbered.hits, (std::vector<qint64>{41, 43}));
}

// Long blocks are searched in runs: matches at the runs' edges, a Latin-1
// line among them, and the line numbers across them.
TEST(RegexScan, LongBlocksAcrossRuns)
{
    QByteArray block;
    std::vector<qint64> expected;
    for (int i = 1; i <= 30000; ++i) {
        if (i % 997 == 0 || i == 1 || i == 30000) {
            block += "    return value_" + QByteArray::number(i) + ";\n";
            expected.push_back(i);
        } else if (i % 1001 == 0) {
            block += "    /* caf\xE9 r\xE9turn */\n";
            expected.push_back(i);
        } else {
            block += "    total += entries[" + QByteArray::number(i) + "].weight;\n";
        }
    }
    ASSERT_GT(block.size(), 4 * 64 * 1024);
    const FindOptions options = regex("r.turn");
    const Scanned out = scan(options, block);
    EXPECT_EQ(out.hits, expected);
    EXPECT_EQ(out.hits, eachLineOnItsOwn(options, block));
    EXPECT_EQ(out.lineFeeds, 30000);
}

// grep -P says "exceeded PCRE's backtracking limit" for such a line; the
// line is named instead of being left out without a word.
TEST(RegexScan, ALineTooComplexToMatchIsReported)
{
    const QByteArray hard = QByteArray(40, 'a') + "b z";
    const QByteArray block = "z\n" + hard + "\nnothing\n" + hard + "\r\nz";
    for (const FindOptions& options : {regex("(a+)+$|z"), regex("(a+)+$|z", false),
                                       regex("(a+)+$|z", true, true), regex("(?!q)(a+)+$|z")}) {
        const Scanned out = scan(options, block);
        EXPECT_EQ(out.hits, (std::vector<qint64>{1, 5})) << options.text.toStdString();
        EXPECT_EQ(out.tooComplex, (std::vector<qint64>{2, 4})) << options.text.toStdString();
        EXPECT_EQ(out.lineFeeds, 4);
    }
}

TEST(RegexScan, WhereRunsMustStop)
{
    struct Trouble {
        const char* name;
        QByteArray bytes;
        qsizetype from;
        qsizetype at;
    };
    const Trouble cases[] = {
        {"ASCII", "int main(void) { return 0; }\n", 0, 29},
        {"UTF-8 of two, three and four bytes", "\xC3\xA4 \xE2\x82\xAC \xF0\x9F\x98\x80 x\n", 0, 14},
        {"CR LF", "a\r\nb\r\n", 0, 6},
        {"a carriage return at the very end", "a\r\nb\r", 0, 5},
        {"a lone carriage return", "abcdefghij\rk\n", 0, 10},
        {"two carriage returns", "a\r\r\n", 0, 1},
        {"a Latin-1 byte", "caf\xE9\n", 0, 3},
        {"a continuation byte alone", "ab\x80", 0, 2},
        {"an overlong form", "a\xC0\xAF", 0, 1},
        {"a surrogate", "ab\xED\xA0\x80", 0, 2},
        {"beyond U+10FFFF", "\xF4\x90\x80\x80", 0, 0},
        {"a cut sequence", "abcdefgh\xE2\x82", 0, 8},
        {"a byte order mark", "x\n\xEF\xBB\xBFy", 0, 2},
        {"from a later line", "\xE9\nabc\n", 2, 6},
    };
    for (const Trouble& c : cases)
        EXPECT_EQ(FirstLineTrouble(c.bytes, c.from), c.at) << c.name;
}

} // namespace
