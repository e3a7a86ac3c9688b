// Closing the active window hands the focus to the window used before it,
// a source or a project first: the message window only when none is left.
#include "SettingsTestEnvironment.h"
#include "framework/CommandRouter.h"
#include "framework/Document.h"
#include "framework/MdiChildFrame.h"
#include "framework/StandardIds.h"
#include "messages/CMessageView.h"

#include <QApplication>
#include <QTest>

#include <gtest/gtest.h>

namespace {

class CloseFocus : public StartedTarn {
protected:
    fw::MdiChildFrame* open(const QString& name)
    {
        const QString path = configFolder() + QLatin1Char('/') + name;
        EXPECT_TRUE(testsupport::writeFile(path, "int " + name.left(1).toUtf8() + ";\n"));
        fw::Document* doc = app->openDocumentFile(path);
        return doc && doc->firstView() ? doc->firstView()->parentFrame() : nullptr;
    }
    QString activeTitle() const
    {
        fw::MdiChildFrame* active = main->activeChild();
        return active ? active->windowTitle() : QString();
    }
    // Closes the active window (File > Close); the next one is active at
    // once and stays so once the closed window is gone.
    void closeActive(fw::MdiChildFrame* next)
    {
        ASSERT_TRUE(main->router()->execute(fw::id::FileClose));
        EXPECT_EQ(main->activeChild(), next) << activeTitle().toStdString();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
        EXPECT_EQ(main->activeChild(), next) << activeTitle().toStdString();
    }
};

TEST_F(CloseFocus, TheWindowUsedBeforeComesBackAndTheMessageWindowLast)
{
    // Activations are told by the area while the main window is active, as
    // on a desktop.
    main->show();
    QApplication::setActiveWindow(main);
    ASSERT_TRUE(QTest::qWaitForWindowActive(main));
    fw::MdiChildFrame* messages = main->messageView()->parentFrame();
    // The untitled source of the start goes first: only the message window
    // is left.
    closeActive(messages);
    fw::MdiChildFrame* a = open("a.c");
    fw::MdiChildFrame* b = open("b.c");
    fw::MdiChildFrame* c = open("c.c");
    ASSERT_TRUE(a && b && c);
    // Used in the order c, a, message window, b: closing b goes back to a
    // (the message window was used in between, but sources come first),
    // then to c, then to the message window.
    a->activate();
    messages->activate();
    b->activate();
    ASSERT_EQ(main->activeChild(), b);
    closeActive(a);
    closeActive(c);
    closeActive(messages);

    // A window closed while another is active leaves the active one alone.
    fw::MdiChildFrame* d = open("d.c");
    fw::MdiChildFrame* e = open("e.c");
    ASSERT_EQ(main->activeChild(), e);
    d->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
    EXPECT_EQ(main->activeChild(), e);
}

} // namespace
