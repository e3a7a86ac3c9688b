// Consistency of Tarn's command vocabulary: every id a menu, the toolbar or
// a key uses is in the table with a prompt, shown keys are bound keys, no
// key is bound twice.
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

} // namespace

TEST(TarnCommands, EveryCommandHasAPlainPromptAndIsReachable)
{
    // An id in the table that no menu, button or key uses is most likely a
    // mistyped id; the second recent-file entry is added at run time.
    std::set<int> used(tarnToolbarLayout().begin(), tarnToolbarLayout().end());
    used.erase(0);
    for (int id : used) {
        ASSERT_NE(table().command(id), nullptr) << "toolbar id " << id;
        EXPECT_FALSE(table().command(id)->tooltip.isEmpty()) << "toolbar id " << id;
    }
    // The prompt an item shows comes from its id: a wrong id shows a wrong prompt.
    const std::map<QString, QString> prompts = {
        {"&Quick Compile to Object\tCtrl+Q", "Compile source into object (*.o) code"},
        {"Tile &Vertically", "Arrange windows as non-overlapping tiles"},
        {"for ( ; ; ) { }", "Insert a for loop into the source"},
        {"switch ( ) { case: default: }", "Insert a switch statement into the source"},
        {"Insert Date", "Inserts the current date in the text"},
        {"T&ouch All", "\"Touch\" all the files in the project"},
    };
    std::set<QString> found;
    menuwalk::forEachCommandItem([&](int resource, const fw::MenuItem& item) {
        used.insert(item.id);
        ASSERT_NE(table().command(item.id), nullptr) << where(resource, item).toStdString();
        if (prompts.count(item.text)) {
            found.insert(item.text);
            EXPECT_EQ(table().command(item.id)->prompt, prompts.at(item.text))
                << where(resource, item).toStdString();
        }
    });
    EXPECT_EQ(found.size(), prompts.size());
    used.insert(fw::id::FileMruFirst + 1);
    // Only the escape id (which nothing handles) goes without a prompt.
    for (const fw::CommandInfo& info : table().commands()) {
        EXPECT_TRUE(used.count(info.id) || !info.keys.isEmpty())
            << "id " << info.id << " is never shown";
        if (info.id != cmd::Escape) {
            EXPECT_FALSE(info.prompt.isEmpty()) << "id " << info.id;
        }
        EXPECT_FALSE(info.prompt.contains(QLatin1Char('\\')) ||
                     info.prompt.contains(QLatin1Char('\n')))
            << "id " << info.id;
        EXPECT_EQ(info.prompt, info.prompt.trimmed()) << "id " << info.id;
    }
    EXPECT_EQ(table().command(fw::id::FileMruFirst + 1)->prompt,
              table().command(fw::id::FileMruFirst)->prompt);
    EXPECT_EQ(table().command(fw::id::WindowTileVert)->tooltip, QStringLiteral("Tile Windows"));
    EXPECT_TRUE(table().command(fw::id::FileMruFirst)->tooltip.isEmpty());
}

TEST(TarnCommands, KeysBoundOnceAndShownOnTheirCommand)
{
    // Key text (portable form) -> the command it is bound to; no key twice.
    QMap<QString, int> owners;
    for (const fw::CommandInfo& info : table().commands()) {
        for (const QKeySequence& key : info.keys) {
            const QString text = key.toString(QKeySequence::PortableText);
            EXPECT_EQ(key.count(), 1) << text.toStdString() << " is not a single key";
            EXPECT_FALSE(owners.contains(text)) << text.toStdString() << " is bound to "
                                                << owners.value(text) << " and " << info.id;
            owners.insert(text, info.id);
        }
    }
    // A shown key is the bound key. The source context menu's own Find
    // shows Ctrl+F, the Edit menu's Find key: pressing it runs that Find.
    const QMap<int, int> borrowedKey = {{cmd::FindInSource, fw::id::EditFind}};
    std::set<std::pair<int, QString>> shown;
    menuwalk::forEachCommandItem([&](int resource, const fw::MenuItem& item) {
        const QString keyText = item.text.section(QLatin1Char('\t'), 1);
        shown.insert({item.id, keyText});
        if (keyText.isEmpty())
            return;
        EXPECT_EQ(owners.value(keyText, -1), borrowedKey.value(item.id, item.id))
            << keyText.toStdString() << " in " << where(resource, item).toStdString();
    });
    // The first key of each command is shown on one of its items; the rest
    // are the hidden accelerators below (Esc: the id nothing handles).
    const std::pair<const char*, int> hidden[] = {
        {"Alt+Backspace", fw::id::EditUndo},  {"Shift+Del", fw::id::EditCut},
        {"Ctrl+Ins", fw::id::EditCopy},       {"Shift+Ins", fw::id::EditPaste},
        {"Ctrl+R", cmd::FindReplaceInSource}, {"Esc", cmd::Escape},
        {"Ctrl+Tab", cmd::WindowNext},        {"F3", fw::id::EditRepeat},
    };
    for (const auto& [text, id] : hidden)
        EXPECT_EQ(owners.value(QString::fromLatin1(text), -1), id) << text;
    for (const fw::CommandInfo& info : table().commands()) {
        if (info.keys.isEmpty() || info.id == cmd::Escape)
            continue;
        const QString first = info.keys.front().toString(QKeySequence::PortableText);
        EXPECT_TRUE(shown.count({info.id, first}))
            << "id " << info.id << " key " << first.toStdString();
    }
    EXPECT_EQ(owners.size(), 26);
}

TEST(TarnToolbar, ButtonsInTheirGroups)
{
    using namespace fw::id;
    using namespace cmd;
    const std::vector<int> expected = {FileNew,
                                       FileNewProject,
                                       FileOpen,
                                       FileSave,
                                       FilePrint,
                                       0,
                                       EditCut,
                                       EditCopy,
                                       EditPaste,
                                       0,
                                       RunExecutable,
                                       Link,
                                       Debug,
                                       0,
                                       BuildSource,
                                       QuickCompile,
                                       0,
                                       InsertFile,
                                       RemoveFile,
                                       BuildProject,
                                       0,
                                       LibcReference};
    EXPECT_EQ(tarnToolbarLayout(), expected);
}
