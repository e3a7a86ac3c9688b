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
#include <QMenuBar>
#include <QTest>

namespace {

class KeyRecorder : public QWidget {
public:
    using QWidget::QWidget;
    QList<int> keys;

protected:
    void keyPressEvent(QKeyEvent* event) override { keys << event->key(); }
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

// Context menus: MenuOpen.EveryContextMenuOpensTwice.
TEST(TarnMenuBuild, BuiltMenuBarsMatchTheirLayouts)
{
    fw::MdiMainFrame frame(&tarnCommandTable());
    for (int resource : menuwalk::menuBars) {
        const fw::MenuLayout& layout = *tarnCommandTable().menu(resource);
        const QList<QMenu*> menus = frame.menuBar(resource);
        ASSERT_EQ(menus.size(), static_cast<qsizetype>(layout.size())) << "menu " << resource;
        for (qsizetype i = 0; i < menus.size(); ++i) {
            EXPECT_EQ(menus[i]->title(), layout[i].text);
            EXPECT_EQ(menuwalk::describe(menus[i]), menuwalk::describe(layout[i]))
                << "menu " << resource << " " << layout[i].text.toStdString();
        }
    }
    // Status tips come from the table: the recent-file placeholder shows its prompt.
    EXPECT_EQ(frame.menuBar(menu::MainFrame).front()->actions()[5]->statusTip(),
              QStringLiteral("Open this document"));
}

// Every bound key runs its command. Esc is bound to an id with no handler:
// its action is disabled and the key goes to the focused widget (an editor
// or list may use Esc itself).
TEST(TarnMenuBuild, EveryKeyReachesItsCommandAndEscPassesThrough)
{
    RecordingFrame frame;
    std::vector<std::pair<QKeySequence, int>> bindings;
    for (const fw::CommandInfo& info : tarnCommandTable().commands()) {
        for (const QKeySequence& key : info.keys)
            bindings.push_back({key, info.id});
        if (info.id != cmd::Escape)
            frame.handle(info.id);
    }
    ASSERT_FALSE(bindings.empty());
    frame.show();
    frame.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&frame));
    frame.router()->updateActions();
    auto* field = new KeyRecorder(&frame);
    field->setFocus();
    for (const auto& [key, id] : bindings) {
        SCOPED_TRACE(key.toString().toStdString());
        frame.ran.clear();
        field->keys.clear();
        QTest::keySequence(field, key);
        EXPECT_EQ(frame.ran, id == cmd::Escape ? std::vector<int>{} : std::vector<int>{id});
        EXPECT_EQ(field->keys.contains(key[0].key()), id == cmd::Escape);
    }
}
