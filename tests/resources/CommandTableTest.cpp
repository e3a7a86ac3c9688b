// Tarn's command table: the ids shared popups have in common, and the consistency
// of the command vocabulary: every id a menu, the toolbar or a key uses is in
// the table with a prompt, shown keys are bound keys, no key is bound twice.
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

using Kind = fw::MenuItem::Kind;

const fw::MenuLayout& layout(int resource)
{
    return *tarnCommandTable().menu(resource);
}

const fw::MenuItem& popup(int resource, const char* title)
{
    for (const fw::MenuItem& popup : layout(resource)) {
        if (popup.text == QString::fromUtf8(title))
            return popup;
    }
    ADD_FAILURE() << "menu " << resource << " has no " << title;
    static const fw::MenuItem empty = fw::MenuItem::submenu(QString(), {});
    return empty;
}

std::vector<int> ids(const fw::MenuItem& popup)
{
    std::vector<int> result;
    for (const fw::MenuItem& item : popup.children)
        result.push_back(item.kind == Kind::Separator ? 0 : item.id);
    return result;
}

bool sameItems(const fw::MenuItem& a, const fw::MenuItem& b)
{
    return menuwalk::describe(a) == menuwalk::describe(b) && ids(a) == ids(b);
}

} // namespace

TEST(TarnMenus, IdsBehindTheTexts)
{
    // Shared popups carry the same ids; the source File menu is the others'
    // with the print block; the source context menu has its own Delete,
    // Select All and Find ids.
    for (const char* title : {"&Commands", "&View", "&Window", "&Help"}) {
        EXPECT_TRUE(sameItems(popup(menu::Source, title), popup(menu::Message, title))) << title;
        EXPECT_TRUE(sameItems(popup(menu::Source, title), popup(menu::Project, title))) << title;
    }
    EXPECT_TRUE(sameItems(popup(menu::Source, "&Help"), popup(menu::MainFrame, "&Help")));
    EXPECT_TRUE(sameItems(popup(menu::Message, "&File"), popup(menu::Project, "&File")));
    std::vector<int> file = ids(popup(menu::Message, "&File"));
    const std::vector<int> printBlock = {fw::id::FilePrint, fw::id::FilePrintPreview, fw::id::FilePrintSetup, 0};
    file.insert(file.begin() + 7, printBlock.begin(), printBlock.end());
    EXPECT_EQ(ids(popup(menu::Source, "&File")), file);
    const std::vector<int> context = {
        fw::id::EditUndo, 0, fw::id::EditCut, fw::id::EditCopy, fw::id::EditPaste, cmd::EditDelete, 0,
        cmd::EditSelectAllText, 0, 0 /* submenu */, cmd::InsertDate, cmd::InsertDateTime, 0, cmd::Comment, 0,
        cmd::FindInSource, cmd::FindReplaceInSource, cmd::GoToLine, cmd::GoToFunction, cmd::FindInFiles, 0,
        fw::id::FileClose};
    EXPECT_EQ(ids(layout(menu::SourceContext).front()), context);
    // The debugging part, shown after the source context menu's items.
    EXPECT_EQ(ids(layout(menu::SourceDebugContext).front()),
              (std::vector<int>{cmd::DebugBreakpointHere, cmd::DebugRunToHere, cmd::DebugAddWatchHere}));
    EXPECT_EQ(ids(popup(menu::Source, "&Edit"))[5], fw::id::EditSelectAll);
    const std::vector<int> insert = {cmd::InsertIf, cmd::InsertIfElse, cmd::InsertWhile, cmd::InsertDoWhile,
                                     cmd::InsertFor, cmd::InsertSwitch};
    EXPECT_EQ(ids(popup(menu::Source, "&Edit").children[7]), insert);
    EXPECT_EQ(ids(layout(menu::SourceContext).front().children[9]), insert);
    for (int resource : menuwalk::menuBars) {
        const fw::MenuItem& recent = popup(resource, "&File").children.rbegin()[2];
        EXPECT_EQ(recent.kind, Kind::RecentFiles) << "menu " << resource;
        EXPECT_EQ(recent.id, fw::id::FileMruFirst) << "menu " << resource;
        if (resource != menu::MainFrame) {
            EXPECT_EQ(popup(resource, "&Window").children.back().kind, Kind::WindowList);
        }
    }
}

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

