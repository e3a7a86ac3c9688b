#include "app/CMainFrame.h"

#include "app/CChildFrame.h"
#include "app/CIDEOptionsDialog.h"
#include "settings/IdeSettings.h"
#include "app/LockKeys.h"
#include "app/TarnIcons.h"
#include "debugger/DebugController.h"
#include "debugger/DebugPanes.h"
#include "editor/CTarnView.h"
#include "framework/CommandRouter.h"
#include "framework/Document.h"
#include "framework/MdiChildFrame.h"
#include "framework/Prompts.h"
#include "framework/StandardIds.h"
#include "framework/View.h"
#include "messages/CMessageView.h"
#include "project/CProjectFrame.h"
#include "resources/CommandIds.h"
#include "resources/TarnCommands.h"
#include "tools/JobManager.h"
#include "settings/IdeContext.h"
#include "tools/StopJobs.h"
#include "tools/ProcessTree.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QDesktopServices>
#include <QDockWidget>
#include <QLabel>
#include <QMdiArea>
#include <QStatusBar>
#include <QToolBar>
#include <QUrl>

CMainFrame::CMainFrame(fw::Application* application)
    : fw::MdiMainFrame(&tarnCommandTable()), m_context(std::make_unique<IdeContext>(application))
{
    setBaseTitle(QStringLiteral("Tarn"));
    setDefaultMenuResource(menu::MainFrame);
    mdiArea()->viewport()->installEventFilter(this);

    onCommand(cmd::WindowNext, [this] { OnWindowNext(); });
    onCommand(fw::id::WindowCascade, [this] { cascade(); });
    onCommand(fw::id::WindowTileHorz, [this] { OnWindowTileHorz(); });
    onCommand(fw::id::WindowTileVert, [this] { OnWindowTileVert(); });
    onCommand(fw::id::WindowArrange, [this] { OnWindowArrange(); });
    onCommand(cmd::ViewOptions, [this] { OnViewOptions(); });
    onCommand(cmd::LibcReference, [this] { OnLibcReference(); });
    onCommand(cmd::Link, [this] { OnLink(); });
    onCommand(cmd::Make, [this] { OnMake(); });
    onCommand(cmd::RunExecutable, [this] { OnRunExecutable(); });
    onCommand(cmd::Debug, [this] { OnDebug(); });
    onCommand(cmd::NextDiagnostic, [this] { OnStepDiagnostic(1); });
    onCommand(cmd::PreviousDiagnostic, [this] { OnStepDiagnostic(-1); });
    onCommand(cmd::FindInFiles, [this] { OnFindInFiles(); });
    registerStopBuild();
    registerEditorSwitches();
    registerDebugger();
}

void CMainFrame::registerDebugger()
{
    m_debugger = new DebugController(this, *m_context);
    for (const DebugController::Command& command : m_debugger->commands()) {
        onCommand(command.id, command.run);
        onUpdateEnabled(command.id, command.enabled);
    }
    // View > Breakpoints: the list, with or without a session; its check
    // mark follows the pane (which its own close button may hide). The
    // panes are made when first wanted.
    onCommand(cmd::ViewBreakpoints, [this] {
        DebugPanes* panes = m_debugger->panes();
        panes->showBreakpoints(panes->breakpointsDock->isHidden());
    });
    onUpdateChecked(cmd::ViewBreakpoints, [this] {
        const DebugPanes* panes = m_debugger->madePanes();
        return panes && !panes->breakpointsDock->isHidden();
    });
}

CMainFrame::~CMainFrame()
{
    // The debugger ends its session while the windows it shows are here; no
    // worker outlives the message window.
    delete m_debugger;
    m_debugger = nullptr;
    m_context->jobs().stopAll();
    // The context goes with this object, before the base class deletes the
    // child windows: the message window stops reporting into it first.
    if (m_messageView)
        m_messageView->leaveMessageChannel();
}

bool CMainFrame::prefersFocus(const fw::MdiChildFrame* frame) const
{
    return !m_messageView || frame != m_messageView->parentFrame();
}

void CMainFrame::setMessageView(CMessageView* view)
{
    m_messageView = view;
}

CMessageView* CMainFrame::messageView() const
{
    return m_messageView;
}

