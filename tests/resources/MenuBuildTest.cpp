// Tarn's command table in a real main frame: the menus it builds and the
// keys it binds.
#include "framework/CommandRouter.h"
#include "framework/MdiMainFrame.h"
#include "resources/CommandIds.h"
#include "resources/MenuWalk.h"
#include "resources/TarnCommands.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QTest>

namespace {

// The entries of a built menu, in the form menuwalk::describe gives a
// layout: hidden separators that mark the window list count as "<windows>".
QStringList describe(const QMenu* menu, const QString& indent = QString())
{
    QStringList lines;
    for (QAction* action : menu->actions()) {
        if (action->property("windowListMarker").toBool())
            lines << indent + QStringLiteral("<windows>");
        else if (action->isSeparator())
            lines << indent + QStringLiteral("—");
        else if (action->menu()) {
            lines << indent + QLatin1Char('[') + action->menu()->title() + QLatin1Char(']');
            lines << describe(action->menu(), indent + QStringLiteral("  "));
        } else
            lines << indent + action->text();
    }
    return lines;
}

// Every action of a built menu with its status tip, submenus included.
void collect(const QMenu* menu, QList<QAction*>& actions)
{
    for (QAction* action : menu->actions()) {
        if (action->menu())
            collect(action->menu(), actions);
        else if (!action->isSeparator())
            actions << action;
    }
}

class KeyRecorder : public QWidget {
public:
    using QWidget::QWidget;
    QList<int> keys;

protected:
    void keyPressEvent(QKeyEvent* event) override
    {
        if (event->key() != Qt::Key_Control) // QTest presses the modifier too
            keys << event->key();
    }
};

class RecordingFrame : public fw::MdiMainFrame {
public:
    RecordingFrame() : fw::MdiMainFrame(&tarnCommandTable()) {}
    void handle(int id)
    {
        onCommand(id, [this, id] { ran.push_back(id); });
    }
    std::vector<int> ran;
};

} // namespace

TEST(TarnMenuBuild, BuiltMenusMatchTheirLayouts)
{
    fw::MdiMainFrame frame(&tarnCommandTable());
    for (int resource : menuwalk::menuBarResources()) {
        const fw::MenuLayout& layout = *tarnCommandTable().menu(resource);
        const QList<QMenu*> menus = frame.menuBar(resource);
        ASSERT_EQ(menus.size(), static_cast<qsizetype>(layout.size())) << "menu " << resource;
        for (qsizetype i = 0; i < menus.size(); ++i) {
            EXPECT_EQ(menus[i]->title(), layout[i].text);
            EXPECT_EQ(describe(menus[i]), menuwalk::describe(layout[i])) << "menu " << resource << " "
                                                                         << layout[i].text.toStdString();
        }
    }
    for (int resource : menuwalk::contextMenuResources()) {
        std::unique_ptr<QMenu> menu(frame.createContextMenu(resource, nullptr));
        ASSERT_TRUE(menu) << "menu " << resource;
        EXPECT_EQ(describe(menu.get()), menuwalk::describe(tarnCommandTable().menu(resource)->front()))
            << "menu " << resource;
    }
    // The default menu bar is the frame's own; the recent-file placeholder
    // shows its prompt.
    frame.setDefaultMenuResource(menu::MainFrame);
    QStringList titles;
    for (QAction* action : frame.QMainWindow::menuBar()->actions())
        titles << action->text();
    EXPECT_EQ(titles, QStringList({"&File", "&View", "&Help"}));
    EXPECT_EQ(frame.menuBar(menu::MainFrame).front()->actions()[5]->statusTip(), QStringLiteral("Open this document"));
}

TEST(TarnMenuBuild, ActionsCarryTheirPrompts)
{
    // Status tips come from the table by id: an item with a wrong id shows
    // the wrong prompt.
    fw::MdiMainFrame frame(&tarnCommandTable());
    QList<QAction*> actions;
    for (QMenu* menu : frame.menuBar(menu::Source))
        collect(menu, actions);
    QStringList tips;
    for (QAction* action : actions)
        tips << action->text().section(QLatin1Char('\t'), 0, 0) + QStringLiteral(": ") + action->statusTip();
    EXPECT_TRUE(tips.contains(QStringLiteral("&Quick Compile to Object: Compile source into object (*.o) code")));
    EXPECT_TRUE(tips.contains(QStringLiteral("Tile &Vertically: Arrange windows as non-overlapping tiles")));
    EXPECT_TRUE(tips.contains(QStringLiteral("for ( ; ; ) { }: Insert a for loop into the source")));
    EXPECT_TRUE(tips.contains(QStringLiteral("switch ( ) { case: default: }: Insert a switch statement into the source")));
    EXPECT_TRUE(tips.contains(QStringLiteral("Insert Date: Inserts the current date in the text")));
    for (QAction* action : actions)
        EXPECT_FALSE(action->statusTip().isEmpty()) << action->text().toStdString();
}

TEST(TarnMenuBuild, EveryKeyReachesItsCommand)
{
    RecordingFrame frame;
    std::vector<std::pair<QKeySequence, int>> bindings;
    for (const fw::CommandInfo& info : tarnCommandTable().commands()) {
        if (info.id == cmd::Escape)
            continue; // nothing handles it
        frame.handle(info.id);
        for (const QKeySequence& key : info.keys)
            bindings.push_back({key, info.id});
    }
    ASSERT_EQ(bindings.size(), 25u);
    frame.show();
    frame.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&frame));
    frame.router()->updateActions();
    for (const auto& [key, id] : bindings) {
        frame.ran.clear();
        QTest::keySequence(&frame, key);
        EXPECT_EQ(frame.ran, std::vector<int>{id}) << key.toString().toStdString();
    }
}

TEST(TarnMenuBuild, UnhandledKeysDoNothing)
{
    // Esc and Ctrl+R are bound to ids with no handler: their actions are
    // disabled and pressing them runs nothing.
    RecordingFrame frame;
    frame.show();
    frame.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&frame));
    frame.router()->updateActions();
    for (QAction* action : frame.router()->shortcutActions())
        EXPECT_FALSE(action->isEnabled()) << action->property("commandId").toInt();
    QTest::keyClick(&frame, Qt::Key_Escape);
    QTest::keyClick(&frame, Qt::Key_R, Qt::ControlModifier);
    EXPECT_TRUE(frame.ran.empty());

    // A disabled binding leaves the key to the focused widget (an editor
    // or list may use Esc itself).
    auto* field = new KeyRecorder(&frame);
    field->setFocus();
    QTest::keyClick(field, Qt::Key_Escape);
    QTest::keyClick(field, Qt::Key_R, Qt::ControlModifier);
    EXPECT_EQ(field->keys, (QList<int>{Qt::Key_Escape, Qt::Key_R}));
}
