// Consistency of Tarn's command vocabulary: every id a menu, the toolbar or
// a key uses is in the table, shown keys are bound keys, no key is bound
// twice.
#include "resources/CommandIds.h"
#include "resources/MenuWalk.h"
#include "resources/TarnCommands.h"

#include <gtest/gtest.h>

#include <QMap>
#include <set>

namespace {

const fw::CommandTable& table()
{
    return tarnCommandTable();
}

QString where(int resource, const fw::MenuItem& item)
{
    return QStringLiteral("menu %1, item \"%2\" (%3)").arg(resource).arg(item.text).arg(item.id);
}

// Key text (portable form) -> the command it is bound to.
QMap<QString, int> keyOwners()
{
    QMap<QString, int> owners;
    for (const fw::CommandInfo& info : table().commands()) {
        for (const QKeySequence& key : info.keys)
            owners.insert(key.toString(QKeySequence::PortableText), info.id);
    }
    return owners;
}

} // namespace

TEST(TarnCommands, EveryUsedIdHasAPrompt)
{
    menuwalk::forEachCommandItem([](int resource, const fw::MenuItem& item) {
        const fw::CommandInfo* info = table().command(item.id);
        ASSERT_NE(info, nullptr) << where(resource, item).toStdString();
        EXPECT_FALSE(info->prompt.isEmpty()) << where(resource, item).toStdString();
    });
    for (int id : tarnToolbarLayout()) {
        if (id == 0)
            continue;
        const fw::CommandInfo* info = table().command(id);
        ASSERT_NE(info, nullptr) << "toolbar id " << id;
        EXPECT_FALSE(info->prompt.isEmpty()) << "toolbar id " << id;
        EXPECT_FALSE(info->tooltip.isEmpty()) << "toolbar id " << id;
    }
    // Only the escape id (which nothing handles) goes without a prompt.
    for (const fw::CommandInfo& info : table().commands()) {
        if (info.id != cmd::Escape) {
            EXPECT_FALSE(info.prompt.isEmpty()) << "id " << info.id;
        }
    }
}

TEST(TarnCommands, EveryCommandIsReachable)
{
    // An id in the table that no menu, button or key uses is most likely a
    // mistyped id; the second recent-file entry is added at run time.
    std::set<int> used(tarnToolbarLayout().begin(), tarnToolbarLayout().end());
    menuwalk::forEachCommandItem([&used](int, const fw::MenuItem& item) { used.insert(item.id); });
    used.insert(fw::id::FileMruFirst + 1);
    for (const fw::CommandInfo& info : table().commands()) {
        EXPECT_TRUE(used.count(info.id) || !info.keys.isEmpty()) << "id " << info.id << " is never shown";
    }
    EXPECT_EQ(table().command(fw::id::FileMruFirst + 1)->prompt, table().command(fw::id::FileMruFirst)->prompt);
}

TEST(TarnCommands, NoKeyIsBoundTwice)
{
    QMap<QString, int> owners;
    for (const fw::CommandInfo& info : table().commands()) {
        for (const QKeySequence& key : info.keys) {
            const QString text = key.toString(QKeySequence::PortableText);
            EXPECT_FALSE(key.isEmpty()) << "id " << info.id;
            EXPECT_EQ(key.count(), 1) << text.toStdString() << " is not a single key";
            EXPECT_FALSE(owners.contains(text))
                << text.toStdString() << " is bound to " << owners.value(text) << " and " << info.id;
            owners.insert(text, info.id);
        }
    }
}

TEST(TarnCommands, ShownKeysAreBoundToTheirCommand)
{
    // The source context menu's own Find command shows Ctrl+F, which is the
    // Edit menu's Find key: pressing it runs the working Find.
    const QMap<int, int> borrowedKey = {{cmd::FindInSource, fw::id::EditFind}};
    const QMap<QString, int> owners = keyOwners();
    int shown = 0;
    menuwalk::forEachCommandItem([&](int resource, const fw::MenuItem& item) {
        const QString keyText = menuwalk::shownKey(item.text);
        if (keyText.isEmpty())
            return;
        ++shown;
        const QKeySequence key(keyText, QKeySequence::PortableText);
        ASSERT_FALSE(key.isEmpty()) << where(resource, item).toStdString();
        EXPECT_EQ(key.toString(QKeySequence::PortableText), keyText) << where(resource, item).toStdString();
        ASSERT_TRUE(owners.contains(keyText)) << keyText.toStdString() << " in " << where(resource, item).toStdString();
        EXPECT_EQ(owners.value(keyText), borrowedKey.value(item.id, item.id)) << where(resource, item).toStdString();
    });
    EXPECT_GT(shown, 20);
}

