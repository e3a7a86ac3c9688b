#include "debugger/DebugController.h"

#include "settings/IdeSettings.h"
#include "debugger/DebugPanes.h"
#include "debugger/ProjectTarget.h"
#include "debugger/SourceProgram.h"
#include "editor/CTarnView.h"
#include "editor/DebugMargin.h"
#include "framework/Application.h"
#include "framework/CommandRouter.h"
#include "framework/Document.h"
#include "framework/MdiChildFrame.h"
#include "framework/MdiMainFrame.h"
#include "framework/Prompts.h"
#include "messages/MessageSink.h"
#include "project/BuildJob.h"
#include "project/CProjectDoc.h"
#include "project/ProjectBuildCommands.h"
#include "resources/CommandIds.h"
#include "singlefile/BuildSource.h"
#include "tools/JobManager.h"
#include "tools/PathBytes.h"
#include "tools/PathNames.h"
#include "settings/IdeContext.h"

#include <QDockWidget>
#include <QStatusBar>

DebugController::DebugController(fw::MdiMainFrame* frame, IdeContext& tools)
    : QObject(frame), m_frame(frame), m_tools(tools)
{
    connect(&m_tools.jobs(), &JobManager::jobFinished, this, &DebugController::buildFinished);
    auto refreshCommands = [this] { m_frame->router()->requestUpdate(); };
    connect(&m_session, &DebugSession::stateChanged, this, refreshCommands);
    connect(&m_session, &DebugSession::stateChanged, this, [this](DebugSession::State state) {
        if (state == DebugSession::State::Running)
            clearStopMarks();
        // gdb's refusals of the last session no longer hold.
        if (state == DebugSession::State::Starting)
            m_book.clearNotSet();
    });
    connect(&m_session, &DebugSession::stopRefreshed, this, &DebugController::showStop);
    connect(&m_session, &DebugSession::statusChanged, this, &DebugController::showStatus);
    connect(&m_session, &DebugSession::ended, this, [this](const QString& why) {
        clearStopMarks();
        // gdb's refusals stay in view after the session (a program that
        // ends at once would never show them); the next start forgets them.
        // (A session starts with its panes made; none are made as Tarn closes.)
        if (m_panes)
            m_panes->endSession(why);
        showStatus(why);
    });
    connect(&m_session, &DebugSession::breakpointMoved, this,
            [this](const QByteArray& file, int requested, int line) {
                m_book.move(PathFromBytes(file), requested, line);
            });
    connect(&m_session, &DebugSession::breakpointProblem, this,
            [this](const QByteArray& file, int line, const QString& reason) {
                m_book.setNotSet(PathFromBytes(file), line, reason);
                // Without debugging information no breakpoint holds, and
                // the status bar says so already.
                if (!m_session.programHasDebugInfo())
                    return;
                showStatus(QStringLiteral("No breakpoint at %1:%2: %3")
                               .arg(PathForDisplay(FileNameOf(PathFromBytes(file))))
                               .arg(line)
                               .arg(reason));
            });
    connect(&m_book, &BreakpointBook::toggled, this, &DebugController::breakpointToggled);
}

DebugPanes* DebugController::panes()
{
    if (m_panes)
        return m_panes;
    // Made on first use (a session starting, View > Breakpoints): six docks
    // of trees and text panes are more than the rest of the main window,
    // and they are hidden until then.
    m_panes = new DebugPanes(m_frame, &m_session, &m_book, m_tools);
    // View > Breakpoints' check mark follows the pane, which its own close
    // button may hide.
    connect(m_panes->breakpointsDock, &QDockWidget::visibilityChanged, this,
            [this] { m_frame->router()->requestUpdate(); });
    connect(m_panes, &DebugPanes::frameChosen, this, [this](int level) {
        m_session.selectFrame(level);
        clearCallerMarks();
        if (level < 0 || level >= m_session.frames().size())
            return;
        const DebugFrame& frame = m_session.frames().at(level);
        CTarnView* view = showFrame(frame, false);
        // A caller's line gets a band of its own; the stop's frame has its band.
        if (view && level > 0)
            debugmargin::ShowCallerLine(view, frame.line - 1);
    });
    connect(m_panes, &DebugPanes::breakpointChosen, this, [this](const QString& path, int line) {
        DebugFrame place;
        place.fullname = PathToBytes(path);
        place.line = line;
        showFrame(place, false);
    });
    return m_panes;
}

DebugController::~DebugController()
{
    shutdown();
    // One order: the panes (and their docks) show the session and the book,
    // so they go before them; the session's gdb is ended by its worker as
    // the session goes, within the stop grace.
    m_session.disconnect(this);
    delete m_panes;
    m_panes = nullptr;
}

