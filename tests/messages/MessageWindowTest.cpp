// The message window among source windows: its frame, saving the log, the
// context menu and opening the file of a diagnostic by a double click.
#include "editor/EditorFixture.h"
#include "messages/CMessageFrame.h"
#include "messages/CMessageView.h"
#include "messages/MessageLog.h"
#include "support/ScriptedPrompts.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QMdiArea>
#include <QMenu>
#include <QScrollBar>
#include <QTest>

namespace {

// A project window shows no lines.
class PlainView : public QWidget, public fw::View {
public:
    QWidget* widget() override { return this; }
};

class MessageWindow : public EditorFixture, public ::testing::Test {
protected:
    MessageWindow()
    {
        app.addDocTemplate(std::make_unique<fw::DocTemplate>(
            menu::Project, "Project\nProject\nProject\nProject Files (*.tarn)\n.tarn\n\n",
            fw::DocTemplate::Factories{
                [] { return new CTarnDoc; },
                [](fw::Document* doc) { return new fw::MdiChildFrame(doc, new PlainView, {}); }}));
        app.addDocTemplate(createMessageDocTemplate());
        messageDoc = app.docTemplates().back()->openDocumentFile(QString());
        view = dynamic_cast<CMessageView*>(messageDoc->firstView());
        frame = view->parentFrame();
    }
    ~MessageWindow() override
    {
        QDir::setCurrent(oldCurrent);
        if (QWidget* popup = QApplication::activePopupWidget())
            popup->close();
    }

    QString makeFile(const QString& name)
    {
        EXPECT_TRUE(testsupport::writeFile(path(name), "int main(void)\n{\n  return 0;\n}\n"));
        return path(name);
    }

    // Double-clicks the row with the mouse, as the user does.
    void doubleClickRow(int row)
    {
        view->flushLayout();
        const int y =
            (row - view->verticalScrollBar()->value()) * view->rowHeight() + view->rowHeight() / 2;
        QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, QPoint(30, y));
    }

    QString oldCurrent = QDir::currentPath();
    ScriptedPrompts prompts;
    fw::Document* messageDoc = nullptr;
    CMessageView* view = nullptr;
    fw::MdiChildFrame* frame = nullptr;
};

TEST_F(MessageWindow, FrameStartsWithBannerCannotBeClosedAndHasItsContextMenu)
{
    // Its title and first rows are pinned where Tarn starts (StartupTest).
    EXPECT_EQ(frame->size(), QSize(630, 110));
    EXPECT_FALSE(frame->windowFlags() & (Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint |
                                         Qt::WindowCloseButtonHint));

    EXPECT_FALSE(frame->close());
    EXPECT_FALSE(frame->commandEnabled(fw::id::FileClose));
    // A long unsaved log is never offered for saving.
    for (int i = 0; i < 1000; ++i)
        view->AppendLine(QStringLiteral("line %1").arg(i), 0);
    EXPECT_TRUE(app.saveAllModified());
    EXPECT_TRUE(prompts.messages.isEmpty());

    // Its context menu activates it and runs its commands.
    ASSERT_NE(open(makeFile("other.c")), nullptr);
    ASSERT_NE(main->activeChild(), frame);
    const QPoint local(40, 10);
    QContextMenuEvent event(QContextMenuEvent::Mouse, local, view->viewport()->mapToGlobal(local));
    QCoreApplication::sendEvent(view->viewport(), &event);
    EXPECT_EQ(main->activeChild(), frame);
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menu->actions().at(0)->text(), "&Clear Messages");
    menu->actions().at(0)->trigger();
    EXPECT_EQ(view->rowCount(), 0);
}

TEST_F(MessageWindow, SavesTheLogAndKeepsItsCaption)
{
    view->ClearMessages();
    view->AppendLine("Errors:", 1);
    view->AppendLine("foo.c:3: error: boom", 0);
    view->AppendLine(QString(), 0);
    const QString log = path("build.log");
    prompts.saveFiles.push_back(log);
    EXPECT_TRUE(messageDoc->runCommand(fw::id::FileSave));
    EXPECT_TRUE(prompts.saveDialogs[0].defaultSuffix.isEmpty());
    EXPECT_EQ(testsupport::readFile(log),
              QByteArray("Saved messages from Tarn version 3.4\r\n\r\nErrors:\r\n\r\nfoo.c:3: "
                         "error: boom\r\n\r\n"));
    EXPECT_EQ(frame->windowTitle(), "Message Window");
    EXPECT_EQ(view->rowCount(), 4);

    // Later saves go to the same file without asking.
    view->ClearMessages();
    EXPECT_TRUE(messageDoc->runCommand(fw::id::FileSave));
    EXPECT_EQ(prompts.saveDialogs.size(), 1);
    EXPECT_EQ(testsupport::readFile(log), messageLogHeader());
    EXPECT_TRUE(prompts.messages.isEmpty());
}

TEST_F(MessageWindow, DoubleClickOpensTheSourceAtItsLineOrReportsWhy)
{
    const QString rel = makeFile("rel.c");
    const QString zero = makeFile("z.c");
    const QString project = makeFile("demo.tarn");
    ASSERT_TRUE(QDir::setCurrent(dir.path()));
    struct Case {
        const char* name;
        QString line;
        QString shown; // the active source and its selected text; empty: the message window stays
                       // active
        QStringList messageParts; // what the one message names; empty: no message
    };
    const Case cases[] = {
        {"heading", "Errors:", {}, {}},
        {"no line number", "foo.c: In function 'main':", {}, {}},
        {"earlier colon and digits belong to the name", "note:1 rel.c:7: warning: unused", {}, {"note:1 rel.c"}},
        {"missing file", path("gone.c") + ":4: error: x", {}, {"gone.c"}},
        {"file name before the colons", "std::string", {}, {"/std\""}},
        {"a project is not opened", project + ":2: see here", {}, {"demo.tarn", "line 2"}},
        {"relative to the current folder", "rel.c:3: warning: unused", rel + "   return 0;", {}},
        {"an open source is activated and selected anew", rel + ":2:5: error: x", rel + " {", {}},
        {"no digits name line 0", zero + "::x", zero + " ", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        prompts.messages.clear();
        main->mdiArea()->setActiveSubWindow(frame);
        view->AppendLine(c.line, 0);
        const int row = view->rowCount() - 1;
        doubleClickRow(row);
        // The message window keeps its rows and the selection.
        EXPECT_EQ(view->rowCount(), row + 1);
        EXPECT_EQ(view->selectedRow(), row);
        ASSERT_EQ(prompts.messages.size(), c.messageParts.isEmpty() ? 0 : 1);
        for (const QString& part : c.messageParts)
            EXPECT_TRUE(prompts.messages[0].contains(part)) << prompts.messages[0].toStdString();
        if (c.shown.isEmpty()) {
            EXPECT_EQ(main->activeChild(), frame);
        } else {
            auto* source = dynamic_cast<CTarnView*>(main->activeView());
            ASSERT_NE(source, nullptr);
            EXPECT_EQ(source->sourceDocument()->pathName() + " " + source->selectedText(), c.shown);
        }
    }
    // No selection at all: nothing either. One window per source.
    view->setSelectedRow(-1);
    view->OnDoubleClick();
    EXPECT_EQ(main->childFrames().size(), 3);
}

} // namespace
