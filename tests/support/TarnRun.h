#pragma once

// Runs the real tarn program as a user runs it from a shell: no display,
// the C locale and, given a configuration folder, no settings file (so the
// gcc on PATH is used). For the core tests, which know TARN_EXECUTABLE.
#include <QByteArray>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace tarntest {

struct Finished {
    int status = -1;
    QByteArray out;
    QByteArray err;
};

inline QProcessEnvironment headlessEnvironment(const QString& configHome = QString())
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove("DISPLAY");
    env.remove("WAYLAND_DISPLAY");
    env.remove("QT_QPA_PLATFORM");
    env.insert("LC_ALL", "C");
    if (!configHome.isEmpty())
        env.insert("XDG_CONFIG_HOME", configHome);
    return env;
}

// `stdoutFile`: where standard output goes instead of a pipe.
inline Finished runProgram(const QString& program, const QStringList& arguments,
                           const QProcessEnvironment& env = headlessEnvironment(),
                           const QString& workingDirectory = QString(),
                           const QString& stdoutFile = QString())
{
    QProcess tarn;
    tarn.setProcessEnvironment(env);
    if (!workingDirectory.isEmpty())
        tarn.setWorkingDirectory(workingDirectory);
    if (!stdoutFile.isEmpty())
        tarn.setStandardOutputFile(stdoutFile);
    tarn.start(program, arguments);
    EXPECT_TRUE(tarn.waitForFinished(120000)) << arguments.join(' ').toStdString();
    return {tarn.exitStatus() == QProcess::NormalExit ? tarn.exitCode() : -1,
            tarn.readAllStandardOutput(), tarn.readAllStandardError()};
}

inline Finished runTarn(const QStringList& arguments)
{
    return runProgram(TARN_EXECUTABLE, arguments);
}

// With a settings folder of its own in `home`.
inline Finished runTarn(const QTemporaryDir& home, const QStringList& arguments)
{
    return runProgram(TARN_EXECUTABLE, arguments, headlessEnvironment(home.filePath("config")));
}

} // namespace tarntest