void CMainFrame::registerEditorSwitches()
{
    const std::pair<int, bool EditorSwitches::*> switches[] = {
        {cmd::ViewSyntaxColouring, &EditorSwitches::syntaxColouring},
        {cmd::ViewLineNumbers, &EditorSwitches::lineNumbers},
        {cmd::ViewReopenSession, &EditorSwitches::reopenSession},
    };
    for (const auto& [id, which] : switches) {
        onCommand(id, [this, which] { OnToggleEditorSwitch(which); });
        onUpdateChecked(id, [this, which] { return m_context->settings().editor.*which; });
    }
    // View > Code Intelligence ends or starts the language servers at once;
    // kept in [Language].
    onCommand(cmd::ViewCodeIntelligence, [this] {
        IdeSettings settings = m_context->settings();
        settings.language.codeIntelligence = !settings.language.codeIntelligence;
        m_context->setSettings(settings);
        SaveLanguageSettings(settings.language, this);
    });
    onUpdateChecked(cmd::ViewCodeIntelligence,
                    [this] { return m_context->settings().language.codeIntelligence; });
    // What the servers have to say goes to the status bar, never a box.
    connect(&m_context->codeIntelligence(), &CodeIntelligence::status, this,
            [this](const QString& text) { showLastingStatus(text, 10000); });
}

Session CMainFrame::currentSession() const
{
    Session session;
    const fw::MdiChildFrame* active = activeChild();
    for (fw::MdiChildFrame* frame : childFrames()) {
        // The message window is always there; an untitled window has no file.
        const bool kept = qobject_cast<CChildFrame*>(frame) || qobject_cast<CProjectFrame*>(frame);
        const fw::Document* doc = frame->document();
        if (!kept || !doc || doc->pathName().isEmpty())
            continue;
        SessionWindow window{doc->pathName(), 1};
        if (auto* view = dynamic_cast<CTarnView*>(frame->view())) {
            int line = 0;
            int index = 0;
            view->getCursorPosition(&line, &index);
            window.line = line + 1;
        }
        window.place = placeOf(frame);
        if (frame == active)
            session.active = int(session.windows.size());
        session.windows.append(window);
    }
    if (const fw::MdiChildFrame* messageFrame = m_messageView ? m_messageView->parentFrame() : nullptr)
        session.messagePlace = placeOf(messageFrame);
    const BreakpointBook& book = m_debugger->breakpointBook();
    for (const QString& path : book.files()) {
        for (const BookBreakpoint& b : book.breakpoints(path))
            session.breakpoints.append({path, b.line, b.enabled, b.condition});
    }
    return session;
}

void CMainFrame::aboutToCloseChildren()
{
    // A file that cannot be written is reported; Tarn closes all the same.
    SaveSession(currentSession(), this);
    // Panes never made in this run leave the kept layout as it is.
    if (DebugPanes* panes = m_debugger->madePanes())
        panes->saveLayout(this);
    // gdb and the program end with Tarn.
    m_debugger->shutdown();
}

void CMainFrame::OnToggleEditorSwitch(bool EditorSwitches::*which)
{
    IdeSettings settings = m_context->settings();
    settings.editor.*which = !(settings.editor.*which);
    m_context->setSettings(settings);
    // A file that cannot be written is reported there; the switch stays in
    // force for this run either way.
    SaveEditorSwitches(settings.editor, this);
    for (fw::MdiChildFrame* frame : childFrames()) {
        if (auto* view = frame->view() ? dynamic_cast<CTarnView*>(frame->view()) : nullptr)
            view->applyEditorSwitches();
    }
}

void CMainFrame::registerStopBuild()
{
    onCommand(cmd::StopBuild, [this] { StopRunningJobs(m_context->jobs()); });
    onUpdateEnabled(cmd::StopBuild, [this] { return !m_context->jobs().uncancelledJobs().empty(); });
    // A job that ends may disable Stop Build (one that starts comes from a
    // command, after which the states are updated anyway).
    connect(&m_context->jobs(), &JobManager::jobFinished, this, [this] { router()->requestUpdate(); });
}

bool CMainFrame::OnCreate()
{
    createToolBar();
    createStatusBar();
    m_context->load(this);
    return true;
}

void CMainFrame::createToolBar()
{
    m_toolBar = new QToolBar(QStringLiteral("Toolbar"), this);
    m_toolBar->setObjectName(QStringLiteral("toolbar"));
    m_toolBar->setMovable(false);
    m_toolBar->setFloatable(false);
    m_toolBar->setIconSize(QSize(16, 15));
    addToolBar(Qt::TopToolBarArea, m_toolBar);
    for (int id : tarnToolbarLayout()) {
        if (id == 0) {
            m_toolBar->addSeparator();
            continue;
        }
        const fw::CommandInfo* info = commandTable()->command(id);
        QAction* action = router()->createAction(id, info ? info->tooltip : QString(), m_toolBar, true);
        action->setIcon(toolbarIcon(id));
        m_toolBar->addAction(action);
    }
    onCommand(fw::id::ViewToolbar, [this] { m_toolBar->setVisible(!m_toolBar->isVisible()); });
    onUpdateChecked(fw::id::ViewToolbar, [this] { return m_toolBar->isVisible(); });
}

