#include "ProjectFixture.h"

#include "editor/CTarnView.h"
#include "framework/MdiChildFrame.h"
#include "framework/MdiMainFrame.h"
#include "project/ProjectIcons.h"

#include <QAction>
#include <QDeadlineTimer>
#include <QHeaderView>
#include <QMenu>
#include <QPointer>
#include <QTest>
#include <QStatusBar>

namespace {

using ProjectTree = ProjectFixture;

const QByteArray kMain = "#include \"defs.h\"\n#include <stdio.h>\n"
                         "int first(void)\n{\n\treturn 1;\n}\n\n"
                         "/* int hidden(void) { } */\n"
                         "int second(int x)\n{\n\treturn x;\n}\n";

// The name of a node's picture.
QString pictureOf(const QTreeWidgetItem* node)
{
    const QImage shown = node->icon(0).pixmap(16, 16).toImage();
    const std::pair<ProjectImage, const char*> pictures[] = {
        {ProjectImage::Page, "page"}, {ProjectImage::Function, "function"},
        {ProjectImage::Dependencies, "squares"}, {ProjectImage::Missing, "missing"}};
    for (const auto& [image, name] : pictures) {
        if (projectTreeIcon(image).pixmap(16, 16).toImage() == shown)
            return name;
    }
    return "unknown";
}

// Every node at every depth: its text, its picture, and whether it is
// expanded or selected; children indented by two blanks.
void describeNodes(const QTreeWidgetItem* node, const QString& indent, QStringList& lines)
{
    lines << indent + node->text(0) + " [" + pictureOf(node) + "]"
                 + (node->isExpanded() ? " expanded" : "") + (node->isSelected() ? " selected" : "");
    for (int c = 0; c < node->childCount(); ++c)
        describeNodes(node->child(c), indent + "  ", lines);
}

QStringList wholeTree(QTreeWidget& view)
{
    makeEveryNode(view);
    QStringList lines;
    for (int i = 0; i < view.topLevelItemCount(); ++i)
        describeNodes(view.topLevelItem(i), "", lines);
    return lines;
}

TEST_F(ProjectTree, TheFilledTreeNodeForNodeAndAgainAfterASave)
{
    const QString main = source("a/main.c", kMain);
    const QString util = source("a/util.c", "#include \"defs.h\"\nvoid u() {}\n");
    const QString other = source("b/other.c", "#include \"defs.h\"\nint o(void) {}\n");
    for (const QString& file : {main, util, other})
        insert(file);
    const QStringList expected = {
        main + " [page]", "  first [function]", "  second [function]",
        util + " [page]", "  u [function]",
        other + " [page]", "  o [function]",
        "Dependancies [squares]", "  " + path("a/defs.h") + " [page]", "  " + path("b/defs.h") + " [page]"};
    EXPECT_EQ(wholeTree(*view), expected);
    EXPECT_EQ(view->completionNames(), QStringList({"first", "second", "u", "o"}));

    // A save fills the tree afresh: collapsed, nothing selected, and the
    // sources as they are on disk now.
    openEveryNode(*view);
    select(node("second", main));
    source("b/other.c", "#include \"defs.h\"\nint o(void) {}\nint added(void) {}\n");
    saveAs("p.tarn");
    QStringList afterSave = expected;
    afterSave.insert(7, "  added [function]");
    EXPECT_EQ(wholeTree(*view), afterSave);
    EXPECT_EQ(view->currentItem(), nullptr);
    EXPECT_EQ(view->completionNames(), QStringList({"first", "second", "u", "o", "added"}));
}

// Sources enough that the worker is still reading them when the first
// nodes show, on a fast machine too: a source of a hundred functions is
// read and scanned in microseconds, so each carries a long comment as well.
QStringList manySources(ProjectFixture& f)
{
    const QByteArray text = QByteArray("int f(void) {}\n").repeated(100) + "/*" +
                            QByteArray("a comment line\n").repeated(4000) + "*/\n";
    QStringList sources;
    for (int i = 0; i < 400; ++i)
        sources << f.source(QStringLiteral("many/s%1.c").arg(i), text);
    return sources;
}

// Handles events without pausing (a pass runs one slice of the fill at
// most) until the first nodes are shown.
bool waitForFirstNodes(const CProjectView& view)
{
    QDeadlineTimer deadline(30000);
    while (view.topLevelItemCount() == 0 && !deadline.hasExpired())
        QCoreApplication::processEvents();
    return view.topLevelItemCount() > 0;
}

TEST_F(ProjectTree, AProjectChangedOrClosedWhileItsTreeFills)
{
    const QStringList many = manySources(*this);
    const QString small = source("small.c", "#include \"small.h\"\nint only(void) {}\n");
    const QStringList smallTree = {small, "  only", "Dependancies", "  " + path("small.h")};

    // Changed partway: nothing of the first scan stays.
    doc->project().sources = many;
    view->RebuildTree();
    ASSERT_TRUE(waitForFirstNodes(*view));
    ASSERT_TRUE(view->isFilling());
    doc->project().sources = {small};
    view->RebuildTree();
    waitForTree();
    EXPECT_EQ(treeLines(), smallTree);
    EXPECT_EQ(view->completionNames(), QStringList{"only"});

    // Changed before any result was taken.
    doc->project().sources = many;
    view->RebuildTree();
    doc->project().sources = {small};
    view->RebuildTree();
    waitForTree();
    EXPECT_EQ(treeLines(), smallTree);

    // Closed partway, and closed before any result: the window goes, and
    // another project fills its tree.
    for (const bool partway : {true, false}) {
        doc->project().sources = many;
        view->RebuildTree();
        if (partway) {
            ASSERT_TRUE(waitForFirstNodes(*view));
            ASSERT_TRUE(view->isFilling());
        }
        QPointer<CProjectView> closing(view);
        doc->setModified(false);
        ASSERT_TRUE(view->parentFrame()->close());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        ASSERT_TRUE(closing.isNull());
        ASSERT_TRUE(execute(cmd::FileNewProject));
        doc = dynamic_cast<CProjectDoc*>(app->mainWindow()->activeDocument());
        ASSERT_NE(doc, nullptr);
        view = dynamic_cast<CProjectView*>(doc->firstView());
        ASSERT_NE(view, nullptr);
        insert(small);
        EXPECT_EQ(treeLines(), smallTree);
    }
    EXPECT_TRUE(prompts.messages.isEmpty());
}

TEST_F(ProjectTree, LayoutAcrossDirectoriesAndRemove)
{
    EXPECT_TRUE(treeLines().isEmpty()); // no "Dependancies" without sources
    const QString main = source("a/main.c", kMain);
    const QString util = source("a/util.c", "#include \"defs.h\"\n#include \"util.h\"\nvoid u() {}\n");
    const QString other = source("b/other.c", "#include \"defs.h\"\n#include \"Defs.h\"\n");
    insert(main);
    insert(util);
    insert(other);
    EXPECT_EQ(treeLines(), QStringList({main, "  first", "  second", util, "  u", other,
                                        "Dependancies", "  " + path("a/defs.h"),
                                        "  " + path("a/util.h"), "  " + path("b/defs.h"),
                                        "  " + path("b/Defs.h")}));
    EXPECT_TRUE(doc->isModified());
    EXPECT_EQ(doc->project().sources, QStringList({main, util, other}));
    // Every node carries its picture.
    EXPECT_FALSE(node("first", main)->icon(0).isNull());
    EXPECT_FALSE(node("Dependancies")->icon(0).isNull());

    // Remove takes only a selected source node.
    doc->setModified(false);
    select(node("first", main));
    ASSERT_TRUE(execute(cmd::RemoveFile));
    EXPECT_TRUE(doc->isModified());
    waitForTree();
    select(nullptr);
    ASSERT_TRUE(execute(cmd::RemoveFile));
    EXPECT_EQ(doc->project().sources, QStringList({main, util, other}));
    waitForTree();
    select(node(main));
    ASSERT_TRUE(execute(cmd::RemoveFile));
    waitForTree();
    EXPECT_EQ(treeLines(), QStringList({util, "  u", other, "Dependancies", "  " + path("a/defs.h"),
                                        "  " + path("a/util.h"), "  " + path("b/defs.h"),
                                        "  " + path("b/Defs.h")}));
}

TEST_F(ProjectTree, InsertRefusesAnExactDuplicateOnlyAndCancelStillRebuilds)
{
    const QString main = source("main.c", kMain);
    insert(main);
    // The file changes on disk; a refused duplicate does not rebuild.
    source("main.c", "int changed(void) {}\n");
    insert(main);
    EXPECT_EQ(prompts.messages, QStringList{"That file already exists in this project"});
    EXPECT_EQ(treeLines().mid(0, 3), QStringList({main, "  first", "  second"}));

    ASSERT_TRUE(execute(cmd::InsertFile)); // cancelled dialog
    waitForTree();
    EXPECT_EQ(treeLines().mid(0, 2), QStringList({main, "  changed"}));
    EXPECT_EQ(prompts.openDialogs.last().filters.first(), "Source Files (*.*)");

    const QString upper = path("MAIN.c");
    const qsizetype messages = prompts.messages.size();
    insert(upper); // another letter case is another entry, even if missing
    EXPECT_EQ(doc->project().sources, QStringList({main, upper}));
    // Marked in the tree with the reason, said in the status bar, and no
    // box stops the user; the sources after it still show.
    const QString util = source("util.c", "#include \"util.h\"\nint u(void) {}\n");
    insert(util);
    EXPECT_EQ(prompts.messages.size(), messages);
    EXPECT_EQ(wholeTree(*view), QStringList({main + " [page]", "  changed [function]", upper + " [missing]",
                                             util + " [page]", "  u [function]", "Dependancies [squares]",
                                             "  " + path("util.h") + " [page]"}));
    EXPECT_EQ(node(upper)->toolTip(0), QStringLiteral("Cannot be read: no such file"));
    int remaining = 0;
    EXPECT_EQ(app->mainWindow()->lastingStatus(&remaining),
              "A source of the project cannot be read: " + upper + " (no such file)");
}

TEST_F(ProjectTree, DoubleClickOpensFilesAndGoesToTheChosenFunction)
{
    const QString main = source("main.c", kMain);
    insert(main);
    openEveryNode(*view);
    QTreeWidgetItem* second = node("second", main);
    ASSERT_NE(second, nullptr);
    const QPoint centre = view->visualItemRect(second).center();
    view->setCurrentItem(second);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, centre);
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, centre);

    auto* editor = dynamic_cast<CTarnView*>(app->mainWindow()->activeDocument()->firstView());
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->fw::View::document()->pathName(), main);
    int line = -1, index = -1;
    editor->getCursorPosition(&line, &index);
    EXPECT_EQ(line, 8);
    EXPECT_EQ(index, 0);

    // The file lost its definitions since the rebuild: the node is not followed.
    source("main.c", "int only(void) {}\n");
    select(second);
    view->OnDoubleClick();
    editor->getCursorPosition(&line, &index);
    EXPECT_EQ(line, 8);

    // An included file opens as a source, even when it does not exist yet.
    select(node(path("defs.h"), "Dependancies"));
    view->OnDoubleClick();
    EXPECT_NE(app->mainWindow()->activeDocument()->pathName(), path("defs.h"));
    EXPECT_TRUE(prompts.messages.last().contains(path("defs.h")));
}

