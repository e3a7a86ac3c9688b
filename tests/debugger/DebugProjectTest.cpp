// Start Debugging on a project window: the project is built first (a job
// of the main window's tool session, with the real gcc) when its program is
// out of date, the session starts when the build succeeds, never when it
// fails, and a current program starts at once.
#include "DebugProgram.h"

#include "debugger/DebugController.h"
#include "editor/CTarnView.h"
#include "project/ProjectFixture.h"
#include "support/ProcessWatch.h"

#include <QDateTime>
#include <QSignalSpy>
#include <QStatusBar>

namespace {

const QByteArray kMain = R"(int scale(int n);

int main(void)
{
    int result = scale(6);
    return result == 42 ? 7 : 1;
}
)";

const QByteArray kUtil = R"(int scale(int n)
{
    int times = n * 7; /* scale body */
    return times;
}
)";

class DebugProjectTest : public ProjectFixture {
protected:
    void SetUp() override
    {
        ProjectFixture::SetUp();
        if (debugtest::gdbPath().isEmpty())
            GTEST_SKIP() << "no gdb on this host";
        IdeSettings settings = app->mainWindow()->context().settings();
        settings.gdbPath = debugtest::gdbPath();
        app->mainWindow()->context().setSettings(settings);
        debugger = app->mainWindow()->debugger();
        buildsEnded = std::make_unique<QSignalSpy>(&app->mainWindow()->context().jobs(),
                                                   &JobManager::jobFinished);
        QObject::connect(&debugger->session(), &DebugSession::stateChanged,
                         [this](DebugSession::State state) {
                             if (state == DebugSession::State::Starting)
                                 ++starts;
                         });
    }
    void TearDown() override
    {
        if (debugger)
            debugger->session().stop();
        buildsEnded.reset();
        ProjectFixture::TearDown();
    }
    QString status() const { return app->mainWindow()->statusBar()->currentMessage(); }
    bool startEnabled()
    {
        app->mainWindow()->router()->updateActions();
        return app->mainWindow()->router()->isEnabled(cmd::DebugStart);
    }
    // Project builds ended since the test began.
    int builds() const { return int(buildsEnded->count()); }

    DebugController* debugger = nullptr;
    std::unique_ptr<QSignalSpy> buildsEnded;
    int starts = 0;
};