QList<DebugController::Command> DebugController::commands()
{
    using State = DebugSession::State;
    auto stopped = [this] { return m_session.state() == State::Stopped; };
    return {
        {cmd::DebugStart, [this] { OnStartDebugging(); },
         [this] {
             return !m_buildJob && (!m_session.isActive() || m_session.state() == State::Stopped);
         }},
        {cmd::DebugStop, [this] { OnStopDebugging(); },
         [this] { return m_session.isActive() || m_buildJob; }},
        {cmd::DebugBreak, [this] { OnBreak(); },
         [this] { return m_session.state() == State::Running; }},
        {cmd::DebugStepOver, [this] { OnStepOver(); }, stopped},
        {cmd::DebugStepInto, [this] { OnStepInto(); }, stopped},
        {cmd::DebugStepOut, [this] { OnStepOut(); }, stopped},
        {cmd::DebugRunToCursor, [this] { OnRunToCursor(); },
         [this] {
             return activeSourceView() && !m_buildJob &&
                    (!m_session.isActive() || m_session.state() == State::Stopped);
         }},
        {cmd::DebugToggleBreakpoint, [this] { OnToggleBreakpoint(); },
         [this] { return activeSourceView() != nullptr; }},
        // The source context menu's items show while these are enabled.
        {cmd::DebugBreakpointHere, [this] { OnToggleBreakpointHere(); },
         [this] { return m_session.isActive() && activeSourceView(); }},
        {cmd::DebugRunToHere, [this] { OnRunToHere(); },
         [this] { return m_session.state() == State::Stopped && activeSourceView(); }},
        {cmd::DebugAddWatchHere, [this] { OnAddWatchHere(); },
         [this] {
             const CTarnView* view = activeSourceView();
             return m_session.isActive() && view && !view->contextWord().isEmpty();
         }},
    };
}

CTarnView* DebugController::activeSourceView() const
{
    fw::MdiChildFrame* child = m_frame->activeChild();
    return child && child->view() ? dynamic_cast<CTarnView*>(child->view()) : nullptr;
}

CProjectDoc* DebugController::activeProject() const
{
    fw::MdiChildFrame* child = m_frame->activeChild();
    fw::Document* active = child ? child->document() : nullptr;
    if (auto* project = qobject_cast<CProjectDoc*>(active))
        return project;
    // A source of an open project (where a stop brings the user): F5 goes
    // on debugging that project, not the source's own program.
    if (!active || active->pathName().isEmpty())
        return nullptr;
    for (fw::MdiChildFrame* frame : m_frame->childFrames()) {
        auto* project = qobject_cast<CProjectDoc*>(frame->document());
        if (project && !project->pathName().isEmpty() &&
            project->project().sources.contains(active->pathName()))
            return project;
    }
    return nullptr;
}

QString DebugController::programToDebug(QString* problem) const
{
    fw::MdiChildFrame* child = m_frame->activeChild();
    fw::Document* doc = child ? child->document() : nullptr;
    QString program;
    if (CProjectDoc* project = activeProject(); project && !project->pathName().isEmpty()) {
        program =
            LinkedOutputPath(MakeBuildJob(project->project(), project->pathName(), {}, false));
    } else if (activeSourceView() && doc && !doc->pathName().isEmpty()) {
        const SourceProgram found = FindSourceProgram(doc->pathName());
        if (found.program.isEmpty()) {
            *problem = noProgramText(doc->pathName(), found);
            return {};
        }
        return found.program;
    } else {
        *problem = QStringLiteral("Open the source or project of the program to debug");
        return {};
    }
    if (FileTypeOf(program) != FileType::Regular) {
        *problem = QStringLiteral("Build the program first");
        return {};
    }
    return program;
}

QString DebugController::noProgramText(const QString& source, const SourceProgram& found)
{
    QStringList names;
    for (const QString& path : found.lookedFor)
        names.append(PathForDisplay(FileNameOf(path)));
    const QString last = names.size() > 1 ? names.takeLast() : QString();
    const QString listed =
        last.isEmpty() ? names.join(QString())
                       : QStringLiteral("%1 or %2").arg(names.join(QStringLiteral(", ")), last);
    return QStringLiteral("No program to debug for %1: found no %2 in %3")
        .arg(PathForDisplay(FileNameOf(source)), listed, PathForDisplay(DirectoryOf(source)));
}

