#pragma once

#include "framework/Assert.h"
#include "language/CodeIntelligence.h"
#include "settings/IdeSettings.h"
#include "tools/ToolSession.h"

#include <memory>

namespace fw {
class Application;
}

// What the IDE's windows, dialogs and commands are handed when they are
// made: the tool session (the message channel, the jobs, Tarn's current
// directory), the live settings and the application object. The main
// window owns the one context of the IDE; a test makes its own. Nothing
// below the application reads any of it from a process-wide place.
//
// User-interface thread only; a job takes what it needs when it starts.
class IdeContext : public ToolSession {
public:
    explicit IdeContext(fw::Application* application = nullptr)
        : m_code(std::make_unique<CodeIntelligence>()), m_application(application)
    {
        m_code->setSettings(codeSettingsOf(m_settings));
    }

    const IdeSettings& settings() const { return m_settings; }
    // Replaces the live settings as one step; the caller brings the open
    // windows up to date.
    void setSettings(const IdeSettings& settings)
    {
        TARN_ASSERT(fw::onMainThread(), "the live settings change on the interface thread only");
        m_settings = settings;
        m_code->setSettings(codeSettingsOf(m_settings));
    }

    // The session and the debugger panes' layout as the settings file held
    // them when it was read; the layout follows what is saved since.
    const Session& lastSession() const { return m_lastSession; }
    const DebuggerPaneLayout& paneLayout() const { return m_paneLayout; }
    void setPaneLayout(const DebuggerPaneLayout& layout) { m_paneLayout = layout; }

    // Reads the settings file into the context (LoadSettings).
    void load(QWidget* parent = nullptr)
    {
        LoadedSettings loaded = LoadSettings(parent);
        m_settings = std::move(loaded.settings);
        m_lastSession = std::move(loaded.session);
        m_paneLayout = std::move(loaded.paneLayout);
        m_code->setSettings(codeSettingsOf(m_settings));
    }

    // The language servers of the source windows; they follow the live
    // settings ([Language]).
    CodeIntelligence& codeIntelligence() const { return *m_code; }

    // The application object; nullptr in tests that make windows alone.
    fw::Application* application() const { return m_application; }
    void setApplication(fw::Application* application) { m_application = application; }

private:
    static CodeIntelligence::Settings codeSettingsOf(const IdeSettings& settings)
    {
        CodeIntelligence::Settings code;
        code.enabled = settings.language.codeIntelligence;
        code.clangdPath = settings.language.clangdPath;
        return code;
    }

    IdeSettings m_settings;
    // A window that outlives the context (the main window's children go
    // after it) finds it gone through its QPointer.
    std::unique_ptr<CodeIntelligence> m_code;
    Session m_lastSession;
    DebuggerPaneLayout m_paneLayout;
    fw::Application* m_application = nullptr;
};
