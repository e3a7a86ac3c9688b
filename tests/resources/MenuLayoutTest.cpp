// Structure of Tarn's menu resources: the popups of each window type, their
// shared blocks and the places where menus deliberately differ.
#include "resources/CommandIds.h"
#include "resources/MenuWalk.h"
#include "resources/TarnCommands.h"

#include <gtest/gtest.h>

namespace {

using Kind = fw::MenuItem::Kind;

const fw::MenuLayout& layout(int resource)
{
    const fw::MenuLayout* menu = tarnCommandTable().menu(resource);
    EXPECT_NE(menu, nullptr) << "menu " << resource;
    static const fw::MenuLayout empty;
    return menu ? *menu : empty;
}

const fw::MenuItem& popup(int resource, const char* title)
{
    const fw::MenuItem* found = menuwalk::findPopup(layout(resource), QString::fromUtf8(title));
    EXPECT_NE(found, nullptr) << "menu " << resource << " has no " << title;
    static const fw::MenuItem empty = fw::MenuItem::submenu(QString(), {});
    return found ? *found : empty;
}

const fw::MenuItem& contextPopup(int resource)
{
    EXPECT_EQ(layout(resource).size(), 1u) << "context menu " << resource;
    static const fw::MenuItem empty = fw::MenuItem::submenu(QString(), {});
    return layout(resource).empty() ? empty : layout(resource).front();
}

QStringList titles(int resource)
{
    QStringList result;
    for (const fw::MenuItem& item : layout(resource)) {
        EXPECT_EQ(item.kind, Kind::Submenu);
        result << item.text;
    }
    return result;
}

bool sameItems(const fw::MenuItem& a, const fw::MenuItem& b)
{
    if (a.kind != b.kind || a.id != b.id || a.text != b.text || a.children.size() != b.children.size())
        return false;
    for (std::size_t i = 0; i < a.children.size(); ++i) {
        if (!sameItems(a.children[i], b.children[i]))
            return false;
    }
    return true;
}

struct Counts {
    int commands = 0; // recent-file placeholder included
    int separators = 0;
    int submenus = 0;
    int windowLists = 0;
    bool operator==(const Counts&) const = default;
};

Counts count(const fw::MenuItem& popup)
{
    Counts c;
    for (const fw::MenuItem& item : popup.children) {
        switch (item.kind) {
        case Kind::Command:
        case Kind::RecentFiles: ++c.commands; break;
        case Kind::Separator: ++c.separators; break;
        case Kind::Submenu: ++c.submenus; break;
        case Kind::WindowList: ++c.windowLists; break;
        }
    }
    return c;
}

std::vector<int> ids(const fw::MenuItem& popup)
{
    std::vector<int> result;
    for (const fw::MenuItem& item : popup.children)
        result.push_back(item.kind == Kind::Separator ? 0 : item.id);
    return result;
}

bool contains(const fw::MenuItem& popup, int id)
{
    for (const fw::MenuItem& item : popup.children) {
        if ((item.kind == Kind::Command && item.id == id) || (item.kind == Kind::Submenu && contains(item, id)))
            return true;
    }
    return false;
}

} // namespace

TEST(TarnMenus, TopLevelTitlesOfEachMenuBar)
{
    EXPECT_EQ(titles(menu::MainFrame), QStringList({"&File", "&View", "&Help"}));
    EXPECT_EQ(titles(menu::Source), QStringList({"&File", "&Edit", "&Search", "&Commands", "So&urce", "&View",
                                                 "&Window", "&Help"}));
    EXPECT_EQ(titles(menu::Message),
              QStringList({"&File", "&Commands", "&Messages", "&View", "&Window", "&Help"}));
    EXPECT_EQ(titles(menu::Project),
              QStringList({"&File", "&Commands", "&Project", "&View", "&Window", "&Help"}));
    for (int resource : menuwalk::contextMenuResources())
        EXPECT_EQ(layout(resource).size(), 1u) << "context menu " << resource;
}

TEST(TarnMenus, ItemAndSeparatorCountsPerPopup)
{
    struct Row {
        int resource;
        const char* title; // nullptr: the context menu's popup
        Counts counts;
    };
    const Row rows[] = {
        {menu::MainFrame, "&File", {5, 3, 0, 0}},  {menu::MainFrame, "&View", {2, 0, 0, 0}},
        {menu::MainFrame, "&Help", {2, 0, 0, 0}},  {menu::Source, "&File", {11, 3, 0, 0}},
        {menu::Source, "&Edit", {8, 3, 1, 0}},     {menu::Source, "&Search", {7, 2, 0, 0}},
        {menu::Source, "&Commands", {5, 2, 0, 0}}, {menu::Source, "So&urce", {2, 0, 0, 0}},
        {menu::Source, "&View", {3, 1, 0, 0}},     {menu::Source, "&Window", {5, 1, 0, 1}},
        {menu::Source, "&Help", {2, 0, 0, 0}},     {menu::Message, "&File", {8, 2, 0, 0}},
        {menu::Message, "&Messages", {5, 1, 0, 0}}, {menu::Project, "&File", {8, 2, 0, 0}},
        {menu::Project, "&Project", {11, 4, 0, 0}}, {menu::MainContext, nullptr, {11, 3, 0, 0}},
        {menu::MessageContext, nullptr, {3, 0, 0, 0}}, {menu::SourceContext, nullptr, {14, 6, 1, 0}},
        {menu::ProjectContext, nullptr, {12, 5, 0, 0}},
    };
    for (const Row& row : rows) {
        const fw::MenuItem& p = row.title ? popup(row.resource, row.title) : contextPopup(row.resource);
        const Counts c = count(p);
        EXPECT_TRUE(c == row.counts) << "menu " << row.resource << " " << (row.title ? row.title : "context")
                                     << ": " << c.commands << " items, " << c.separators << " separators, "
                                     << c.submenus << " submenus, " << c.windowLists << " window lists";
    }
}