TEST_F(DebugProjectTest, BuildsWhenOutOfDateThenStartsOnlyOnSuccess)
{
    const QString util = source("util.c", kUtil);
    doc->project().sources = {source("main.c", kMain), util};
    saveAs("p.tarn");
    const int body = int(kUtil.left(kUtil.indexOf("scale body")).count('\n')) + 1;
    debugger->breakpointBook().toggle(nullptr, util, body - 1);

    // Nothing built yet: F5 builds as a job, the session waits for it.
    ASSERT_TRUE(execute(cmd::DebugStart));
    EXPECT_NE(debugger->pendingBuild(), 0);
    EXPECT_TRUE(app->mainWindow()->context().jobs().isRunning(debugger->pendingBuild()));
    EXPECT_EQ(status(), QStringLiteral("Building the project before debugging"));
    EXPECT_FALSE(startEnabled());
    EXPECT_EQ(starts, 0);
    ASSERT_TRUE(testsupport::waitUntil(
        [&] { return debugger->session().state() == DebugSession::State::Stopped; }, 60000))
        << status().toStdString();
    app->mainWindow()->context().messages().flush();
    EXPECT_EQ(builds(), 1);
    EXPECT_TRUE(QFile::exists(path("p.exe")));
    EXPECT_EQ(debugger->session().lastStop().frame.function, "scale");
    ASSERT_TRUE(
        testsupport::waitUntil([&] { return status().startsWith(QStringLiteral("Stopped")); }));
    EXPECT_EQ(status(), QStringLiteral("Stopped at util.c:%1 (breakpoint 1)").arg(body));
    debugger->session().continueRunning();
    ASSERT_TRUE(testsupport::waitUntil(
        [&] { return debugger->session().state() == DebugSession::State::Ended; }, 20000));
    EXPECT_EQ(debugger->session().lastStop().exitCode, 7);

    // The stop brought util.c forward; F5 there still debugs the project
    // that holds it, current now: gdb starts at once, with no build.
    fw::Document* active = app->mainWindow()->activeDocument();
    ASSERT_NE(active, nullptr);
    EXPECT_EQ(active->pathName(), util);
    ASSERT_TRUE(execute(cmd::DebugStart));
    EXPECT_TRUE(prompts.messages.isEmpty())
        << prompts.messages.join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(debugger->pendingBuild(), 0);
    EXPECT_EQ(starts, 2);
    ASSERT_TRUE(testsupport::waitUntil(
        [&] { return debugger->session().state() == DebugSession::State::Stopped; }, 20000));
    debugger->session().stop();
    app->mainWindow()->context().messages().flush();
    EXPECT_EQ(builds(), 1);

    // A source edited into an error: the build runs and fails, gdb does
    // not start and the status bar says so.
    source("util.c", "int scale(int n) { return n * 7 }\n");
    QFile edited(util);
    ASSERT_TRUE(edited.open(QIODevice::ReadWrite));
    ASSERT_TRUE(edited.setFileTime(QDateTime::currentDateTime().addSecs(5),
                                   QFileDevice::FileModificationTime));
    edited.close();
    const qint64 lastGdb = debugger->session().gdbProcessId();
    ASSERT_TRUE(execute(cmd::DebugStart));
    ASSERT_NE(debugger->pendingBuild(), 0);
    ASSERT_TRUE(testsupport::waitUntil([&] { return debugger->pendingBuild() == 0; }, 60000));
    QCoreApplication::processEvents();
    EXPECT_EQ(status(), QStringLiteral("The project did not build: debugging not started"));
    EXPECT_EQ(starts, 2);
    EXPECT_EQ(debugger->session().gdbProcessId(), lastGdb);
    EXPECT_EQ(debugger->session().state(), DebugSession::State::Ended);
    app->mainWindow()->context().messages().flush();
    EXPECT_EQ(builds(), 2);
    EXPECT_TRUE(startEnabled());
}

TEST_F(DebugProjectTest, StopDebuggingWhileBuildingStartsNothing)
{
    doc->project().sources = {source("main.c", kMain), source("util.c", kUtil)};
    saveAs("p.tarn");
    ASSERT_TRUE(execute(cmd::DebugStart));
    const int build = debugger->pendingBuild();
    ASSERT_NE(build, 0);
    app->mainWindow()->router()->updateActions();
    EXPECT_TRUE(app->mainWindow()->router()->isEnabled(cmd::DebugStop));
    ASSERT_TRUE(execute(cmd::DebugStop));
    EXPECT_EQ(debugger->pendingBuild(), 0);
    finishJobs();
    QCoreApplication::processEvents();
    // The build went on to its end; debugging did not follow it.
    EXPECT_TRUE(QFile::exists(path("p.exe")));
    EXPECT_EQ(starts, 0);
    EXPECT_EQ(debugger->session().state(), DebugSession::State::Idle);
}

TEST_F(DebugProjectTest, RunToCursorInAProjectSourceBuildsFirstAndStopsThere)
{
    const QString util = source("util.c", kUtil);
    doc->project().sources = {source("main.c", kMain), util};
    saveAs("p.tarn");
    fw::Document* utilDoc = app->openDocumentFile(util);
    ASSERT_NE(utilDoc, nullptr);
    auto* view = dynamic_cast<CTarnView*>(utilDoc->firstView());
    ASSERT_NE(view, nullptr);
    const int body = int(kUtil.left(kUtil.indexOf("scale body")).count('\n')) + 1;
    view->setCursorPosition(body, 0); // the line after the body's first
    ASSERT_TRUE(execute(cmd::DebugRunToCursor));
    EXPECT_NE(debugger->pendingBuild(), 0);
    ASSERT_TRUE(testsupport::waitUntil(
        [&] { return debugger->session().state() == DebugSession::State::Stopped; }, 60000))
        << status().toStdString();
    EXPECT_EQ(builds(), 1);
    EXPECT_EQ(debugger->session().lastStop().frame.line, body + 1);
    EXPECT_TRUE(prompts.messages.isEmpty()) << prompts.messages.join(QLatin1Char('\n')).toStdString();
}

} // namespace
