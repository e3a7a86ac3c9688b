// Word completion's words: C identifiers with the typed prefix, the prefix
// before the caret, and the list the popup shows.
#include "editor/WordCompletion.h"

#include <gtest/gtest.h>

#include <string>

namespace {

QByteArray collected(QByteArrayView text, QByteArrayView prefix)
{
    CompletionWords words;
    CollectCompletionWords(text, prefix, words);
    return CompletionList(words, prefix, kMaxCompletionWords);
}

TEST(WordCompletion, WordsOfATextWithThePrefix)
{
    struct Case {
        const char* name;
        QByteArray text;
        QByteArray prefix;
        QByteArray list;
    };
    static const char mixed[] = "a\xc3\xa9z foo-bar\tbaz\0qux";
    const Case cases[] = {
        {"sorted and distinct", "print_line(p); printf(\"%d\", x); print_line();", "pri",
         "print_line printf"},
        {"no prefix: every word", "int b = a_1 + b;", "", "a_1 b int"},
        {"numbers are no words", "x = 0x1F + 10ul + 3rd + x2;", "", "x x2"},
        {"the prefix alone completes nothing", "max maximum", "max", "maximum"},
        {"case matters", "Value value VALUE", "va", "value"},
        {"words end at any other byte", QByteArray(mixed, sizeof mixed - 1), "",
         "a bar baz foo qux z"},
        {"prefix of digits and underscore", "_1x _1y __z", "_1", "_1x _1y"},
        {"nothing fits", "alpha beta", "gam", ""},
        {"empty text", "", "", ""},
        {"word at the very end", "abc abcdef", "abcd", "abcdef"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(collected(c.text, c.prefix), c.list) << c.name;
}

TEST(WordCompletion, PrefixBeforeAndWordEndAfterTheCaret)
{
    const QByteArray text = "int count_all = 0x10;";
    struct Case {
        qsizetype position;
        QByteArray prefix;
        qsizetype end;
    };
    const Case cases[] = {
        {0, "", 3},       {2, "in", 3},          {3, "int", 3},    {4, "", 13},
        {9, "count", 13}, {13, "count_all", 13}, {20, "0x10", 20}, {21, "", 21},
        {-5, "", 3},      {999, "", 21},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(WordPrefixBefore(TextPieces{text, {}}, c.position), c.prefix) << c.position;
        EXPECT_EQ(WordEndAfter(text, c.position), c.end) << c.position;
    }
}

// A text held in two pieces, cut anywhere (inside a word, at its ends,
// at either end of the text), gives what the whole text gives.
TEST(WordCompletion, ATextInTwoPiecesGivesWhatTheWholeTextGives)
{
    const QByteArray texts[] = {"int count_all = 0x10; count_all++;", "abc", "a b", "_x1 2y", ""};
    for (const QByteArray& text : texts) {
        for (qsizetype cut = 0; cut <= text.size(); ++cut) {
            const TextPieces pieces{QByteArrayView(text).first(cut), QByteArrayView(text).sliced(cut)};
            const std::string where = text.toStdString() + " cut at " + std::to_string(cut);
            for (const QByteArray& prefix : {QByteArray(), QByteArray("c"), QByteArray("count"), QByteArray("_")}) {
                CompletionWords whole, pieced;
                CollectCompletionWords(text, prefix, whole);
                CollectCompletionWords(pieces, prefix, pieced);
                EXPECT_EQ(pieced, whole) << where << ", prefix " << prefix.toStdString();
            }
            for (qsizetype at = -1; at <= text.size() + 1; ++at) {
                EXPECT_EQ(WordPrefixBefore(pieces, at), WordPrefixBefore(TextPieces{text, {}}, at)) << where << ", at " << at;
                EXPECT_EQ(WordEndAfter(pieces, at), WordEndAfter(text, at)) << where << ", at " << at;
                for (qsizetype to = at; to <= text.size() + 1; ++to) {
                    const TextPieces slice = pieces.range(at, to);
                    const qsizetype from = qBound(qsizetype(0), at, text.size());
                    EXPECT_EQ(slice.first.toByteArray() + slice.second.toByteArray(),
                              text.mid(from, qBound(from, to, text.size()) - from))
                        << where << ", slice " << at << ".." << to;
                }
            }
        }
    }
}

TEST(WordCompletion, NamesJoinTheWordsAndTheListNarrowsAndIsCapped)
{
    CompletionWords words;
    CollectCompletionWords("static int parse_args(void);", "pa", words);
    CollectCompletionNames({QStringLiteral("parse_file"), QStringLiteral("pa"),
                            QStringLiteral("main"), QStringLiteral("pa\u00e9x"),
                            QStringLiteral("parse args")},
                           "pa", words);
    EXPECT_EQ(CompletionList(words, "pa", 100), "parse_args parse_file");
    // The popup's list narrows to the letters typed since it opened.
    EXPECT_EQ(CompletionList(words, "parse_f", 100), "parse_file");
    EXPECT_EQ(CompletionList(words, "parse_x", 100), "");
    EXPECT_EQ(CompletionList(words, "parse_file", 100), "");

    CompletionWords many;
    QByteArray text;
    for (int i = 0; i < 20; ++i)
        text += "w" + QByteArray::number(100 + i) + " ";
    CollectCompletionWords(text, "w", many);
    EXPECT_EQ(CompletionList(many, "w", 3), "w100 w101 w102");
    EXPECT_EQ(CompletionList(many, "w11", 3), "w110 w111 w112");
}

} // namespace