TEST(TarnMenus, SeparatorsOnlyBetweenItems)
{
    std::function<void(int, const fw::MenuItem&)> check = [&check](int resource, const fw::MenuItem& p) {
        const auto& items = p.children;
        ASSERT_FALSE(items.empty()) << "menu " << resource << " " << p.text.toStdString();
        EXPECT_NE(items.front().kind, Kind::Separator) << "menu " << resource << " " << p.text.toStdString();
        EXPECT_NE(items.back().kind, Kind::Separator) << "menu " << resource << " " << p.text.toStdString();
        for (std::size_t i = 0; i < items.size(); ++i) {
            if (i > 0 && items[i].kind == Kind::Separator) {
                EXPECT_NE(items[i - 1].kind, Kind::Separator) << "menu " << resource << " " << p.text.toStdString();
            }
            if (items[i].kind == Kind::Submenu)
                check(resource, items[i]);
            if (items[i].kind == Kind::WindowList) {
                EXPECT_EQ(i, items.size() - 1) << "window list must end its menu";
            }
            // One access key at most; "&&" would be a literal ampersand.
            EXPECT_LE(items[i].text.count(QLatin1Char('&')), 1) << items[i].text.toStdString();
            EXPECT_FALSE(items[i].text.contains(QStringLiteral("\\t"))) << items[i].text.toStdString();
        }
    };
    for (int resource : menuwalk::allMenuResources()) {
        for (const fw::MenuItem& p : layout(resource))
            check(resource, p);
    }
}

TEST(TarnMenus, DocumentWindowsShareTheirCommonMenus)
{
    for (const char* title : {"&Commands", "&View", "&Window", "&Help"}) {
        EXPECT_TRUE(sameItems(popup(menu::Source, title), popup(menu::Message, title))) << title;
        EXPECT_TRUE(sameItems(popup(menu::Source, title), popup(menu::Project, title))) << title;
    }
    EXPECT_TRUE(sameItems(popup(menu::Source, "&Help"), popup(menu::MainFrame, "&Help")));
    EXPECT_TRUE(sameItems(popup(menu::Message, "&File"), popup(menu::Project, "&File")));
    // The Messages menu is the message context menu plus the diagnostic
    // steps, which also end the source window's Search menu.
    const QStringList steps = {QStringLiteral("—"), QStringLiteral("&Next Diagnostic\tF4"),
                               QStringLiteral("&Previous Diagnostic\tShift+F4")};
    EXPECT_EQ(menuwalk::describe(popup(menu::Message, "&Messages")),
              menuwalk::describe(contextPopup(menu::MessageContext)) + steps);
    EXPECT_EQ(menuwalk::describe(popup(menu::Source, "&Search")).mid(6), steps);
    // Stop Build ends the Commands menu and the project menus; the
    // project context menu is the Project menu plus Close.
    const QStringList stop = {QStringLiteral("—"), QStringLiteral("S&top Build\tCtrl+Pause")};
    EXPECT_EQ(menuwalk::describe(popup(menu::Source, "&Commands")).mid(5), stop);
    EXPECT_EQ(menuwalk::describe(popup(menu::Project, "&Project")).mid(13), stop);
    QStringList project = menuwalk::describe(popup(menu::Project, "&Project"));
    project << QStringLiteral("—") << QStringLiteral("&Close");
    EXPECT_EQ(menuwalk::describe(contextPopup(menu::ProjectContext)), project);
}

TEST(TarnMenus, OnlyTheSourceWindowPrints)
{
    // The source File menu is the others' with the print block inserted
    // after Save As and its separator.
    std::vector<int> file = ids(popup(menu::Message, "&File"));
    const std::vector<int> printBlock = {fw::id::FilePrint, fw::id::FilePrintPreview, fw::id::FilePrintSetup, 0};
    file.insert(file.begin() + 7, printBlock.begin(), printBlock.end());
    EXPECT_EQ(ids(popup(menu::Source, "&File")), file);
    for (int resource : menuwalk::allMenuResources()) {
        for (const fw::MenuItem& p : layout(resource)) {
            const bool source = resource == menu::Source && p.text == QStringLiteral("&File");
            EXPECT_EQ(contains(p, fw::id::FilePrint), source) << "menu " << resource;
            EXPECT_EQ(contains(p, fw::id::FilePrintPreview), source) << "menu " << resource;
            const bool setup = source || (resource == menu::MainFrame && p.text == QStringLiteral("&File"));
            EXPECT_EQ(contains(p, fw::id::FilePrintSetup), setup) << "menu " << resource;
        }
    }
}