TEST(TarnCommands, EveryBoundKeyIsShownSomewhere)
{
    // The first key of each command appears after the tab of one of its
    // items; the escape id has no item.
    std::set<std::pair<int, QString>> shown;
    menuwalk::forEachCommandItem([&shown](int, const fw::MenuItem& item) {
        shown.insert({item.id, menuwalk::shownKey(item.text)});
    });
    for (const fw::CommandInfo& info : table().commands()) {
        if (info.keys.isEmpty() || info.id == cmd::Escape)
            continue;
        const QString first = info.keys.front().toString(QKeySequence::PortableText);
        EXPECT_TRUE(shown.count({info.id, first})) << "id " << info.id << " key " << first.toStdString();
    }
}

TEST(TarnCommands, KeysOfTheAcceleratorTable)
{
    // The keys that are not shown in any menu, and Esc on the id that
    // nothing handles.
    const QMap<QString, int> owners = keyOwners();
    const std::pair<const char*, int> rows[] = {
        {"Alt+Backspace", fw::id::EditUndo},  {"Shift+Del", fw::id::EditCut},
        {"Ctrl+Ins", fw::id::EditCopy},       {"Shift+Ins", fw::id::EditPaste},
        {"Ctrl+R", cmd::FindReplaceInSource}, {"Esc", cmd::Escape},
        {"Ctrl+Tab", cmd::WindowNext},        {"F3", fw::id::EditRepeat},
    };
    for (const auto& [text, id] : rows)
        EXPECT_EQ(owners.value(QString::fromLatin1(text), -1), id) << text;
    EXPECT_EQ(owners.size(), 26);
}

TEST(TarnCommands, PromptsHoldPlainText)
{
    EXPECT_EQ(table().command(cmd::TouchAll)->prompt, QStringLiteral("\"Touch\" all the files in the project"));
    for (const fw::CommandInfo& info : table().commands()) {
        EXPECT_FALSE(info.prompt.contains(QLatin1Char('\\'))) << "id " << info.id;
        EXPECT_FALSE(info.prompt.contains(QLatin1Char('\n'))) << "id " << info.id;
        EXPECT_EQ(info.prompt, info.prompt.trimmed()) << "id " << info.id;
    }
    // Two commands share a prompt and tooltip but are distinct.
    EXPECT_EQ(table().command(fw::id::WindowTileHorz)->tooltip, QStringLiteral("Tile Windows"));
    EXPECT_EQ(table().command(fw::id::WindowTileVert)->tooltip, QStringLiteral("Tile Windows"));
    EXPECT_TRUE(table().command(fw::id::FileMruFirst)->tooltip.isEmpty());
}

TEST(TarnToolbar, TwentyTwoEntriesInFiveGroups)
{
    const std::vector<int>& bar = tarnToolbarLayout();
    ASSERT_EQ(bar.size(), 22u);
    std::vector<std::size_t> separators;
    std::set<int> buttons;
    for (std::size_t i = 0; i < bar.size(); ++i) {
        if (bar[i] == 0)
            separators.push_back(i);
        else
            EXPECT_TRUE(buttons.insert(bar[i]).second) << "button " << bar[i] << " twice";
    }
    EXPECT_EQ(separators, (std::vector<std::size_t>{5, 9, 13, 16, 20}));
    EXPECT_EQ(buttons.size(), 17u); // one bitmap image per button
    // Groups: files, clipboard, tools, single-file builds, project, help.
    EXPECT_EQ(bar.front(), fw::id::FileNew);
    EXPECT_EQ(bar[6], fw::id::EditCut);
    EXPECT_EQ(bar[10], cmd::RunExecutable);
    EXPECT_EQ(bar[14], cmd::BuildSource);
    EXPECT_EQ(bar[17], cmd::InsertFile);
    EXPECT_EQ(bar.back(), cmd::LibcReference);
}
