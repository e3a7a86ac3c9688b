// F5 on a source that belongs to no project, the first time, as a new user
// meets it: programs built by gcc and make under their usual names, one
// built without -g, one older than its source, none at all; and what the
// status bar says about stops and watches. Tarn's real windows on the
// offscreen platform, the host's gcc and gdb.
#include "DebuggerWindow.h"

#include "debugger/DebugPanes.h"
#include "singlefile/CSourceBuildDialog.h"
#include "tools/ModalDriver.h"

#include <QDateTime>
#include <QPlainTextEdit>
#include <QStatusBar>
#include <QTest>

#include <fcntl.h>
#include <sys/stat.h>

using testsupport::waitUntil;

namespace {

const QByteArray kLoop = R"(#include <stdio.h>

int main(void)
{
    int total = 0;
    char line[16];
    for (int i = 1; i <= 3; ++i)
        total += i; /* loop body */
    printf("total %d\n", total); /* after loop */
    fflush(stdout);
    if (fgets(line, sizeof line, stdin)) /* wait */
        return 1;
    return 0;
}
)";

int lineOf(const char* marker)
{
    return debugtest::lineOf(kLoop, marker);
}

class DebugFirstStart : public debugtest::DebuggerWindow {
protected:
    void SetUp() override
    {
        DebuggerWindow::SetUp();
        if (IsSkipped())
            return;
        // Build Source's gcc finds its assembler and linker on PATH.
        qputenv("PATH", "/usr/local/bin:/usr/bin:/bin");
        panes = debugger->panes();
        source = dir.filePath(QStringLiteral("loop.c"));
        ASSERT_TRUE(testsupport::writeFile(source, kLoop));
        setAge(source, 100);
    }

    // gcc as a user runs it in the source's folder: `gcc FLAGS loop.c`.
    bool gcc(const QStringList& flags)
    {
        QProcess run;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("PATH"), QStringLiteral("/usr/local/bin:/usr/bin:/bin"));
        run.setProcessEnvironment(environment);
        run.setWorkingDirectory(dir.path());
        run.start(debugtest::toolPath("gcc"), flags + QStringList{QStringLiteral("loop.c")});
        return run.waitForFinished(60000) && run.exitCode() == 0;
    }
    static void setAge(const QString& path, int seconds)
    {
        const qint64 now = QDateTime::currentSecsSinceEpoch();
        const timespec times[2] = {{now - seconds, 0}, {now - seconds, 0}};
        ASSERT_EQ(::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0), 0);
    }
    CTarnView* openWithBreakpoint(const char* marker)
    {
        CTarnView* view = open(source);
        if (!view)
            return nullptr;
        view->setCursorPosition(lineOf(marker) - 1, 0);
        press(Qt::Key_F9);
        return view;
    }
    QString status() const { return main->statusBar()->currentMessage(); }
    // Shift+F5, and the session is over.
    void stopDebugging()
    {
        press(Qt::Key_F5, Qt::ShiftModifier);
        ASSERT_TRUE(waitUntil([&] { return !debugger->session().isActive(); }));
    }
    QString file(const char* name) const { return dir.filePath(QLatin1String(name)); }

    QTemporaryDir dir;
    QString source;
    DebugPanes* panes = nullptr;
};

// `gcc -g -o loop loop.c`, `gcc -g loop.c` (a.out) and Tarn's own loop.exe:
// the first F5 stops at the breakpoint, with no question asked.
TEST_F(DebugFirstStart, ProgramsOfTheUsualNamesStopTheFirstTime)
{
    struct Case {
        QStringList flags;
        const char* program;
    };
    const Case cases[] = {
        {{"-g", "-o", "loop"}, "loop"},
        {{"-g"}, "a.out"},
        {{"-g", "-o", "loop.exe"}, "loop.exe"},
    };
    CTarnView* view = openWithBreakpoint("loop body");
    ASSERT_NE(view, nullptr);
    for (const Case& c : cases) {
        for (const char* old : {"loop", "a.out", "loop.exe"})
            QFile::remove(file(old));
        ASSERT_TRUE(gcc(c.flags)) << c.program;
        press(Qt::Key_F5);
        ASSERT_TRUE(stoppedAt(lineOf("loop body"))) << c.program << ": " << status().toStdString();
        EXPECT_TRUE(prompts->messages.isEmpty()) << prompts->messages.join('\n').toStdString();
        EXPECT_EQ(status(), QStringLiteral("Stopped at loop.c:%1 (breakpoint 1)").arg(lineOf("loop body")));
        ASSERT_NO_FATAL_FAILURE(stopDebugging());
    }
}

// Built without -g: the status bar and Program Output say why no
// breakpoint holds, while the program runs (it waits for a line).
TEST_F(DebugFirstStart, AProgramWithoutDebuggingInformationIsSaid)
{
    ASSERT_TRUE(gcc({"-o", "loop"}));
    ASSERT_NE(openWithBreakpoint("loop body"), nullptr);
    press(Qt::Key_F5);
    const QString note = QStringLiteral("loop has no debugging information: build it with Debug info (-g)");
    ASSERT_TRUE(waitUntil([&] {
        return debugger->session().state() == DebugSession::State::Running &&
               panes->output->toPlainText().contains(QStringLiteral("total 6"));
    })) << status().toStdString();
    EXPECT_EQ(status(), note);
    EXPECT_TRUE(panes->output->toPlainText().contains(note)) << panes->output->toPlainText().toStdString();
    EXPECT_TRUE(prompts->messages.isEmpty());
}

