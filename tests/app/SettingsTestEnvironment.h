#pragma once

// A private settings folder for one test: XDG_CONFIG_HOME points at a fresh
// temporary folder, PATH at a folder in it that does not exist (so no gcc,
// gdb or make is found unless the test changes PATH), message boxes and dialogs are answered by
// a script, and the environment is put back afterwards.
#include "app/CMainFrame.h"
#include "app/CTarnApp.h"
#include "settings/IdeSettings.h"
#include "support/ScriptedPrompts.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <QByteArray>
#include <QTemporaryDir>

#include <memory>

class SettingsTestEnvironment : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_oldConfigHome = qgetenv("XDG_CONFIG_HOME");
        m_oldCacheHome = qgetenv("XDG_CACHE_HOME");
        m_oldPath = qgetenv("PATH");
        ASSERT_TRUE(m_config.isValid());
        qputenv("XDG_CONFIG_HOME", m_config.path().toLocal8Bit());
        // Compile commands for the language server go here, not to the
        // user's cache.
        qputenv("XDG_CACHE_HOME", (m_config.path() + QStringLiteral("/cache")).toLocal8Bit());
        qputenv("PATH", (m_config.path() + QStringLiteral("/no-tools")).toLocal8Bit());
        prompts = std::make_unique<ScriptedPrompts>();
    }

    void TearDown() override
    {
        prompts.reset();
        qputenv("XDG_CONFIG_HOME", m_oldConfigHome);
        restore("XDG_CACHE_HOME", m_oldCacheHome);
        qputenv("PATH", m_oldPath);
    }

    QString configFolder() const { return m_config.path(); }
    QString iniPath() const { return m_config.path() + QStringLiteral("/Tarn32.ini"); }

    std::unique_ptr<ScriptedPrompts> prompts;

private:
    QTemporaryDir m_config;
    static void restore(const char* name, const QByteArray& value)
    {
        if (value.isNull())
            qunsetenv(name);
        else
            qputenv(name, value);
    }

    QByteArray m_oldConfigHome;
    QByteArray m_oldCacheHome;
    QByteArray m_oldPath;
};

// A Tarn started without arguments in that environment, its gcc path set so
// no warning is shown: the message window and one untitled source.
class StartedTarn : public SettingsTestEnvironment {
protected:
    void SetUp() override
    {
        SettingsTestEnvironment::SetUp();
        ASSERT_TRUE(
            testsupport::writeFile(settingsFilePath(), "[Options]\nGCC Path=/usr/bin/gcc\n"));
        app = std::make_unique<CTarnApp>();
        ASSERT_TRUE(app->InitInstance({}));
        main = app->mainWindow();
    }
    void TearDown() override
    {
        app.reset();
        SettingsTestEnvironment::TearDown();
    }

    std::unique_ptr<CTarnApp> app;
    CMainFrame* main = nullptr;
};
