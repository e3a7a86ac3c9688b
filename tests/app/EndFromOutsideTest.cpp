// Tarn's windows ended from outside, as a logout (SIGTERM) or a closed
// terminal (SIGHUP) ends them: the signal is sent to this process while a
// real make runs and a source has unsaved changes. The make with every
// process of its recipe ends, the changes are kept in a recovery copy (the
// user's file untouched) and the next start says where they are.
#include "SettingsTestEnvironment.h"

#include "app/RecoveredWork.h"
#include "editor/CTarnView.h"
#include "framework/Document.h"
#include "framework/MdiChildFrame.h"
#include "messages/CMessageView.h"
#include "singlefile/MakeRun.h"
#include "tools/ProcessTree.h"

#include "support/ProcessWatch.h"

#include <QDir>
#include <QStandardPaths>
#include <QTest>

#include <gtest/gtest.h>

#include <signal.h>

namespace {

// Each recipe line's shell writes its pid; the first leaves a process that
// ignores SIGTERM, the second one that left make's session (setsid).
const char kMakefile[] =
    "all:\n"
    "\tsh -c 'trap \"\" TERM; echo $$$$ > stubborn.tmp; mv stubborn.tmp stubborn.pid; "
    "exec sleep 300' &\n"
    "\tsetsid sleep 1000 & echo $$! > setsid.tmp; mv setsid.tmp setsid.pid; "
    "echo $$$$ > shell.tmp; mv shell.tmp shell.pid; sleep 300\n";

class EndFromOutside : public SettingsTestEnvironment {
protected:
    void SetUp() override
    {
        // Found before the environment takes the tools off PATH.
        m_make = QStandardPaths::findExecutable(QStringLiteral("make"));
        const QByteArray path = qgetenv("PATH");
        SettingsTestEnvironment::SetUp();
        // The recipe's shell finds sh, setsid and sleep on it.
        qputenv("PATH", path);
        m_oldState = qgetenv("XDG_STATE_HOME");
        qputenv("XDG_STATE_HOME", (configFolder() + QStringLiteral("/state")).toLocal8Bit());
        // As Tarn is (main): what loses its parent comes to it.
        BecomeSubreaper();
    }
    void TearDown() override
    {
        for (const char* name : {"stubborn", "setsid", "shell"}) {
            const qint64 pid = pidOf(name);
            if (pid > 0 && testsupport::processAlive(pid))
                ::kill(pid_t(pid), SIGKILL);
        }
        qputenv("XDG_STATE_HOME", m_oldState);
        SettingsTestEnvironment::TearDown();
    }
    qint64 pidOf(const char* name) const
    {
        return testsupport::readFile(configFolder() + "/" + name + ".pid").trimmed().toLongLong();
    }
    QStringList messageRows(CTarnApp& app) const
    {
        QStringList rows;
        CMessageView* view = app.mainWindow()->messageView();
        for (int row = 0; row < view->rowCount(); ++row)
            rows << view->rowText(row);
        return rows;
    }

    QByteArray m_oldState;
    QString m_make;
};

TEST_F(EndFromOutside, TermOrHupEndsTheMakeAndKeepsUnsavedWork)
{
    const QString make = m_make;
    if (make.isEmpty())
        GTEST_SKIP() << "no make on this host";
    const QString source = configFolder() + QStringLiteral("/main.c");
    const QByteArray saved = "int main(void) { return 0; }\n";
    for (const auto& [signal, name] : {std::pair{SIGTERM, "TERM"}, std::pair{SIGHUP, "HUP"}}) {
        SCOPED_TRACE(name);
        for (const char* file : {"stubborn.pid", "setsid.pid", "shell.pid"})
            QFile::remove(configFolder() + "/" + file);
        QDir(RecoveryFolder()).removeRecursively();
        ASSERT_TRUE(testsupport::writeFile(source, saved));
        ASSERT_TRUE(testsupport::writeFile(configFolder() + "/Makefile", kMakefile));
        {
            CTarnApp app;
            ASSERT_TRUE(app.InitInstance({source}));
            IdeSettings settings = app.mainWindow()->context().settings();
            settings.makePath = make;
            app.mainWindow()->context().setSettings(settings);
            fw::Document* document = app.mainWindow()->activeChild()->document();
            auto* view = dynamic_cast<CTarnView*>(document->firstView());
            ASSERT_NE(view, nullptr);
            QTest::keyClicks(view, QStringLiteral("/* typed */"));
            ASSERT_TRUE(document->isModified());
            const QByteArray typed = view->textCopy();
            MakeThread(app.mainWindow()->context(), configFolder() + QStringLiteral("/Makefile"));
            ASSERT_TRUE(testsupport::waitUntil(
                [&] { return pidOf("stubborn") > 0 && pidOf("setsid") > 0 && pidOf("shell") > 0; },
                20000));
            prompts->messages.clear();

            ASSERT_EQ(::kill(::getpid(), signal), 0);
            ASSERT_TRUE(testsupport::waitUntil([&] { return !app.mainWindow()->isVisible(); }));
            for (const char* process : {"stubborn", "setsid", "shell"})
                EXPECT_TRUE(testsupport::goneSoon(pidOf(process))) << process;
            // No question was asked; the user's file is as it was saved.
            EXPECT_TRUE(prompts->messages.isEmpty()) << prompts->messages.join('|').toStdString();
            EXPECT_EQ(testsupport::readFile(source), saved);
            const QStringList copies = QDir(RecoveryFolder()).entryList({"*-main.c"}, QDir::Files);
            ASSERT_EQ(copies.size(), 1) << copies.join(' ').toStdString();
            EXPECT_EQ(testsupport::readFile(QDir(RecoveryFolder()).filePath(copies.first())), typed);
        }
        // The next start tells where the changes are, once.
        const QString copy = QDir(RecoveryFolder()).filePath(
            QDir(RecoveryFolder()).entryList({"*-main.c"}, QDir::Files).value(0));
        const QString notice = QStringLiteral(
            "Tarn was ended with unsaved changes to %1; they were kept in %2").arg(source, copy);
        {
            CTarnApp app;
            ASSERT_TRUE(app.InitInstance({}));
            EXPECT_TRUE(messageRows(app).contains(notice)) << messageRows(app).join('\n').toStdString();
        }
        {
            CTarnApp app;
            ASSERT_TRUE(app.InitInstance({}));
            EXPECT_FALSE(messageRows(app).contains(notice));
        }
    }
}

} // namespace
