#include "app/CAboutDlg.h"
#include "app/CChildFrame.h"
#include "app/CMainFrame.h"
#include "app/CTarnApp.h"
#include "app/IdeSettings.h"
#include "editor/CTarnView.h"
#include "framework/CommandRouter.h"
#include "framework/DocTemplate.h"
#include "framework/Document.h"
#include "framework/MdiChildFrame.h"
#include "framework/StandardIds.h"
#include "messages/CMessageView.h"
#include "project/CProjectFrame.h"
#include "support/ScriptedPrompts.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QLabel>
#include <QMdiArea>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

const QString kGccWarning = QStringLiteral(
    "It appears that you have not yet set your program paths in the View->Options menu.  "
    "Tarn may not work correctly until you do!");

// Each test starts from its own settings file, with no tools on PATH.
class Startup : public ::testing::Test {
protected:
    void SetUp() override
    {
        QFile::remove(settingsFilePath());
        m_oldPath = qgetenv("PATH");
        qputenv("PATH", m_emptyFolder.path().toLocal8Bit());
    }
    void TearDown() override
    {
        QFile::remove(settingsFilePath());
        qputenv("PATH", m_oldPath);
    }

    static void writeSettings(const QByteArray& text)
    {
        ASSERT_TRUE(testsupport::writeFile(settingsFilePath(), text));
    }

private:
    QTemporaryDir m_emptyFolder;
    QByteArray m_oldPath;
};

} // namespace

TEST_F(Startup, NoArgumentsGivesMessageWindowThenUntitledSource)
{
    ScriptedPrompts prompts;
    CTarnApp app;
    ASSERT_TRUE(app.InitInstance({}));
    CMainFrame* main = app.mainWindow();

    // The gcc-path warning, once, before any window was shown.
    EXPECT_EQ(prompts.messages, QStringList({kGccWarning}));

    const QList<fw::MdiChildFrame*> frames = main->childFrames();
    ASSERT_EQ(frames.size(), 2);
    ASSERT_NE(g_pMessageView, nullptr);
    EXPECT_EQ(frames.at(0), g_pMessageView->parentFrame());
    EXPECT_EQ(frames.at(0)->windowTitle(), "Message Window");
    ASSERT_EQ(g_pMessageView->rowCount(), 2);
    EXPECT_TRUE(g_pMessageView->rowText(0).contains(QStringLiteral("Tarn version 3.4")));
    EXPECT_EQ(g_pMessageView->rowIcon(1), 2);

    auto* source = qobject_cast<CChildFrame*>(frames.at(1));
    ASSERT_NE(source, nullptr);
    EXPECT_EQ(main->activeChild(), source);
    EXPECT_TRUE(source->document()->pathName().isEmpty());
    EXPECT_EQ(source->document()->title(), "Untitled1");
    EXPECT_NE(dynamic_cast<CTarnView*>(source->view()), nullptr);
    EXPECT_TRUE(main->isMaximized());
    EXPECT_EQ(main->windowTitle(), "Tarn - Untitled1");
    EXPECT_EQ(main->currentMenuResource(), 129);

    // The three document types in order, with their document strings.
    const auto& templates = app.docTemplates();
    ASSERT_EQ(templates.size(), 3u);
    EXPECT_EQ(templates[0]->resourceId(), 129);
    EXPECT_EQ(templates[1]->resourceId(), 157);
    EXPECT_EQ(templates[2]->resourceId(), 155);
    EXPECT_EQ(templates[0]->docString(fw::DocTemplate::FileNewName), "Source File");
    EXPECT_EQ(templates[0]->docString(fw::DocTemplate::RegFileTypeName), "Tarn Document");
    EXPECT_EQ(templates[1]->docString(fw::DocTemplate::FileNewName), "Project");
    EXPECT_EQ(templates[1]->docString(fw::DocTemplate::FilterExt), ".tarn");
    EXPECT_EQ(templates[2]->docString(fw::DocTemplate::WindowTitle), "Message Window");
}

TEST_F(Startup, PathArgumentsOpenProjectOrSourceOrEndTheProgram)
{
    QTemporaryDir dir;
    const QString project = dir.filePath(QStringLiteral("hello.tarn"));
    const QString source = dir.filePath(QStringLiteral("main.c"));
    ASSERT_TRUE(testsupport::writeFile(project, QByteArray(46, '\0')));
    ASSERT_TRUE(testsupport::writeFile(source, "int main(void) { return 0; }\n"));
    writeSettings("[Options]\nGCC Path=/usr/bin/gcc\n");

    {
        ScriptedPrompts prompts;
        CTarnApp app;
        ASSERT_TRUE(app.InitInstance({project}));
        EXPECT_TRUE(prompts.messages.isEmpty()) << prompts.messages.join('\n').toStdString();
        auto* frame = qobject_cast<CProjectFrame*>(app.mainWindow()->activeChild());
        ASSERT_NE(frame, nullptr);
        EXPECT_EQ(frame->document()->pathName(), project);
        EXPECT_EQ(app.mainWindow()->childFrames().size(), 2);
        EXPECT_EQ(app.mainWindow()->currentMenuResource(), 157);
    }
    {
        ScriptedPrompts prompts;
        CTarnApp app;
        ASSERT_TRUE(app.InitInstance({source}));
        auto* frame = qobject_cast<CChildFrame*>(app.mainWindow()->activeChild());
        ASSERT_NE(frame, nullptr);
        EXPECT_EQ(frame->document()->pathName(), source);
        EXPECT_EQ(frame->document()->title(), "main.c");
    }
    {
        SCOPED_TRACE("a path that cannot be opened ends the program");
        ScriptedPrompts prompts;
        CTarnApp app;
        EXPECT_FALSE(app.InitInstance({dir.filePath(QStringLiteral("nowhere.c"))}));
        ASSERT_EQ(prompts.messages.size(), 1);
        EXPECT_TRUE(prompts.messages.first().contains(QStringLiteral("nowhere.c")));
    }
}

TEST_F(Startup, NewCommandsNeverAskForATypeAndMessageWindowStays)
{
    writeSettings("[Options]\nGCC Path=/usr/bin/gcc\n");
    ScriptedPrompts prompts;
    CTarnApp app;
    ASSERT_TRUE(app.InitInstance({}));
    CMainFrame* main = app.mainWindow();
    EXPECT_TRUE(main->router()->execute(fw::id::FileNew));
    EXPECT_TRUE(main->router()->execute(32851));
    EXPECT_TRUE(prompts.messages.isEmpty());
    const QList<fw::MdiChildFrame*> frames = main->childFrames();
    ASSERT_EQ(frames.size(), 4);
    EXPECT_EQ(frames.at(2)->document()->title(), "Untitled2");
    EXPECT_NE(qobject_cast<CProjectFrame*>(frames.at(3)), nullptr);
    EXPECT_EQ(frames.at(3)->document()->title(), "Project1");

    // The message window refuses to close, by command or by its frame.
    fw::MdiChildFrame* messages = g_pMessageView->parentFrame();
    messages->activate();
    EXPECT_FALSE(main->router()->isEnabled(fw::id::FileClose));
    EXPECT_FALSE(messages->close());
    EXPECT_EQ(main->childFrames().size(), 4);
}

TEST_F(Startup, AboutBoxShowsTheVersion)
{
    CAboutDlg about;
    EXPECT_EQ(about.windowTitle(), "About Tarn");
    auto* version = about.findChild<QLabel*>(QStringLiteral("version"));
    ASSERT_NE(version, nullptr);
    EXPECT_EQ(version->text(), "Tarn Version 3.4");
}
