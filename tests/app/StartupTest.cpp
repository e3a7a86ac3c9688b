// Starting Tarn: the windows it opens, its path arguments and the About box.
#include "SettingsTestEnvironment.h"

#include "app/CAboutDlg.h"
#include "app/CChildFrame.h"
#include "editor/CTarnView.h"
#include "framework/Document.h"
#include "framework/MdiChildFrame.h"
#include "messages/CMessageView.h"

#include <QLabel>

#include <gtest/gtest.h>

using Startup = SettingsTestEnvironment;

TEST_F(Startup, NoArgumentsGivesMessageWindowThenUntitledSource)
{
    CTarnApp app;
    ASSERT_TRUE(app.InitInstance({}));
    CMainFrame* main = app.mainWindow();

    // The gcc-path warning, once, before any window was shown.
    EXPECT_EQ(prompts->messages.size(), 1);

    const QList<fw::MdiChildFrame*> frames = main->childFrames();
    ASSERT_EQ(frames.size(), 2);
    EXPECT_EQ(frames.at(0), main->messageView()->parentFrame());
    EXPECT_EQ(frames.at(0)->windowTitle(), "Message Window");
    ASSERT_EQ(main->messageView()->rowCount(), 2);
    EXPECT_TRUE(main->messageView()->rowText(0).contains(QStringLiteral("Tarn version 3.4")));
    EXPECT_EQ(main->messageView()->rowIcon(1), 2);

    auto* source = qobject_cast<CChildFrame*>(frames.at(1));
    ASSERT_NE(source, nullptr);
    EXPECT_EQ(main->activeChild(), source);
    EXPECT_NE(dynamic_cast<CTarnView*>(source->view()), nullptr);
    EXPECT_TRUE(main->isMaximized());
    EXPECT_EQ(main->windowTitle(), "Tarn - Untitled1");
    EXPECT_EQ(main->currentMenuResource(), 129);
}

// Projects and sources named on the command line open; when no path can
// be opened, the program ends.
TEST_F(Startup, PathArgumentsOpenProjectOrSourceOrEndTheProgram)
{
    const QString project = configFolder() + QStringLiteral("/hello.tarn");
    const QString source = configFolder() + QStringLiteral("/main.c");
    ASSERT_TRUE(testsupport::writeFile(project, QByteArray(46, '\0')));
    ASSERT_TRUE(testsupport::writeFile(source, "int main(void) { return 0; }\n"));
    ASSERT_TRUE(testsupport::writeFile(settingsFilePath(), "[Options]\nGCC Path=/usr/bin/gcc\n"));
    const std::tuple<QString, const char*, int> cases[] = {
        {project, "hello.tarn", 157},
        {source, "main.c", 129},
        {configFolder() + QStringLiteral("/nowhere.c"), nullptr, 0},
    };
    for (const auto& [path, title, menu] : cases) {
        SCOPED_TRACE(title ? title : "nowhere.c");
        prompts->messages.clear();
        CTarnApp app;
        EXPECT_EQ(app.InitInstance({path}), title != nullptr);
        if (!title) {
            ASSERT_EQ(prompts->messages.size(), 1);
            EXPECT_TRUE(prompts->messages.first().contains(QStringLiteral("nowhere.c")));
            continue;
        }
        EXPECT_TRUE(prompts->messages.isEmpty()) << prompts->messages.join('\n').toStdString();
        fw::MdiChildFrame* frame = app.mainWindow()->activeChild();
        EXPECT_EQ(frame->document()->pathName(), path);
        EXPECT_EQ(frame->document()->title(), title);
        EXPECT_EQ(app.mainWindow()->childFrames().size(), 2);
        EXPECT_EQ(app.mainWindow()->currentMenuResource(), menu);
    }

    // Several names: each opens, the last one named active; one that
    // cannot be opened is reported and the others still open.
    prompts->messages.clear();
    CTarnApp app;
    ASSERT_TRUE(app.InitInstance({source, configFolder() + QStringLiteral("/nowhere.c"), project}));
    ASSERT_EQ(prompts->messages.size(), 1);
    EXPECT_TRUE(prompts->messages.first().contains(QStringLiteral("nowhere.c")));
    EXPECT_EQ(app.mainWindow()->childFrames().size(), 3);
    EXPECT_EQ(app.mainWindow()->activeChild()->document()->pathName(), project);
}

TEST_F(Startup, AboutBoxShowsTheVersion)
{
    CAboutDlg about;
    EXPECT_EQ(about.windowTitle(), "About Tarn");
    EXPECT_EQ(about.findChild<QLabel*>(QStringLiteral("version"))->text(), "Tarn Version 3.4");
}
