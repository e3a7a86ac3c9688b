// Word completion's words: C identifiers with the typed prefix, the prefix
// before the caret, and the list the popup shows.
#include "editor/WordCompletion.h"

#include <gtest/gtest.h>

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
        EXPECT_EQ(WordPrefixBefore(text, c.position), c.prefix) << c.position;
        EXPECT_EQ(WordEndAfter(text, c.position), c.end) << c.position;
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
