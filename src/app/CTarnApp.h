#pragma once

#include "framework/Application.h"

#include <QStringList>

#include <memory>

class CMainFrame;
class StopSignals;

// The application object: start-up, the three document types, New Source
// File, New Project and About.
class CTarnApp : public fw::Application {
    Q_OBJECT
public:
    CTarnApp();
    ~CTarnApp() override;

    // Starts Tarn with the program arguments (without the program name).
    // Returns false when the program must end (the reason was shown).
    bool InitInstance(const QStringList& arguments);

    CMainFrame* mainWindow() const { return m_mainFrame; }

    void OnFileNewSource();
    void OnFileNewProject();
    void OnHelpAbout();

    // Tarn ended from outside (SIGTERM, SIGHUP, SIGINT), with no user to
    // ask: unsaved work goes to recovery copies (RecoveredWork.h), the
    // builds and the debugging stop as Stop Build and Stop Debugging do,
    // and Tarn closes as usual. A copy that cannot be written leaves its
    // document modified, so the usual close asks about it.
    void endFromOutside(int signal);

private:
    void newFromTemplate(const QString& fileNewName);
    bool processCommandLine(const QStringList& arguments);
    // Opens the windows of the last session again (files that are gone or
    // are no longer files are passed over); returns how many opened.
    int reopenLastSession();

    CMainFrame* m_mainFrame = nullptr;
    std::unique_ptr<StopSignals> m_endSignals;
};