void CMainFrame::createStatusBar()
{
    QStatusBar* bar = statusBar();
    bar->setObjectName(QStringLiteral("statusbar"));
    auto addPane = [bar](const QString& text) {
        auto* label = new QLabel(text, bar);
        label->setAlignment(Qt::AlignCenter);
        label->setFrameShape(QFrame::Panel);
        label->setFrameShadow(QFrame::Sunken);
        label->setMinimumWidth(label->fontMetrics().horizontalAdvance(text) + 8);
        bar->addPermanentWidget(label);
        return label;
    };
    m_capsPane = addPane(QStringLiteral("CAP"));
    m_numPane = addPane(QStringLiteral("NUM"));
    m_scrollPane = addPane(QStringLiteral("SCRL"));
    updateLockIndicators();
    qApp->installEventFilter(this);
    bar->showMessage(QStringLiteral("Ready"));
    // The message pane falls back to a build's verdict still due, else to
    // "Ready", whenever a prompt goes away.
    connect(bar, &QStatusBar::messageChanged, bar, [this, bar](const QString& text) {
        if (!text.isEmpty())
            return;
        int remaining = 0;
        const QString lasting = lastingStatus(&remaining);
        bar->showMessage(lasting.isEmpty() ? QStringLiteral("Ready") : lasting, remaining);
    });
    onCommand(fw::id::ViewStatusBar, [this] { statusBar()->setVisible(!statusBar()->isVisible()); });
    onUpdateChecked(fw::id::ViewStatusBar, [this] { return statusBar()->isVisible(); });
}

void CMainFrame::updateLockIndicators()
{
    // A pane shows its text while its lock is on and greyed while it is off
    // (or where the platform does not tell).
    const LockKeys keys = queryLockKeys().value_or(LockKeys{});
    m_capsPane->setEnabled(keys.caps);
    m_numPane->setEnabled(keys.num);
    m_scrollPane->setEnabled(keys.scroll);
}

void CMainFrame::OnWindowNext()
{
    mdiArea()->activateNextSubWindow();
}

void CMainFrame::OnWindowTileHorz()
{
    tile(Qt::Vertical);
}

void CMainFrame::OnWindowTileVert()
{
    tile(Qt::Horizontal);
}

// Lays the children that are not minimised out as rows (stacked vertically,
// "tile horizontally") or columns ("tile vertically"), leaving a strip at
// the bottom for minimised windows.
static void tileWindows(QMdiArea* area, Qt::Orientation stacking)
{
    QList<QMdiSubWindow*> windows;
    bool anyMinimised = false;
    for (QMdiSubWindow* window : area->subWindowList(QMdiArea::CreationOrder)) {
        if (!window->isVisible())
            continue;
        if (window->isMinimized()) {
            anyMinimised = true;
            continue;
        }
        windows << window;
    }
    if (windows.isEmpty())
        return;
    QRect space = area->viewport()->rect();
    if (anyMinimised)
        space.setBottom(space.bottom() - area->fontMetrics().height() * 2);
    const int n = int(windows.size());
    for (int i = 0; i < n; ++i) {
        QMdiSubWindow* window = windows.at(i);
        if (window->isMaximized())
            window->showNormal();
        QRect cell;
        if (stacking == Qt::Vertical) {
            const int top = space.top() + space.height() * i / n;
            const int bottom = space.top() + space.height() * (i + 1) / n;
            cell = QRect(space.left(), top, space.width(), bottom - top);
        } else {
            const int left = space.left() + space.width() * i / n;
            const int right = space.left() + space.width() * (i + 1) / n;
            cell = QRect(left, space.top(), right - left, space.height());
        }
        window->setGeometry(cell);
    }
}

