#include "tools/CommandLine.h"

#include <gtest/gtest.h>

namespace {

struct SplitCase {
    const char* name;
    SplitRules rules;
    QString line;
    QStringList words;
};

const SplitCase kSplitCases[] = {
    {"empty", SplitRules::Posix, "", {}},
    {"only_blanks", SplitRules::Posix, " \t ", {}},
    {"runs_of_blanks", SplitRules::Posix, "  a \t  b\nc  ", {"a", "b", "c"}},
    {"quotes_join_a_word", SplitRules::Posix, "a\"b c\"'d e'f", {"ab cd ef"}},
    {"empty_quotes_are_a_word", SplitRules::Posix, "a \"\" ''", {"a", "", ""}},
    {"escaped_blank", SplitRules::Posix, "my\\ file.c x", {"my file.c", "x"}},
    {"escaped_quote_in_double", SplitRules::Posix, "\"say \\\"hi\\\"\"", {"say \"hi\""}},
    {"other_backslash_in_double_kept", SplitRules::Posix, "\"a\\nb\"", {"a\\nb"}},
    {"backslash_in_single_kept", SplitRules::Posix, "'a\\b'", {"a\\b"}},
    {"trailing_backslash_kept", SplitRules::Posix, "a\\", {"a\\"}},
    {"unterminated_quote", SplitRules::Posix, "x \"a b", {"x", "a b"}},
    {"nothing_expanded", SplitRules::Posix, "$HOME *.c a>b `x`", {"$HOME", "*.c", "a>b", "`x`"}},
    {"define_with_quotes", SplitRules::Posix, "-DNAME=\"\\\"v\\\"\"", {"-DNAME=\"v\""}},
    {"windows_paths", SplitRules::Windows, "C:\\SRC\\HELLO.C \"C:\\My Dir\\x.c\" -c",
     {"C:\\SRC\\HELLO.C", "C:\\My Dir\\x.c", "-c"}},
    {"windows_single_quotes_plain", SplitRules::Windows, "'a b'", {"'a", "b'"}},
};

class CommandSplitting : public ::testing::TestWithParam<SplitCase> {};

TEST_P(CommandSplitting, GivesTheWords)
{
    EXPECT_EQ(SplitCommandLine(GetParam().line, GetParam().rules), GetParam().words);
}

INSTANTIATE_TEST_SUITE_P(CommandLine, CommandSplitting, ::testing::ValuesIn(kSplitCases),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
