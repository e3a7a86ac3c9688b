// make's directory rows and the folder they put a make run's rows in.
#include "tools/MakeDirectories.h"

#include <gtest/gtest.h>

#include <QDir>

namespace {

TEST(MakeDirectoryRows, Parse)
{
    struct Case {
        const char* row;
        std::optional<MakeDirectoryRow> expected;
    };
    const Case cases[] = {
        {"make[1]: Entering directory '/home/me/a b'", MakeDirectoryRow{true, "/home/me/a b"}},
        {"make[12]: Leaving directory '/home/me/a'", MakeDirectoryRow{false, "/home/me/a"}},
        {"make: Entering directory '/srv/x'\r", MakeDirectoryRow{true, "/srv/x"}},
        {"/usr/bin/make: Entering directory `/old/style'", MakeDirectoryRow{true, "/old/style"}},
        {"make[2]: Entering directory \xE2\x80\x98/curly\xE2\x80\x99", MakeDirectoryRow{true, "/curly"}},
        {"make[1]: Entering directory '/it's'", MakeDirectoryRow{true, "/it's"}},
        {"gcc -c main.c", std::nullopt},
        {": Entering directory '/no/program'", std::nullopt},
        {"make[1]: Entering directory /unquoted", std::nullopt},
        {"make[1]: Entering directory ''", std::nullopt},
        {"make[1]: *** [Makefile:2: all] Error 1", std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ParseMakeDirectoryRow(c.row), c.expected) << c.row;
}

TEST(MakeDirectoryRows, FollowedAsAStack)
{
    MakeDirectories folders(QStringLiteral("/top"));
    EXPECT_EQ(folders.current(), QStringLiteral("/top/"));
    using Step = MakeDirectories::Step;
    const std::pair<const char*, std::pair<Step, const char*>> rows[] = {
        {"gcc -c x.c", {Step::None, "/top/"}},
        {"make[1]: Entering directory '/top/a'", {Step::Entered, "/top/a/"}},
        {"make[2]: Entering directory '/elsewhere/b/'", {Step::Entered, "/elsewhere/b/"}},
        {"make[2]: Leaving directory '/elsewhere/b/'", {Step::Left, "/top/a/"}},
        {"make[1]: Leaving directory '/top/a'", {Step::Left, "/top/"}},
        // A relative folder is taken from the folder entered last: make -C
        // in a make run in a make run.
        {"make[1]: Entering directory 'a'", {Step::Entered, "/top/a/"}},
        {"make[2]: Entering directory 'b'", {Step::Entered, "/top/a/b/"}},
        {"make[3]: Entering directory 'c/'", {Step::Entered, "/top/a/b/c/"}},
        {"make[3]: Leaving directory 'c/'", {Step::Left, "/top/a/b/"}},
        {"make[2]: Leaving directory 'b'", {Step::Left, "/top/a/"}},
        {"make[1]: Leaving directory 'a'", {Step::Left, "/top/"}},
        // One leave too many changes nothing.
        {"make: Leaving directory '/top'", {Step::Left, "/top/"}},
    };
    for (const auto& [row, expected] : rows) {
        EXPECT_EQ(folders.followRow(row), expected.first) << row;
        EXPECT_EQ(folders.current(), QString::fromUtf8(expected.second)) << row;
    }
    EXPECT_EQ(MakeDirectories(QString()).current(), QDir::currentPath() + QLatin1Char('/'));
}

} // namespace