// Nothing built: the question names what was looked for; No leaves it
// there, Yes opens Build Source with -g ticked, and debugging follows the
// build.
TEST_F(DebugFirstStart, NoProgramNamesWhatWasLookedForAndOffersTheBuild)
{
    ASSERT_NE(openWithBreakpoint("loop body"), nullptr);
    prompts->answers = {fw::Prompts::Answer::No};
    press(Qt::Key_F5);
    const QString said = QStringLiteral("No program to debug for loop.c: found no loop.exe, loop or "
                                        "a.out in %1/")
                             .arg(dir.path());
    ASSERT_EQ(prompts->messages.size(), 1);
    EXPECT_TRUE(prompts->messages.first().startsWith(said + QStringLiteral(".\n\n")))
        << prompts->messages.first().toStdString();
    EXPECT_EQ(status(), said);
    EXPECT_EQ(debugger->session().state(), DebugSession::State::Idle);

    prompts->answers = {fw::Prompts::Answer::Yes};
    bool debugInfoTicked = false;
    EXPECT_TRUE(DriveModal<CSourceBuildDialog>([&] { press(Qt::Key_F5); },
                                              [&](CSourceBuildDialog* d) {
                                                  debugInfoTicked = d->options.debugInfo == 1;
                                                  ClickButton(d, "compile");
                                              }));
    EXPECT_TRUE(debugInfoTicked);
    EXPECT_TRUE(QFile::exists(file("loop.exe")));
    ASSERT_TRUE(stoppedAt(lineOf("loop body"))) << status().toStdString();
}

// A program older than its source: said before it starts; No debugs it as
// it is, Cancel does nothing, Yes builds it first.
TEST_F(DebugFirstStart, AProgramOlderThanItsSourceIsSaidFirst)
{
    ASSERT_TRUE(gcc({"-g", "-o", "loop"}));
    setAge(file("loop"), 500);
    ASSERT_NE(openWithBreakpoint("loop body"), nullptr);

    prompts->answers = {fw::Prompts::Answer::Cancel};
    press(Qt::Key_F5);
    ASSERT_EQ(prompts->messages.size(), 1);
    EXPECT_TRUE(prompts->messages.first().startsWith(QStringLiteral("loop is older than loop.c.")))
        << prompts->messages.first().toStdString();
    EXPECT_EQ(debugger->session().state(), DebugSession::State::Idle);

    prompts->answers = {fw::Prompts::Answer::No};
    press(Qt::Key_F5);
    ASSERT_TRUE(stoppedAt(lineOf("loop body"))) << status().toStdString();
    ASSERT_NO_FATAL_FAILURE(stopDebugging());

    prompts->answers = {fw::Prompts::Answer::Yes};
    EXPECT_TRUE(DriveModal<CSourceBuildDialog>([&] { press(Qt::Key_F5); },
                                              [](CSourceBuildDialog* d) { ClickButton(d, "compile"); }));
    ASSERT_TRUE(stoppedAt(lineOf("loop body"))) << status().toStdString();
    EXPECT_EQ(debugger->session().lastStop().frame.fullname,
              QFile::encodeName(source));
    EXPECT_EQ(prompts->messages.size(), 3);
}

// Run to Cursor's breakpoint is not the user's: the stop reads as a plain
// one. Watches lose their values and change marks with the session.
TEST_F(DebugFirstStart, RunToCursorAndWatchesSayWhatIsTrue)
{
    ASSERT_TRUE(gcc({"-g", "-O0", "-o", "loop"}));
    CTarnView* view = openWithBreakpoint("loop body");
    ASSERT_NE(view, nullptr);
    debugger->session().addWatch("total");
    debugger->session().addWatch("no_such_name");
    press(Qt::Key_F5);
    ASSERT_TRUE(stoppedAt(lineOf("loop body")));
    press(Qt::Key_F5);
    ASSERT_TRUE(stoppedAt(lineOf("loop body")));
    const QList<DebugWatch>& watches = debugger->session().watches();
    ASSERT_EQ(watches.size(), 2);
    EXPECT_EQ(watches[0].value, "1");
    EXPECT_TRUE(watches[0].changed);
    EXPECT_TRUE(watches[1].error);
    EXPECT_EQ(watches[1].value, "No symbol \"no_such_name\" in current context.");

    view->setFocus();
    view->setCursorPosition(lineOf("loop body") - 1, 0);
    press(Qt::Key_F9); // the loop's breakpoint goes
    view->setCursorPosition(lineOf("after loop") - 1, 0);
    press(Qt::Key_F10, Qt::ControlModifier);
    ASSERT_TRUE(stoppedAt(lineOf("after loop"))) << status().toStdString();
    EXPECT_EQ(status(), QStringLiteral("Stopped at loop.c:%1").arg(lineOf("after loop")));

    ASSERT_NO_FATAL_FAILURE(stopDebugging());
    for (const DebugWatch& watch : debugger->session().watches()) {
        EXPECT_TRUE(watch.value.isEmpty()) << watch.expression.constData();
        EXPECT_FALSE(watch.changed);
        EXPECT_FALSE(watch.error);
        EXPECT_FALSE(watch.evaluated);
    }
    EXPECT_EQ(debugger->session().watches().size(), 2);
}

} // namespace
