#include "tools/CommandLine.h"

#include <gtest/gtest.h>

namespace {

struct SplitCase {
    const char* name;
    QString line;
    QStringList words;
};

const SplitCase kSplitCases[] = {
    {"empty", "", {}},
    {"only_blanks", " \t ", {}},
    {"runs_of_blanks", "  a \t  b\nc  ", {"a", "b", "c"}},
    {"quotes_join_a_word", "a\"b c\"'d e'f", {"ab cd ef"}},
    {"empty_quotes_are_a_word", "a \"\" ''", {"a", "", ""}},
    {"escaped_blank", "my\\ file.c x", {"my file.c", "x"}},
    {"escaped_quote_in_double", "\"say \\\"hi\\\"\"", {"say \"hi\""}},
    {"other_backslash_in_double_kept", "\"a\\nb\"", {"a\\nb"}},
    {"backslash_in_single_kept", "'a\\b'", {"a\\b"}},
    {"trailing_backslash_kept", "a\\", {"a\\"}},
    {"unterminated_quote", "x \"a b", {"x", "a b"}},
    {"nothing_expanded", "$HOME *.c a>b `x`", {"$HOME", "*.c", "a>b", "`x`"}},
    {"define_with_quotes", "-DNAME=\"\\\"v\\\"\"", {"-DNAME=\"v\""}},
};

class CommandSplitting : public ::testing::TestWithParam<SplitCase> {};

TEST_P(CommandSplitting, GivesTheWords)
{
    EXPECT_EQ(SplitCommandLine(GetParam().line), GetParam().words);
}

INSTANTIATE_TEST_SUITE_P(CommandLine, CommandSplitting, ::testing::ValuesIn(kSplitCases),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