namespace {

// The access key of a menu text ("Rebuild &All" -> 'A'; "&&" is a plain
// ampersand), 0 when it has none.
QChar accessKey(const QString& text)
{
    const QString label = text.section(QLatin1Char('\t'), 0, 0);
    for (qsizetype i = 0; i + 1 < label.size(); ++i) {
        if (label[i] != QLatin1Char('&'))
            continue;
        if (label[i + 1] != QLatin1Char('&'))
            return label[i + 1].toUpper();
        ++i;
    }
    return QChar();
}

// "menu: first | second" for every pair of entries of one popup (or one
// menu bar's titles) that share an access key.
void collectClashes(int resource, const QString& where, const std::vector<fw::MenuItem>& entries,
                    std::set<QString>& clashes)
{
    QMap<QChar, QString> owner;
    for (const fw::MenuItem& item : entries) {
        if (item.kind == Kind::Submenu && !item.children.empty())
            collectClashes(resource, where + QLatin1Char('/') + item.text, item.children, clashes);
        const QChar key = accessKey(item.text);
        if (key.isNull())
            continue;
        if (owner.contains(key))
            clashes.insert(
                QStringLiteral("%1 %2: %3 | %4").arg(resource).arg(where, owner[key], item.text));
        else
            owner.insert(key, item.text);
    }
}

} // namespace

TEST(TarnMenus, AccessKeysUniqueWithinEachMenuButTheDeliberateOnes)
{
    // Within one menu, Alt and a letter must reach one item. These pairs are
    // Tarn's menus as they were designed, and stay as they are.
    const std::set<QString> deliberate = {
        QStringLiteral("129 /&Search: &Find...\tCtrl+F | Go To &Function..."),
        QStringLiteral("153 /: &New Source File\tCtrl+N | &Next\tCtrl+Tab"),
        QStringLiteral("153 /: &Open...\tCtrl+O | &Options..."),
        QStringLiteral("156 /: &Insert Statement | F&ind...\tCtrl+F"),
        QStringLiteral("158 /: Set &Compile Options... | &Close"),
        // The debugger's items as peers name them: Step Out and Toggle
        // Breakpoint share T.
        QStringLiteral("129 /&Debug: Step Ou&t\tShift+F11 | &Toggle Breakpoint\tF9"),
        QStringLiteral("157 /&Debug: Step Ou&t\tShift+F11 | &Toggle Breakpoint\tF9"),
    };
    std::set<QString> clashes;
    for (int resource : menuwalk::allMenus)
        collectClashes(resource, QString(), layout(resource), clashes);
    for (const QString& clash : clashes)
        EXPECT_TRUE(deliberate.count(clash)) << "access key clash in menu " << clash.toStdString();
    for (const QString& pair : deliberate)
        EXPECT_TRUE(clashes.count(pair)) << "no longer there: " << pair.toStdString();
    // The source context menu's debugging part is shown in that menu: its
    // keys are not the menu's.
    std::set<QChar> sourceKeys;
    for (const fw::MenuItem& item : layout(menu::SourceContext).front().children)
        sourceKeys.insert(accessKey(item.text));
    for (const fw::MenuItem& item : layout(menu::SourceDebugContext).front().children) {
        EXPECT_FALSE(accessKey(item.text).isNull()) << item.text.toStdString();
        EXPECT_FALSE(sourceKeys.count(accessKey(item.text))) << item.text.toStdString();
    }
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
    // The Break key is shown by the name on the keyboard; Qt calls it Pause.
    const QMap<int, int> borrowedKey = {{cmd::FindInSource, fw::id::EditFind}};
    const QMap<QString, QString> keyNames = {
        {QStringLiteral("Ctrl+Break"), QStringLiteral("Ctrl+Pause")}};
    std::set<std::pair<int, QString>> shown;
    menuwalk::forEachCommandItem([&](int resource, const fw::MenuItem& item) {
        QString keyText = item.text.section(QLatin1Char('\t'), 1);
        keyText = keyNames.value(keyText, keyText);
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
}

TEST(TarnToolbar, ButtonsInTheirGroups)
{
    using namespace fw::id;
    using namespace cmd;
    // One group a line; 0 is a separator.
    const std::vector<int> expected = {
        FileNew, FileNewProject, FileOpen, FileSave, FilePrint, 0,
        EditCut, EditCopy, EditPaste, 0,
        RunExecutable, Link, Debug, 0,
        BuildSource, QuickCompile, 0,
        InsertFile, RemoveFile, BuildProject, 0,
        LibcReference, 0,
        DebugStart, DebugBreak, DebugStop, DebugStepOver, DebugStepInto, DebugStepOut, DebugToggleBreakpoint};
    EXPECT_EQ(tarnToolbarLayout(), expected);
}
