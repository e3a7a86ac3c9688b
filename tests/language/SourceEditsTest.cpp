// The text work behind code intelligence: lines by number whatever the line
// breaks, a rename's edits applied byte for byte, reference rows as Find in
// Files writes them, a rename planned so that it changes all or nothing,
// the navigation history and the [Language] section.
#include "language/NavigationHistory.h"
#include "language/SourceEdits.h"
#include "settings/LanguageSection.h"
#include "settings/SettingsProfile.h"

#include "support/TestSupport.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <unistd.h>

using namespace testsupport;

namespace {

TEST(SourceEdits, LinesByNumberWhateverTheLineBreaks)
{
    const QByteArray text = "zero\r\none\ntwo\rthree";
    const char* lines[] = {"zero", "one", "two", "three"};
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(LineOfText(text, i), lines[i]) << i;
    EXPECT_EQ(LineOfText(text, 4), "");
    EXPECT_EQ(LineOfText(text, -1), "");
    EXPECT_EQ(LineOfText("", 0), "");
}

TEST(SourceEdits, EditsApplyByteForByte)
{
    struct Case {
        const char* name;
        QByteArray text;
        std::vector<LspTextEdit> edits;
        std::optional<QByteArray> result;
    };
    auto edit = [](int l1, int c1, int l2, int c2, const char* text) {
        return LspTextEdit{{{l1, c1}, {l2, c2}}, QString::fromUtf8(text)};
    };
    const std::vector<Case> cases{
        {"two on a line, given out of order", "int n = n + 1;\n", {edit(0, 8, 0, 9, "m"), edit(0, 4, 0, 5, "m")},
         "int m = m + 1;\n"},
        {"CR LF and a missing last line break kept", "a x\r\nb x\r\nx", {edit(1, 2, 1, 3, "yy"), edit(2, 0, 2, 1, "z")},
         "a x\r\nb yy\r\nz"},
        {"across lines", "one\ntwo\nthree\n", {edit(0, 1, 2, 2, "-")}, "o-ree\n"},
        {"UTF-8 columns are bytes", "/* \xc3\xa9 */ n\n", {edit(0, 9, 0, 10, "m")}, "/* \xc3\xa9 */ m\n"},
        {"an insertion", "f();\n", {edit(0, 2, 0, 2, "x")}, "f(x);\n"},
        {"overlapping edits", "abcdef\n", {edit(0, 1, 0, 4, "x"), edit(0, 3, 0, 5, "y")}, std::nullopt},
        {"past the line's end", "ab\ncd\n", {edit(0, 1, 0, 5, "x")}, std::nullopt},
        {"past the last line", "ab\n", {edit(4, 0, 4, 1, "x")}, std::nullopt},
        {"no edits", "same\r\n", {}, "same\r\n"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ApplyEdits(c.text, c.edits), c.result) << c.name;
}

TEST(SourceEdits, ReferenceRowsAsFindInFilesWritesThem)
{
    const std::vector<LspLocation> places{
        {QStringLiteral("/p/src/b.c"), {{9, 0}, {9, 3}}},
        {QStringLiteral("/p/a.h"), {{2, 4}, {2, 7}}},
        {QStringLiteral("/usr/include/stdio.h"), {{0, 0}, {0, 1}}},
        {QStringLiteral("/p/src/b.c"), {{1, 0}, {1, 3}}},
        {QStringLiteral("/p/a.h"), {{2, 4}, {2, 7}}},
    };
    const QByteArray rows = ReferenceRows(places, QStringLiteral("/p"), [](const QString& path, int line) {
        return (path.section(u'/', -1) + QStringLiteral(" line %1").arg(line)).toUtf8();
    });
    EXPECT_EQ(rows, "a.h:3: a.h line 2\n"
                    "src/b.c:2: b.c line 1\n"
                    "src/b.c:10: b.c line 9\n"
                    "/usr/include/stdio.h:1: stdio.h line 0\n");
}

TEST(SourceEdits, ARenameOfClosedFilesIsAllOrNothing)
{
    QTemporaryDir dir;
    const QString a = dir.filePath(QStringLiteral("a.c"));
    const QString b = dir.filePath(QStringLiteral("b.c"));
    const QString open = dir.filePath(QStringLiteral("open.c"));
    ASSERT_TRUE(writeFile(a, "int n;\r\n"));
    ASSERT_TRUE(writeFile(b, "n++;\n"));
    const std::vector<LspFileEdits> edits{
        {a, {{{{0, 4}, {0, 5}}, QStringLiteral("m")}}},
        {open, {{{{0, 0}, {0, 1}}, QStringLiteral("m")}}},
        {b, {{{{0, 0}, {0, 1}}, QStringLiteral("m")}}},
    };
    auto isOpen = [&](const QString& path) { return path == open; };
    const ClosedFileEdits fine = PlanClosedFileEdits(edits, isOpen, UnwritableReason);
    EXPECT_TRUE(fine.problem.isEmpty()) << fine.problem.toStdString();
    EXPECT_EQ(fine.files, (std::vector<std::pair<QString, QByteArray>>{{a, "int m;\r\n"}, {b, "m++;\n"}}));

    // One file that cannot be written: nothing at all, and it is named.
    const ClosedFileEdits blocked = PlanClosedFileEdits(edits, isOpen, [&](const QString& path) {
        return path == b ? QStringLiteral("it is read-only") : QString();
    });
    EXPECT_TRUE(blocked.files.empty());
    EXPECT_EQ(blocked.problem, b + QStringLiteral(" cannot be changed (it is read-only)"));
    // A file gone since clangd read it, or one where clangd's places are not.
    ASSERT_TRUE(QFile::remove(b));
    EXPECT_TRUE(PlanClosedFileEdits(edits, isOpen, UnwritableReason).problem.contains(QStringLiteral("not a regular file")));
    ASSERT_TRUE(writeFile(b, ""));
    EXPECT_TRUE(PlanClosedFileEdits(edits, isOpen, UnwritableReason).problem.contains(QStringLiteral("not in it")));

    if (::geteuid() != 0) {
        ASSERT_TRUE(QFile::setPermissions(a, QFileDevice::ReadOwner));
        EXPECT_EQ(UnwritableReason(a), QStringLiteral("it is read-only"));
    }
    EXPECT_EQ(UnwritableReason(dir.path()), QStringLiteral("it is not a regular file"));
}

TEST(NavigationHistoryTest, BackAndForwardAsABrowserDoes)
{
    using Place = NavigationHistory::Place;
    NavigationHistory history;
    const Place a{QStringLiteral("/a.c"), 1, 0};
    const Place b{QStringLiteral("/b.h"), 5, 2};
    const Place c{QStringLiteral("/c.c"), 9, 4};
    EXPECT_EQ(history.back(a), std::nullopt);
    history.jumped(a); // a -> b
    history.jumped(b); // b -> c
    EXPECT_EQ(history.back(c), b);
    EXPECT_EQ(history.back(b), a);
    EXPECT_EQ(history.back(a), std::nullopt);
    EXPECT_EQ(history.forward(a), b);
    EXPECT_TRUE(history.canGoForward());
    // A new jump drops what lay ahead.
    history.jumped(b);
    EXPECT_FALSE(history.canGoForward());
    EXPECT_EQ(history.back(c), b);
    // Bounded.
    NavigationHistory many;
    for (int i = 0; i < 250; ++i)
        many.jumped({QStringLiteral("/f.c"), i, 0});
    int steps = 0;
    Place at{QStringLiteral("/f.c"), 999, 0};
    while (auto place = many.back(at)) {
        at = *place;
        ++steps;
    }
    EXPECT_EQ(steps, int(NavigationHistory::kMaxPlaces));
    EXPECT_EQ(at.line, 250 - int(NavigationHistory::kMaxPlaces));
}

TEST(LanguageSectionTest, ReadWrittenAndOtherwiseFoundOnPath)
{
    SettingsProfile profile = SettingsProfile::fromBytes("[Options]\nGCC Path=/usr/bin/gcc\n");
    writeLanguageSettings(profile, {QStringLiteral("/opt/clangd 14/bin/clangd"), false});
    EXPECT_EQ(profile.toBytes().toStdString(), "[Options]\nGCC Path=/usr/bin/gcc\n\n[Language]\n"
                                               "Clangd Path=/opt/clangd 14/bin/clangd\nCode Intelligence=0\n");
    EXPECT_EQ(readLanguageSettings(profile), (LanguageSettings{QStringLiteral("/opt/clangd 14/bin/clangd"), false}));
    // Left empty on purpose: stays empty.
    writeLanguageSettings(profile, {QString(), true});
    EXPECT_EQ(readLanguageSettings(profile), (LanguageSettings{QString(), true}));
    // Missing: what PATH finds (nothing on an empty PATH).
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", "/nonexistent");
    EXPECT_EQ(readLanguageSettings(SettingsProfile()).clangdPath, QString());
    qputenv("PATH", path);
    EXPECT_TRUE(readLanguageSettings(SettingsProfile()).codeIntelligence);
}

} // namespace
