// Entry point of the widget tests: an offscreen QApplication with private
// configuration and runtime folders, so no test touches the user's settings.
#include "support/BrokenRules.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>

#include <cstdlib>

int main(int argc, char** argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir home;
    QDir(home.path()).mkpath(QStringLiteral("config"));
    QDir(home.path()).mkpath(QStringLiteral("runtime"));
    QFile::setPermissions(home.path() + QStringLiteral("/runtime"),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    qputenv("XDG_CONFIG_HOME", (home.path() + QStringLiteral("/config")).toLocal8Bit());
    qputenv("XDG_RUNTIME_DIR", (home.path() + QStringLiteral("/runtime")).toLocal8Bit());
    qputenv("HOME", home.path().toLocal8Bit());
    // Tool output in the C locale, so tests can compare plain quotes.
    qputenv("LC_ALL", "C");

    ::testing::InitGoogleTest(&argc, argv);
    testsupport::failTestsOnBrokenRules();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tarn"));
    return RUN_ALL_TESTS();
}
