#pragma once

#include "settings/EditorSections.h"
#include "framework/MdiMainFrame.h"
#include "search/FindInFiles.h"
#include "settings/IdeContext.h"

#include <QPointer>
#include <QString>

#include <memory>

class CMessageView;
class DebugController;
class QLabel;
class QToolBar;

// Tarn's main window: toolbar, status bar, the settings, and the commands
// that do not depend on the active document (tool dialogs, window
// arrangement, Options, the libc reference).
class CMainFrame : public fw::MdiMainFrame {
    Q_OBJECT
public:
    explicit CMainFrame(fw::Application* application = nullptr);
    // Stops the jobs before the windows their rows go to are gone.
    ~CMainFrame() override;

    // Builds the bars and loads the settings (which may warn about an unset
    // gcc path). Returns false when the window cannot be set up.
    bool OnCreate();

    // The settings, the message channel, the jobs, Tarn's current
    // directory and what the tools used last: the main window hands it to
    // the windows and dialogs it makes.
    IdeContext& context() { return *m_context; }
    // The one message window, which stays for the whole run (F4, tiling,
    // Options bring it forward). Set once it exists.
    void setMessageView(CMessageView* view);
    CMessageView* messageView() const;

    // The last Find in Files search (its folder is chosen anew each time).
    FindInFilesRequest lastFind;
    bool lastFindSet = false;

    QToolBar* toolBar() const { return m_toolBar; }
    // The integrated debugger: the Debug menu's commands and panes.
    DebugController* debugger() const { return m_debugger; }

    void OnWindowNext();
    void OnWindowTileHorz();
    void OnWindowTileVert();
    void OnWindowArrange();
    void OnViewOptions();
    void OnLibcReference();
    // The single-file tools (MainFrameTools.cpp).
    void OnLink();
    void OnMake();
    void OnRunExecutable();
    void OnDebug();
    // F4 and Shift+F4: the message window's next or previous diagnostic.
    void OnStepDiagnostic(int step);
    // The View menu's editor switches: each flips its switch, keeps it in
    // [Editor] of Tarn32.ini and applies it to every open source window.
    void OnToggleEditorSwitch(bool EditorSwitches::*which);
    // The open project and source windows that have a file, in the order
    // they were opened, with their caret lines and the active one.
    Session currentSession() const;
    // Where a window stands, and a window put at a remembered place,
    // brought onto the client area (WindowPlaces.cpp).
    static WindowPlace placeOf(const fw::MdiChildFrame* frame);
    void moveToPlace(fw::MdiChildFrame* frame, const WindowPlace& place);
    // The message window: at the place given (the last session's), else
    // across the bottom quarter of the client area, where it stays while
    // the main window changes size, until the user moves it.
    void placeMessageWindow(const WindowPlace& place);
    // Find in Files (FindInFilesCommand.cpp): the dialog, then a search on
    // a worker.
    void OnFindInFiles();
    // The folder the dialog offers: the project window used last, else the
    // active source's folder, else Tarn's current directory.
    QString DefaultFindFolder() const;

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;
    // The message window takes the focus only when no source or project
    // window is left.
    bool prefersFocus(const fw::MdiChildFrame* frame) const override;
    // Remembers the session in Tarn32.ini before the windows go.
    void aboutToCloseChildren() override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    // New windows open above the message window while it lies across the
    // bottom of the client area.
    QRect newChildSpace() const override;

private:
    void createToolBar();
    void createStatusBar();
    // Stop Build (Ctrl+Break), enabled while a job not yet stopped runs.
    void registerStopBuild();
    void registerEditorSwitches();
    void registerDebugger();
    void tile(Qt::Orientation orientation);
    void updateLockIndicators();
    // Puts the message window across the bottom quarter.
    void dockMessageWindow();
    // Brings the places restored before the window showed onto the area.
    void clampRestoredPlaces();

    std::unique_ptr<IdeContext> m_context;
    QPointer<CMessageView> m_messageView;
    QToolBar* m_toolBar = nullptr;
    DebugController* m_debugger = nullptr;
    QLabel* m_capsPane = nullptr;
    QLabel* m_numPane = nullptr;
    QLabel* m_scrollPane = nullptr;
    // Where dockMessageWindow put the message window, while it stays there.
    QRect m_dockedMessage;
    QList<QPointer<fw::MdiChildFrame>> m_unclampedPlaces;
};
