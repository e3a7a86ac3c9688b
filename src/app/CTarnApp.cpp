#include "app/CTarnApp.h"

#include "app/CAboutDlg.h"
#include "app/CChildFrame.h"
#include "app/CMainFrame.h"
#include "app/RecoveredWork.h"
#include "app/StopSignals.h"
#include "settings/IdeSettings.h"
#include "app/TarnIcons.h"
#include "debugger/DebugController.h"
#include "editor/CTarnDoc.h"
#include "editor/CTarnView.h"
#include "editor/SourcePrinting.h"
#include "framework/DocTemplate.h"
#include "framework/MdiChildFrame.h"
#include "framework/Prompts.h"
#include "framework/StandardIds.h"
#include "messages/CMessageDoc.h"
#include "messages/CMessageFrame.h"
#include "messages/CMessageView.h"
#include "messages/MessageSink.h"
#include "messages/MessageTips.h"
#include "project/CProjectDoc.h"
#include "project/CProjectFrame.h"
#include "project/CompileCommands.h"
#include "resources/CommandIds.h"
#include "settings/IdeContext.h"
#include "tools/PathBytes.h"
#include "tools/StopJobs.h"

#include <QApplication>
#include <QDateTime>
#include <QPointer>
#include <QDialog>
#include <QScreen>
#include <QTimer>

#include <cstdio>

namespace {
const char* const kSourceDocString = "\nUntitled\nSource File\n\n\nTarn.Document\nTarn Document";
const char* const kProjectDocString =
    "Project\nProject\nProject\nProject Files (*.tarn)\n.tarn\nTarn.Project\nTarn Project";
} // namespace

CTarnApp::CTarnApp()
    : fw::Application(QStringLiteral("Local AppWizard-Generated Applications"), QStringLiteral("Tarn"), 2)
{
    onCommand(fw::id::FileNew, [this] { OnFileNewSource(); });
    onCommand(cmd::FileNewProject, [this] { OnFileNewProject(); });
    onCommand(fw::id::AppAbout, [this] { OnHelpAbout(); });
    // Print Setup belongs to the application: it works whatever is active.
    onCommand(fw::id::FilePrintSetup, [this] { setUpPrinter(m_mainFrame); });
}

CTarnApp::~CTarnApp()
{
    m_endSignals.reset();
    // No worker outlives the message window and the settings: the main
    // window's jobs are stopped first, their last rows shown, then the
    // window goes with its session.
    if (m_mainFrame) {
        m_mainFrame->context().jobs().stopAll();
        m_mainFrame->context().messages().flush();
        m_mainFrame->context().messages().setSink(nullptr);
    }
    CTarnView::setProjectOptionsLookup({});
    delete m_mainFrame;
}