void CMainFrame::tile(Qt::Orientation stacking)
{
    fw::MdiChildFrame* messageFrame = m_messageView ? m_messageView->parentFrame() : nullptr;
    if (!m_context->settings().minimizeOnTile || !messageFrame) {
        tileWindows(mdiArea(), stacking);
        return;
    }
    QMdiSubWindow* active = mdiArea()->activeSubWindow();
    const bool wasMinimised = messageFrame->isMinimized();
    const bool wasMaximised = messageFrame->isMaximized();
    const QRect placement = messageFrame->isMinimized() || messageFrame->isMaximized()
                                ? messageFrame->normalGeometry()
                                : messageFrame->geometry();
    messageFrame->showMinimized();
    tileWindows(mdiArea(), stacking);
    if (!wasMinimised) {
        if (wasMaximised) {
            messageFrame->showMaximized();
        } else {
            messageFrame->showNormal();
            messageFrame->setGeometry(placement);
        }
        messageFrame->raise();
    }
    if (active)
        mdiArea()->setActiveSubWindow(active);
}

void CMainFrame::OnWindowArrange()
{
    const QRect space = mdiArea()->viewport()->rect();
    int x = space.left();
    int y = -1;
    for (QMdiSubWindow* window : mdiArea()->subWindowList(QMdiArea::CreationOrder)) {
        if (!window->isMinimized())
            continue;
        const QSize size = window->size();
        if (y < 0)
            y = space.bottom() - size.height() + 1;
        if (x > space.left() && x + size.width() > space.right()) {
            x = space.left();
            y -= size.height();
        }
        window->move(x, y);
        x += size.width();
    }
}

void CMainFrame::OnViewOptions()
{
    CIDEOptionsDialog dialog(*m_context, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    fw::MdiChildFrame* messageFrame = m_messageView ? m_messageView->parentFrame() : nullptr;
    // Re-apply the font and tab stops to every source window; project
    // windows are passed over. The message window ends active.
    for (fw::MdiChildFrame* frame : childFrames()) {
        if (qobject_cast<CChildFrame*>(frame) && frame->view())
            frame->view()->onInitialUpdate();
    }
    if (messageFrame)
        messageFrame->activate();
}

void CMainFrame::OnLibcReference()
{
    const QString path = m_context->settings().libcPath;
    if (path.isEmpty()) {
        fw::messageBox(this,
                       QStringLiteral("Your libc reference path doesn't seem to be set! Since this file "
                                      "was automatically installed with Tarn, go to the options menu and "
                                      "set the path using the \"browse\" button.  Note that the file "
                                      "should be in the \\hlp directory of your djgpp installation."));
        return;
    }
    // The desktop's handler reports a file it cannot open.
    StartOutsideTarn([&path] { QDesktopServices::openUrl(QUrl::fromLocalFile(path)); });
}

void CMainFrame::OnStepDiagnostic(int step)
{
    if (m_messageView && m_messageView->StepToDiagnostic(step))
        statusBar()->clearMessage();
    else
        statusBar()->showMessage(QStringLiteral("No more diagnostics"));
}

void CMainFrame::contextMenuEvent(QContextMenuEvent* event)
{
    trackContextMenu(menu::MainContext, event->globalPos());
    event->accept();
}

bool CMainFrame::eventFilter(QObject* watched, QEvent* event)
{
    // The lock panes follow any key released in Tarn's windows.
    if (event->type() == QEvent::KeyRelease && m_capsPane) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_CapsLock || key == Qt::Key_NumLock || key == Qt::Key_ScrollLock)
            updateLockIndicators();
    }
    if (event->type() == QEvent::ApplicationActivate && m_capsPane)
        updateLockIndicators();
    if (watched == mdiArea()->viewport() && event->type() == QEvent::Resize && !m_unclampedPlaces.isEmpty() &&
        mdiArea()->isVisible())
        clampRestoredPlaces();
    // The message window keeps to the bottom quarter as the area grows or
    // shrinks, unless the user has moved it.
    if (watched == mdiArea()->viewport() && event->type() == QEvent::Resize && !m_dockedMessage.isNull()) {
        fw::MdiChildFrame* messageFrame = m_messageView ? m_messageView->parentFrame() : nullptr;
        if (messageFrame && messageFrame->geometry() == m_dockedMessage && !messageFrame->isMaximized() &&
            !messageFrame->isMinimized())
            dockMessageWindow();
        else
            m_dockedMessage = QRect();
    }
    // A right click on the empty client area shows the main context menu.
    if (watched == mdiArea()->viewport() && event->type() == QEvent::ContextMenu) {
        auto* menuEvent = static_cast<QContextMenuEvent*>(event);
        trackContextMenu(menu::MainContext, menuEvent->globalPos());
        return true;
    }
    return fw::MdiMainFrame::eventFilter(watched, event);
}
