#pragma once

// Runs the real tarn program as a user runs it from a shell: no display,
// no settings file (so the gcc on PATH is used), the C locale.
#include <QByteArray>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdio>

namespace tarntest {

struct Finished {
    int status = -1;
    QByteArray out;
    QByteArray err;
};

inline Finished runTarn(const QTemporaryDir& home, const QStringList& arguments)
{
    QProcess tarn;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove("DISPLAY");
    env.remove("WAYLAND_DISPLAY");
    env.remove("QT_QPA_PLATFORM");
    env.insert("XDG_CONFIG_HOME", home.filePath("config"));
    env.insert("LC_ALL", "C");
    tarn.setProcessEnvironment(env);
    tarn.start(TARN_EXECUTABLE, arguments);
    EXPECT_TRUE(tarn.waitForFinished(120000));
    return {tarn.exitStatus() == QProcess::NormalExit ? tarn.exitCode() : -1,
            tarn.readAllStandardOutput(), tarn.readAllStandardError()};
}

// Writes a file by the bytes of its name (which need not be UTF-8),
// creating its folder.
inline bool writeBytes(const QByteArray& path, const QByteArray& contents)
{
    const qsizetype slash = path.lastIndexOf('/');
    if (slash > 0 && !QDir().mkpath(QString::fromUtf8(path.left(slash))))
        return false;
    FILE* file = std::fopen(path.constData(), "wb");
    if (!file)
        return false;
    const bool written = std::fwrite(contents.constData(), 1, size_t(contents.size()), file) ==
                         size_t(contents.size());
    return std::fclose(file) == 0 && written;
}

} // namespace tarntest