TEST_F(ProjectTree, OddSourcesStillGiveATree)
{
    QByteArray binary;
    for (int i = 0; i < 70000; ++i)
        binary.append(char((i * 7919) % 256));
    QByteArray big;
    while (big.size() < 10 * 1024 * 1024)
        big += "static int f(int x)\n{\n\treturn x * 2; /* twice */\n}\n";
    QByteArray repeated;
    for (int i = 0; i < 10000; ++i)
        repeated += "#include \"same.h\"\n";
    const QString a = source("binary.o", binary);
    const QString b = source("big.c", big);
    const QString c = source("repeat.c", repeated + "int last(void) {}\n");
    doc->project().sources = {a, b, c};
    view->RebuildTree();
    waitForTree();
    EXPECT_TRUE(prompts.messages.isEmpty());
    ASSERT_EQ(view->topLevelItemCount(), 4);
    EXPECT_GT(node(b)->childCount(), 100000);
    EXPECT_EQ(treeLines().mid(treeLines().size() - 4),
              QStringList({c, "  last", "Dependancies", "  " + path("same.h")}));
}

// A source's functions are made when its node is first opened, and the
// column is as wide as the widest row shown: wider while a node with a long
// name is open, as narrow as before once it is closed, measured again for a
// new font. The view's own measure of the rows shown is the reference.
TEST_F(ProjectTree, NodesOpenWithTheirFunctionsAndTheColumnFitsTheRowsShown)
{
    const QByteArray longName = QByteArray("a_function_with_a_long_name_").repeated(8);
    const QString main = source("m.c", "int " + longName + "(void) {}\nint short_one(void) {}\n");
    insert(main);
    // The measure is public in the base class.
    const auto needed = [&] { return static_cast<const QAbstractItemView*>(view)->sizeHintForColumn(0); };
    const auto fitsRowsShown = [&] {
        const int width = view->header()->sectionSize(0);
        return width >= needed() && width <= needed() + 4;
    };
    ASSERT_EQ(view->topLevelItemCount(), 2); // the source and "Dependancies"
    QTreeWidgetItem* top = view->topLevelItem(0);
    EXPECT_EQ(top->childCount(), 0);
    EXPECT_TRUE(fitsRowsShown()) << view->header()->sectionSize(0) << " " << needed();
    const int closedWidth = view->header()->sectionSize(0);

    view->setFocus();
    view->setCurrentItem(top);
    QTest::keyClick(view, Qt::Key_Right);
    ASSERT_TRUE(top->isExpanded());
    ASSERT_EQ(top->childCount(), 2);
    EXPECT_EQ(top->child(0)->text(0), QString::fromLatin1(longName));
    EXPECT_EQ(top->child(1)->text(0), "short_one");
    EXPECT_EQ(pictureOf(top->child(0)), "function");
    EXPECT_GT(view->header()->sectionSize(0), closedWidth);
    EXPECT_TRUE(fitsRowsShown()) << view->header()->sectionSize(0) << " " << needed();

    QTest::keyClick(view, Qt::Key_Left);
    ASSERT_FALSE(top->isExpanded());
    EXPECT_EQ(view->header()->sectionSize(0), closedWidth);
    EXPECT_EQ(top->childCount(), 2); // made once

    top->setExpanded(true);
    QFont larger = view->font();
    if (larger.pointSize() > 0)
        larger.setPointSize(larger.pointSize() * 2);
    else
        larger.setPixelSize(larger.pixelSize() * 2);
    view->setFont(larger);
    EXPECT_GT(view->header()->sectionSize(0), 2 * closedWidth);
    EXPECT_TRUE(fitsRowsShown()) << view->header()->sectionSize(0) << " " << needed();
}

TEST_F(ProjectTree, ContextMenuOffersTheProjectCommands)
{
    view->OnContextMenu(view->mapToGlobal(QPoint(5, 5)));
    ASSERT_TRUE(testsupport::waitUntil([&] { return QApplication::activePopupWidget(); }));
    auto* popup = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    ASSERT_NE(popup, nullptr);
    QStringList enabled;
    for (QAction* action : popup->actions())
        if (!action->isSeparator() && action->isEnabled())
            enabled << action->text();
    popup->close();
    for (const char* text : {"&Insert File...", "&Remove File", "&Touch File", "T&ouch All",
                             "Set &Compile Options...", "Set &Linking Options...", "&Close"})
        EXPECT_TRUE(enabled.contains(text)) << text;
}

} // namespace