bool CTarnApp::InitInstance(const QStringList& arguments)
{
    // The document types, in this order: source, project, message window.
    addDocTemplate(std::make_unique<fw::DocTemplate>(
        menu::Source, QString::fromLatin1(kSourceDocString),
        fw::DocTemplate::Factories{[] { return new CTarnDoc; },
                                   [this](fw::Document* document) {
                                       return CChildFrame::create(
                                           document, m_mainFrame->context(),
                                           &m_mainFrame->debugger()->breakpointBook());
                                   }}));
    // A source of an open project is coloured with the project's options;
    // its windows follow when a project opens, changes or closes.
    CTarnView::setProjectOptionsLookup([this](const QString& path) -> std::optional<QString> {
        for (const auto& docTemplate : docTemplates()) {
            for (fw::Document* document : docTemplate->documents()) {
                auto* project = qobject_cast<CProjectDoc*>(document);
                if (project && project->project().sources.contains(path))
                    return project->project().options.otherOptions;
            }
        }
        return std::nullopt;
    });
    auto updateSourceColouring = [this] {
        for (const auto& docTemplate : docTemplates()) {
            for (fw::Document* document : docTemplate->documents()) {
                for (fw::View* view : document->views()) {
                    if (auto* source = dynamic_cast<CTarnView*>(view))
                        source->updateColouringContext();
                }
            }
        }
    };
    addDocTemplate(std::make_unique<fw::DocTemplate>(
        menu::Project, QString::fromLatin1(kProjectDocString),
        fw::DocTemplate::Factories{[this, updateSourceColouring] {
                                       auto* project = new CProjectDoc(m_mainFrame->context().settings().debugDefault);
                                       connect(project, &CProjectDoc::projectUpdated, this, updateSourceColouring);
                                       // The sources of a project follow its compile
                                       // commands as it opens, changes and closes.
                                       auto followProject = [this] {
                                           if (m_mainFrame)
                                               m_mainFrame->context().codeIntelligence().projectsChanged();
                                       };
                                       connect(project, &CProjectDoc::projectUpdated, this, followProject);
                                       connect(project, &fw::Document::modifiedChanged, this, followProject);
                                       connect(project, &QObject::destroyed, this, followProject,
                                               Qt::QueuedConnection);
                                       connect(project, &fw::Document::modifiedChanged, this, updateSourceColouring);
                                       // (Gone from its template before it is deleted.)
                                       connect(project, &QObject::destroyed, this, updateSourceColouring,
                                               Qt::QueuedConnection);
                                       return project;
                                   },
                                   [this](fw::Document* document) {
                                       return CProjectFrame::create(document, m_mainFrame->context());
                                   }}));
    addDocTemplate(createMessageDocTemplate());

    m_mainFrame = new CMainFrame(this);
    // A source of an open project is understood with the project's own
    // compile commands.
    m_mainFrame->context().codeIntelligence().setProjectLookup(
        [this](const QString& path) -> std::optional<CodeIntelligence::ProjectCommands> {
            for (const auto& docTemplate : docTemplates()) {
                for (fw::Document* document : docTemplate->documents()) {
                    auto* project = qobject_cast<CProjectDoc*>(document);
                    if (!project || project->pathName().isEmpty()
                        || !project->project().sources.contains(path))
                        continue;
                    const BuildJob job = MakeBuildJob(project->project(), project->pathName(),
                                                      m_mainFrame->context().settings().gccPath, false);
                    return CodeIntelligence::ProjectCommands{project->pathName(),
                                                             CompileCommandsContents(job)};
                }
            }
            return std::nullopt;
        });
    QApplication::setWindowIcon(tarnAppIcon());
    if (!m_mainFrame->OnCreate())
        return false;
    setMainFrame(m_mainFrame);

    // The message window comes first and stays for the whole run.
    fw::DocTemplate* messageTemplate = docTemplates().back().get();
    fw::Document* messageDoc = messageTemplate->openDocumentFile(QString());
    auto* messageView = messageDoc ? dynamic_cast<CMessageView*>(messageDoc->firstView()) : nullptr;
    if (!messageView) {
        fw::messageBox(nullptr, QStringLiteral("The message window could not be created."),
                       fw::Prompts::Icon::Error);
        return false;
    }
    m_mainFrame->setMessageView(messageView);
    messageView->setCurrentDirectory([tools = &m_mainFrame->context()] { return tools->directory(); });
    messageView->installAsMessageSink(m_mainFrame->context().messages());
    m_mainFrame->placeMessageWindow(m_mainFrame->context().lastSession().messagePlace);

    if (!processCommandLine(arguments))
        return false;
    // Work an earlier Tarn kept when it was ended from outside.
    const QStringList recovered = TakeRecoveryNotices();
    for (qsizetype i = 0; i < recovered.size(); ++i)
        m_mainFrame->context().messages().add(recovered.at(i), i + 1 == recovered.size() ? 1 : 0);
    m_endSignals = std::make_unique<StopSignals>([this](int signal) { endFromOutside(signal); });

    // Maximised whatever the desktop asked for; without a window manager
    // the geometry of the available screen stands in for it.
    if (QScreen* screen = m_mainFrame->screen())
        m_mainFrame->setGeometry(screen->availableGeometry());
    m_mainFrame->showMaximized();
    seedTipGenerator(static_cast<unsigned>(QDateTime::currentSecsSinceEpoch()));
    return true;
}