bool DebugController::readySourceProgram()
{
    CTarnView* view = activeSourceView();
    fw::Document* doc = view ? view->fw::View::document() : nullptr;
    if (!doc || doc->pathName().isEmpty())
        return true; // programToDebug says why there is nothing to debug
    const QString source = doc->pathName();
    const SourceProgram found = FindSourceProgram(source);
    const QString sourceName = PathForDisplay(FileNameOf(source));
    if (found.program.isEmpty()) {
        const QString text = noProgramText(source, found);
        showStatus(text);
        const auto answer = fw::Prompts::current().message(
            m_frame,
            QStringLiteral("%1.\n\nBuild it now with Build Source, debug information on (-g)?")
                .arg(text),
            fw::Prompts::Buttons::YesNo, fw::Prompts::Icon::Question);
        return answer == fw::Prompts::Answer::Yes && buildSourceForDebugging(*view);
    }
    if (!found.olderThanSource)
        return true;
    const QString text = QStringLiteral("%1 is older than %2")
                             .arg(PathForDisplay(FileNameOf(found.program)), sourceName);
    showStatus(text);
    const auto answer = fw::Prompts::current().message(
        m_frame,
        QStringLiteral("%1.\n\nBuild it first with Build Source? (No debugs the program as it is.)")
            .arg(text),
        fw::Prompts::Buttons::YesNoCancel, fw::Prompts::Icon::Question);
    if (answer == fw::Prompts::Answer::No)
        return true;
    return answer == fw::Prompts::Answer::Yes && buildSourceForDebugging(*view);
}

bool DebugController::buildSourceForDebugging(CTarnView& view)
{
    // A program to debug needs its lines: the dialog opens with -g ticked.
    view.compileOptions.debugInfo = 1;
    if (!BuildSource(view, m_tools))
        return false;
    m_tools.messages().flush();
    const fw::Document* doc = view.fw::View::document();
    const SourceProgram built = doc ? FindSourceProgram(doc->pathName()) : SourceProgram();
    if (built.program.isEmpty() || built.olderThanSource) {
        showStatus(QStringLiteral("The program did not build: debugging not started"));
        return false;
    }
    return true;
}

void DebugController::OnStartDebugging()
{
    if (m_session.state() == DebugSession::State::Stopped) {
        m_session.continueRunning();
        return;
    }
    if (m_session.isActive() || m_buildJob)
        return;
    startOrBuild({});
}

void DebugController::startOrBuild(const QList<BreakpointRequest>& extra)
{
    if (buildProjectFirst(extra))
        return;
    if (!activeProject() && !readySourceProgram())
        return;
    startSession(extra);
}

bool DebugController::buildProjectFirst(const QList<BreakpointRequest>& extra)
{
    CProjectDoc* project = activeProject();
    if (!project || project->pathName().isEmpty())
        return false;
    const BuildJob job = MakeBuildJob(project->project(), project->pathName(), {}, false);
    if (ProjectOutputIsCurrent(job))
        return false;
    // The build's own refusals (no gcc, no sources) say why in a box.
    const int id = BuildProjectCommand(*project, m_tools, m_frame, false);
    if (id == 0)
        return true;
    m_buildJob = id;
    m_afterBuild = extra;
    m_frame->router()->requestUpdate();
    showStatus(QStringLiteral("Building the project before debugging"));
    return true;
}

void DebugController::buildFinished(int id, int status)
{
    if (id != m_buildJob)
        return;
    m_buildJob = 0;
    m_frame->router()->requestUpdate();
    // The build's last rows and its verdict first: what follows has the
    // status bar after them.
    m_tools.messages().flush();
    if (status != 0) {
        showStatus(QStringLiteral("The project did not build: debugging not started"));
        return;
    }
    startSession(std::exchange(m_afterBuild, {}));
}

bool DebugController::startSession(const QList<BreakpointRequest>& extra)
{
    QString problem;
    const QString program = programToDebug(&problem);
    if (program.isEmpty()) {
        fw::messageBox(m_frame, problem);
        return false;
    }
    DebugTarget target;
    target.gdbPath = m_tools.settings().gdbPath.isEmpty() ? QStringLiteral("gdb") : m_tools.settings().gdbPath;
    target.program = program;
    target.workingDirectory = m_tools.directory();
    QList<BreakpointRequest> requests;
    const BreakpointBook& book = m_book;
    for (const QString& path : book.files()) {
        for (const BookBreakpoint& b : book.breakpoints(path)) {
            BreakpointRequest request = BreakpointRequest::at(PathToBytes(path), b.line);
            request.enabled = b.enabled;
            request.condition = b.condition;
            requests.append(request);
        }
    }
    requests += extra;
    panes()->beginSession();
    QString error;
    if (!m_session.start(target, requests, &error)) {
        panes()->endSession(error);
        fw::messageBox(m_frame, error);
        return false;
    }
    return true;
}

void DebugController::OnStopDebugging()
{
    if (m_buildJob) {
        // The build goes on; debugging does not follow it.
        m_buildJob = 0;
        m_afterBuild.clear();
        showStatus(QStringLiteral("Debugging stopped"));
        m_frame->router()->requestUpdate();
        return;
    }
    m_session.stop();
}

void DebugController::OnBreak()
{
    m_session.interrupt();
}

