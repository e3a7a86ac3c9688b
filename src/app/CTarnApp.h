#pragma once

#include "framework/Application.h"

#include <QStringList>

class CMainFrame;

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

private:
    void newFromTemplate(const QString& fileNewName);
    bool processCommandLine(const QStringList& arguments);
    // Opens the windows of the last session again (files that are gone or
    // are no longer files are passed over); returns how many opened.
    int reopenLastSession();

    CMainFrame* m_mainFrame = nullptr;
};