TEST(TarnMenus, RecentFilesAndWindowListPlaceholders)
{
    for (int resource : menuwalk::menuBarResources()) {
        const fw::MenuItem& file = popup(resource, "&File");
        int recent = 0;
        for (std::size_t i = 0; i < file.children.size(); ++i) {
            const fw::MenuItem& item = file.children[i];
            if (item.kind != Kind::RecentFiles)
                continue;
            ++recent;
            EXPECT_EQ(item.id, fw::id::FileMruFirst);
            EXPECT_EQ(item.text, QStringLiteral("Recent File"));
            // ... followed by a separator and Exit.
            ASSERT_EQ(i + 3, file.children.size());
            EXPECT_EQ(file.children[i + 2].id, fw::id::AppExit);
        }
        EXPECT_EQ(recent, 1) << "menu " << resource;
        if (resource != menu::MainFrame) {
            EXPECT_EQ(popup(resource, "&Window").children.back().kind, Kind::WindowList);
        }
    }
}

TEST(TarnMenus, TextsThatDifferBetweenMenus)
{
    const fw::MenuItem& edit = popup(menu::Source, "&Edit");
    const fw::MenuItem& context = contextPopup(menu::SourceContext);
    const fw::MenuItem* editInsert = menuwalk::findPopup(edit.children, QStringLiteral("&Insert Statement"));
    const fw::MenuItem* contextInsert = menuwalk::findPopup(context.children, QStringLiteral("&Insert Statement"));
    ASSERT_NE(editInsert, nullptr);
    ASSERT_NE(contextInsert, nullptr);
    ASSERT_EQ(editInsert->children.size(), 6u);
    ASSERT_EQ(contextInsert->children.size(), 6u);
    EXPECT_EQ(editInsert->children[0].text, QStringLiteral("if ( ) { }"));
    EXPECT_EQ(contextInsert->children[0].text, QStringLiteral("If ( ) { }"));
    for (std::size_t i = 0; i < 6; ++i) {
        EXPECT_EQ(editInsert->children[i].id, contextInsert->children[i].id);
        if (i > 0) {
            EXPECT_EQ(editInsert->children[i].text, contextInsert->children[i].text);
        }
    }
    EXPECT_EQ(editInsert->children[4].id, cmd::InsertFor); // for comes before switch
    EXPECT_EQ(editInsert->children[5].text, QStringLiteral("switch ( ) { case: default: }"));

    // Undo without its key; its own Select All, Delete and Find ids; Close
    // with L.
    EXPECT_EQ(edit.children[0].text, QStringLiteral("&Undo\tCtrl+Z"));
    EXPECT_EQ(context.children[0].text, QStringLiteral("&Undo"));
    const std::vector<int> contextIds = ids(context);
    const std::vector<int> expected = {
        fw::id::EditUndo, 0, fw::id::EditCut, fw::id::EditCopy, fw::id::EditPaste, cmd::EditDelete, 0,
        cmd::EditSelectAllText, 0, 0 /* submenu */, cmd::InsertDate, cmd::InsertDateTime, 0, cmd::Comment, 0,
        cmd::FindInSource, cmd::FindReplaceInSource, cmd::GoToLine, cmd::GoToFunction, 0, fw::id::FileClose};
    EXPECT_EQ(contextIds, expected);
    EXPECT_EQ(context.children[7].text, QStringLiteral("Select &All"));
    EXPECT_EQ(edit.children[5].text, QStringLiteral("Select A&ll\tCtrl+A"));
    EXPECT_EQ(edit.children[5].id, fw::id::EditSelectAll);
    EXPECT_EQ(context.children.back().text, QStringLiteral("C&lose"));
    EXPECT_EQ(popup(menu::Source, "&File").children[3].text, QStringLiteral("&Close"));

    // New: plain in the frame's own menu, "Source File" in the others;
    // the main context menu gives New Project an access key.
    EXPECT_EQ(popup(menu::MainFrame, "&File").children[0].text, QStringLiteral("&New\tCtrl+N"));
    EXPECT_EQ(popup(menu::Project, "&File").children[0].text, QStringLiteral("&New Source File\tCtrl+N"));
    EXPECT_EQ(popup(menu::Project, "&File").children[1].text, QStringLiteral("New Project"));
    EXPECT_EQ(contextPopup(menu::MainContext).children[1].text, QStringLiteral("New Pro&ject"));

    // The shown key follows a real tab character.
    const QString quick = popup(menu::Source, "So&urce").children[1].text;
    EXPECT_EQ(quick, QStringLiteral("&Quick Compile to Object") + QChar(9) + QStringLiteral("Ctrl+Q"));
}