void DebugController::OnStepOver()
{
    m_session.stepOver();
}

void DebugController::OnStepInto()
{
    m_session.stepInto();
}

void DebugController::OnStepOut()
{
    m_session.stepOut();
}

void DebugController::OnRunToCursor()
{
    CTarnView* view = activeSourceView();
    fw::Document* doc = view ? view->fw::View::document() : nullptr;
    if (!doc || doc->pathName().isEmpty())
        return;
    int line = 0;
    int index = 0;
    view->getCursorPosition(&line, &index);
    const QByteArray file = PathToBytes(doc->pathName());
    if (m_session.state() == DebugSession::State::Stopped) {
        m_session.runToLine(file, line + 1);
        return;
    }
    if (m_session.isActive() || m_buildJob)
        return;
    BreakpointRequest request = BreakpointRequest::at(file, line + 1);
    request.temporary = true;
    startOrBuild({request});
}

void DebugController::OnToggleBreakpoint()
{
    CTarnView* view = activeSourceView();
    if (!view)
        return;
    int line = 0;
    int index = 0;
    view->getCursorPosition(&line, &index);
    const fw::Document* doc = view->fw::View::document();
    m_book.toggle(view, doc ? doc->pathName() : QString(), line);
}

void DebugController::OnToggleBreakpointHere()
{
    CTarnView* view = activeSourceView();
    if (!view || view->contextLine() < 0)
        return;
    const fw::Document* doc = view->fw::View::document();
    m_book.toggle(view, doc ? doc->pathName() : QString(), view->contextLine());
}

void DebugController::OnRunToHere()
{
    CTarnView* view = activeSourceView();
    const fw::Document* doc = view ? view->fw::View::document() : nullptr;
    if (!doc || doc->pathName().isEmpty() || view->contextLine() < 0)
        return;
    m_session.runToLine(PathToBytes(doc->pathName()), view->contextLine() + 1);
}

void DebugController::OnAddWatchHere()
{
    const CTarnView* view = activeSourceView();
    if (!view || view->contextWord().isEmpty() || !m_session.isActive())
        return;
    m_session.addWatch(view->contextWord().toUtf8());
    panes()->watchDock->raise();
}

void DebugController::breakpointToggled(const QString& path, int line, bool added)
{
    if (!m_session.isActive() || path.isEmpty())
        return;
    const QByteArray file = PathToBytes(path);
    if (added) {
        m_session.insertBreakpoint(BreakpointRequest::at(file, line));
    } else if (const int number = m_session.breakpointAt(file, line)) {
        m_session.deleteBreakpoint(number);
    }
}

void DebugController::shutdown()
{
    m_session.stop();
}

void DebugController::showStatus(const QString& text)
{
    m_frame->statusBar()->showMessage(text);
}

QList<CTarnView*> DebugController::sourceViews() const
{
    QList<CTarnView*> views;
    for (fw::MdiChildFrame* child : m_frame->childFrames()) {
        if (auto* view = child->view() ? dynamic_cast<CTarnView*>(child->view()) : nullptr)
            views.append(view);
    }
    return views;
}

void DebugController::clearStopMarks()
{
    for (CTarnView* view : sourceViews()) {
        debugmargin::ShowCurrentLine(view, -1);
        debugmargin::ShowCallerLine(view, -1);
    }
}

void DebugController::clearCallerMarks()
{
    for (CTarnView* view : sourceViews())
        debugmargin::ShowCallerLine(view, -1);
}

void DebugController::showStop()
{
    const DebugFrame& top = m_session.lastStop().frame;
    // A stop in code without source (a library): the first frame that has one.
    const DebugFrame* shown = top.hasSource() ? &top : nullptr;
    for (const DebugFrame& frame : m_session.frames()) {
        if (!shown && frame.hasSource())
            shown = &frame;
    }
    clearStopMarks();
    if (shown)
        showFrame(*shown, true);
    showStatus(m_session.statusText());
}

CTarnView* DebugController::showFrame(const DebugFrame& frame, bool markStop)
{
    if (!frame.hasSource())
        return nullptr;
    const QString path = PathFromBytes(frame.fullname);
    if (FileTypeOf(path) != FileType::Regular)
        return nullptr;
    fw::Application* app = m_tools.application();
    fw::Document* doc = app ? app->openDocumentFile(path) : nullptr;
    auto* view = doc && doc->firstView() ? dynamic_cast<CTarnView*>(doc->firstView()) : nullptr;
    if (!view)
        return nullptr;
    const int line = frame.line - 1;
    if (markStop)
        debugmargin::ShowCurrentLine(view, line);
    view->setCursorPosition(line, 0);
    view->ensureLineVisible(line);
    if (fw::MdiChildFrame* child = view->parentFrame())
        child->activate();
    return view;
}