bool CTarnApp::processCommandLine(const QStringList& arguments)
{
    QStringList files;
    for (const QString& argument : arguments) {
        if (!argument.startsWith(QLatin1Char('-')))
            files << argument;
    }
    if (files.isEmpty()) {
        // The last session, when wanted; else (or when nothing of it is
        // left) an untitled source as ever.
        if (!m_mainFrame->context().settings().editor.reopenSession || reopenLastSession() == 0)
            OnFileNewSource();
        return true;
    }
    // Every file named opens, in order (one that cannot is reported); the
    // program ends only when none could.
    bool opened = false;
    for (const QString& file : std::as_const(files))
        opened = openDocumentFile(file) != nullptr || opened;
    return opened;
}

int CTarnApp::reopenLastSession()
{
    const Session& session = m_mainFrame->context().lastSession();
    // The breakpoints first: the windows show them as they open.
    for (const SessionBreakpoint& b : session.breakpoints)
        m_mainFrame->debugger()->breakpointBook().restore(b.path, {b.line, b.enabled, b.condition});
    fw::MdiChildFrame* active = nullptr;
    WindowPlace activePlace;
    QList<QPointer<fw::MdiChildFrame>> minimised;
    int opened = 0;
    for (qsizetype i = 0; i < session.windows.size(); ++i) {
        const SessionWindow& window = session.windows.at(i);
        // Quietly: a file deleted since, or a name that became a folder (or
        // a FIFO, which would block), or one that cannot be read (such as
        // /proc/self/mem), is simply no longer part of it.
        if (!CanReadRegularFile(window.path))
            continue;
        fw::Document* doc = openDocumentFile(window.path);
        fw::View* view = doc ? doc->firstView() : nullptr;
        if (!view)
            continue;
        ++opened;
        if (auto* source = dynamic_cast<CTarnView*>(view))
            source->goToSourceLine(window.line - 1);
        // Each at its rectangle first: a window activated while another is
        // maximised would be maximised too. The states come once all are
        // open.
        fw::MdiChildFrame* frame = view->parentFrame();
        if (!frame)
            continue;
        m_mainFrame->moveToPlace(frame, {window.place.rect, WindowPlace::State::Normal});
        if (window.place.state == WindowPlace::State::Minimised)
            minimised << frame;
        if (i == session.active) {
            active = frame;
            activePlace = window.place;
        }
    }
    for (const QPointer<fw::MdiChildFrame>& frame : std::as_const(minimised)) {
        if (frame && frame != active)
            frame->showMinimized();
    }
    if (active) {
        active->activate();
        // Maximised in the MDI area is the active window's state.
        m_mainFrame->moveToPlace(active, activePlace);
    }
    return opened;
}

void CTarnApp::endFromOutside(int /*signal*/)
{
    const RecoveryResult kept = KeepUnsavedWork(*this);
    for (const QString& failure : kept.failures)
        std::fprintf(stderr, "tarn: unsaved changes could not be kept: %s\n",
                     PathToBytes(failure).constData());
    if (m_mainFrame) {
        StopRunningJobs(m_mainFrame->context().jobs());
        m_mainFrame->debugger()->OnStopDebugging();
    }
    if (!kept.failures.isEmpty()) {
        // Someone may still be there to answer for what could not be kept.
        if (m_mainFrame)
            m_mainFrame->close();
        return;
    }
    // Open dialogs are cancelled, then the main window closes once their
    // loops have returned. Tarn ends even when the close is refused (a
    // command waiting for its tool, which ends with the loop it waits in).
    for (int i = 0; i < 16; ++i) {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal)
            break;
        if (auto* dialog = qobject_cast<QDialog*>(modal))
            dialog->reject();
        else
            modal->close();
    }
    QTimer::singleShot(0, this, [this] {
        if (!m_mainFrame || !m_mainFrame->close())
            QCoreApplication::exit(0);
    });
}

void CTarnApp::newFromTemplate(const QString& fileNewName)
{
    for (const auto& docTemplate : docTemplates()) {
        if (docTemplate->docString(fw::DocTemplate::FileNewName) == fileNewName) {
            docTemplate->openDocumentFile(QString());
            return;
        }
    }
}

void CTarnApp::OnFileNewSource()
{
    newFromTemplate(QStringLiteral("Source File"));
}

void CTarnApp::OnFileNewProject()
{
    newFromTemplate(QStringLiteral("Project"));
}

void CTarnApp::OnHelpAbout()
{
    CAboutDlg dialog(m_mainFrame);
    dialog.exec();
}
