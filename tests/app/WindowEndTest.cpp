// The real tarn program with its windows (on the offscreen platform),
// ended from outside as a logout (SIGTERM), a closed terminal (SIGHUP) or
// Ctrl+C in the terminal it was started from (SIGINT) ends it: it closes
// as usual and ends with status 0 instead of dying by the signal.
#include "support/TarnRun.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <signal.h>

#include <utility>

namespace {

// True once the process catches the signal (its handler is installed):
// the SigCgt mask of /proc/PID/status.
bool catches(qint64 pid, int signal)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return false;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("SigCgt:"))
            return (line.mid(7).trimmed().toULongLong(nullptr, 16) >> (signal - 1)) & 1;
    }
    return false;
}

TEST(WindowEnd, ASignalClosesTarnAsUsual)
{
    for (const auto& [signal, name] :
         {std::pair{SIGTERM, "TERM"}, std::pair{SIGHUP, "HUP"}, std::pair{SIGINT, "INT"}}) {
        SCOPED_TRACE(name);
        QTemporaryDir home;
        ASSERT_TRUE(home.isValid());
        // A gcc path set: no warning box waits at the start.
        ASSERT_TRUE(testsupport::writeFile(home.filePath("config/Tarn32.ini"),
                                           "[Options]\nGCC Path=/usr/bin/gcc\n"));
        ASSERT_TRUE(testsupport::writeFile(home.filePath("main.c"), "int x;\n"));
        QProcessEnvironment env = tarntest::headlessEnvironment(home.filePath("config"));
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("XDG_STATE_HOME", home.filePath("state"));
        env.insert("HOME", home.path());
        QDir().mkpath(home.filePath("runtime"));
        QFile::setPermissions(home.filePath("runtime"),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        env.insert("XDG_RUNTIME_DIR", home.filePath("runtime"));
        QProcess tarn;
        tarn.setProcessEnvironment(env);
        tarn.start(TARN_EXECUTABLE, {home.filePath("main.c")});
        ASSERT_TRUE(tarn.waitForStarted());
        QElapsedTimer clock;
        clock.start();
        while (!catches(tarn.processId(), signal) && tarn.state() == QProcess::Running &&
               clock.elapsed() < 60000)
            tarn.waitForFinished(20);
        ASSERT_TRUE(catches(tarn.processId(), signal)) << tarn.readAllStandardError().constData();
        ASSERT_EQ(::kill(pid_t(tarn.processId()), signal), 0);
        ASSERT_TRUE(tarn.waitForFinished(60000));
        EXPECT_EQ(tarn.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(tarn.exitCode(), 0) << tarn.readAllStandardError().constData();
        EXPECT_EQ(testsupport::readFile(home.filePath("main.c")), "int x;\n");
    }
}

} // namespace
