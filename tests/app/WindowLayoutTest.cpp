// Where Tarn's child windows go and how they come forward: placement of new
// windows, Cascade, Ctrl+Tab past a maximised window, the caption menus, and
// the prompts of disabled menu items.
#include "app/CMainFrame.h"
#include "app/CTarnApp.h"
#include "app/IdeSettings.h"
#include "framework/CommandRouter.h"
#include "framework/MdiChildFrame.h"
#include "framework/StandardIds.h"
#include "messages/CMessageView.h"
#include "resources/CommandIds.h"
#include "support/ScriptedPrompts.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QScrollBar>
#include <QStatusBar>
#include <QTest>

#include <gtest/gtest.h>

namespace {

class WindowLayout : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(testsupport::writeFile(settingsFilePath(), "[Options]\nGCC Path=/usr/bin/gcc\n"));
        ASSERT_TRUE(app.InitInstance({}));
        main = app.mainWindow();
        main->showNormal();
        main->resize(1000, 700);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(main));
        QApplication::processEvents();
        messages = g_pMessageView->parentFrame();
    }
    void TearDown() override { QFile::remove(settingsFilePath()); }

    QList<fw::MdiChildFrame*> openSources(int count)
    {
        for (int i = 0; i < count; ++i)
            EXPECT_TRUE(main->router()->execute(fw::id::FileNew));
        QApplication::processEvents();
        return main->childFrames().mid(main->childFrames().size() - count);
    }
    QRect space() const { return main->mdiArea()->viewport()->rect(); }

    ScriptedPrompts prompts;
    CTarnApp app;
    CMainFrame* main = nullptr;
    fw::MdiChildFrame* messages = nullptr;
};

} // namespace

TEST_F(WindowLayout, NewWindowsAndCascadeGiveUsefulPlacesAndKeepEveryTitleBarVisible)
{
    const int step = main->cascadeStep();
    for (int sources : {3, 15}) {
        SCOPED_TRACE(sources);
        const QList<fw::MdiChildFrame*> frames = openSources(sources);
        // New windows step down from the top left, start again there, and
        // stay inside.
        int wraps = 0;
        for (qsizetype i = 0; i < frames.size(); ++i) {
            const QRect place = frames.at(i)->geometry();
            EXPECT_TRUE(space().contains(place)) << i;
            if (i > 0 && place.topLeft() == QPoint(0, 0)) {
                ++wraps;
            } else if (i > 0) {
                EXPECT_EQ(place.topLeft(), frames.at(i - 1)->geometry().topLeft() + QPoint(step, step)) << i;
            }
        }
        EXPECT_EQ(wraps >= 1, sources == 15);
        EXPECT_FALSE(main->mdiArea()->verticalScrollBar()->isVisible());
        EXPECT_FALSE(main->mdiArea()->horizontalScrollBar()->isVisible());
        frames.at(1)->activate();
        ASSERT_TRUE(main->router()->execute(fw::id::WindowCascade));
        const QList<QMdiSubWindow*> stack = main->mdiArea()->subWindowList(QMdiArea::StackingOrder);
        EXPECT_EQ(stack.last(), frames.at(1)) << "the active window ends on top";
        EXPECT_EQ(main->activeChild(), frames.at(1));
        for (qsizetype i = 0; i < stack.size(); ++i) {
            const QRect place = stack.at(i)->geometry();
            EXPECT_TRUE(space().contains(place)) << i;
            EXPECT_GE(place.width(), space().width() * 3 / 5) << i;
            EXPECT_GE(place.height(), space().height() * 3 / 5) << i;
            // No window above covers the start of this one's title bar.
            const QPoint title = place.topLeft() + QPoint(4, 4);
            for (qsizetype j = i + 1; j < stack.size(); ++j)
                EXPECT_FALSE(stack.at(j)->geometry().contains(title)) << i << " under " << j;
        }
    }
}

TEST_F(WindowLayout, NextFromAMaximisedSourceNeverMaximisesTheMessageWindow)
{
    const QList<fw::MdiChildFrame*> frames = openSources(2);
    frames.at(1)->showMaximized();
    for (int i = 0; i < 6; ++i) {
        ASSERT_TRUE(main->router()->execute(cmd::WindowNext));
        QApplication::processEvents();
        EXPECT_FALSE(messages->isMaximized()) << i;
        if (main->activeChild() == messages) {
            EXPECT_EQ(messages->size(), QSize(630, 110));
        }
    }
}

TEST_F(WindowLayout, CaptionMenusOfferOnlyWhatTheFrameAllows)
{
    const QList<fw::MdiChildFrame*> frames = openSources(1);
    auto texts = [](fw::MdiChildFrame* frame) {
        QStringList list;
        for (QAction* action : frame->systemMenu()->actions()) {
            if (!action->isSeparator())
                list << action->text();
        }
        return list;
    };
    EXPECT_EQ(texts(messages), QStringList({"&Move", "&Size"}));
    EXPECT_EQ(texts(frames.at(0)),
              QStringList({"&Restore", "&Move", "&Size", "Mi&nimize", "Ma&ximize", "&Close"}));
}

TEST_F(WindowLayout, DisabledMenuItemsShowTheirPromptToo)
{
    openSources(1);
    QAction* edit = nullptr;
    for (QAction* top : main->menuBar()->actions()) {
        if (top->text() == QLatin1String("&Edit"))
            edit = top;
    }
    ASSERT_NE(edit, nullptr);
    QMenu* file = edit->menu();
    main->menuBar()->setActiveAction(edit); // opened from the bar, as a user does
    ASSERT_TRUE(QTest::qWaitForWindowExposed(file));
    // Undo is off in a new window; Select All is on.
    for (const auto& [text, enabled, prompt] :
         {std::tuple{"&Undo\tCtrl+Z", false, "Undo the last action"},
          std::tuple{"Select A&ll\tCtrl+A", true, "Select the entire document"},
          std::tuple{"&Undo\tCtrl+Z", false, "Undo the last action"}}) {
        QAction* item = nullptr;
        for (QAction* action : file->actions()) {
            if (action->text() == QLatin1String(text))
                item = action;
        }
        ASSERT_NE(item, nullptr) << text;
        EXPECT_EQ(item->isEnabled(), enabled) << text;
        main->statusBar()->showMessage(QStringLiteral("Ready"));
        QTest::mouseMove(file, file->actionGeometry(item).center());
        QApplication::processEvents();
        EXPECT_EQ(main->statusBar()->currentMessage().toStdString(), prompt) << text;
    }
    file->close();
}
