#pragma once

// A private settings folder for one test: XDG_CONFIG_HOME points at a fresh
// temporary folder, message boxes and dialogs are answered by a script, and
// the live settings are put back afterwards.
#include "app/IdeSettings.h"
#include "support/ScriptedPrompts.h"

#include <gtest/gtest.h>

#include <QByteArray>
#include <QTemporaryDir>

#include <memory>

class SettingsTestEnvironment : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_oldConfigHome = qgetenv("XDG_CONFIG_HOME");
        m_oldSettings = ideSettings();
        ASSERT_TRUE(m_config.isValid());
        qputenv("XDG_CONFIG_HOME", m_config.path().toLocal8Bit());
        prompts = std::make_unique<ScriptedPrompts>();
    }

    void TearDown() override
    {
        prompts.reset();
        setIdeSettings(m_oldSettings);
        qputenv("XDG_CONFIG_HOME", m_oldConfigHome);
    }

    QString configFolder() const { return m_config.path(); }

    std::unique_ptr<ScriptedPrompts> prompts;

private:
    QTemporaryDir m_config;
    QByteArray m_oldConfigHome;
    IdeSettings m_oldSettings;
};
