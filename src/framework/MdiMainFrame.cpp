#include "framework/MdiMainFrame.h"

#include "framework/Application.h"
#include "framework/BusyScope.h"
#include "framework/CommandRouter.h"
#include "framework/DocTemplate.h"
#include "framework/Document.h"
#include "framework/FileNameBytes.h"
#include "framework/MdiChildFrame.h"
#include "framework/MdiLayout.h"
#include "framework/StandardIds.h"
#include "framework/View.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPointer>
#include <QScreen>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QStyle>
#include <QStyleOptionTitleBar>

namespace fw {

MdiMainFrame::MdiMainFrame(const CommandTable* table, QWidget* parent)
    : QMainWindow(parent), m_table(table), m_mdiArea(new QMdiArea(this))
{
    m_router = new CommandRouter(
        table,
        [this] {
            QList<CommandTarget*> chain;
            if (MdiChildFrame* frame = activeChild()) {
                if (View* view = frame->view()) {
                    chain << view;
                    if (Document* doc = view->document())
                        chain << doc;
                }
                chain << frame;
            }
            chain << commandChain();
            return chain;
        },
        this);
    setCentralWidget(m_mdiArea);
    m_mdiArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_mdiArea->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    connect(m_mdiArea, &QMdiArea::subWindowActivated, this, &MdiMainFrame::onSubWindowActivated);
    connect(qApp, &QApplication::focusChanged, m_router, &CommandRouter::requestUpdate);
    m_router->installShortcuts(this);
}

MdiMainFrame::~MdiMainFrame()
{
    // ~QWidget closes the children after this destructor has run; the area
    // and the application must not reach this half-destroyed frame then.
    disconnect(m_titleConnection);
    disconnect(m_mdiArea, nullptr, this, nullptr);
    disconnect(qApp, nullptr, m_router, nullptr);
}

QList<CommandTarget*> MdiMainFrame::commandChain() const
{
    QList<CommandTarget*> chain;
    chain << const_cast<MdiMainFrame*>(this);
    if (m_application)
        chain << m_application;
    return chain;
}

MdiChildFrame* MdiMainFrame::activeChild() const
{
    QMdiSubWindow* window = m_mdiArea->activeSubWindow();
    if (!window) {
        // While the main window itself is inactive (a dialog is up) the
        // area reports no active child; the current one still counts.
        window = m_mdiArea->currentSubWindow();
    }
    return qobject_cast<MdiChildFrame*>(window);
}

View* MdiMainFrame::activeView() const
{
    MdiChildFrame* frame = activeChild();
    return frame ? frame->view() : nullptr;
}

Document* MdiMainFrame::activeDocument() const
{
    View* view = activeView();
    return view ? view->document() : nullptr;
}

QList<MdiChildFrame*> MdiMainFrame::childFrames() const
{
    QList<MdiChildFrame*> frames;
    for (QMdiSubWindow* window : m_mdiArea->subWindowList(QMdiArea::CreationOrder)) {
        if (auto* frame = qobject_cast<MdiChildFrame*>(window))
            frames << frame;
    }
    return frames;
}

void MdiMainFrame::setDefaultMenuResource(int resourceId)
{
    m_defaultMenu = resourceId;
    updateMenuBar();
}

QList<QMenu*> MdiMainFrame::menuBar(int resourceId)
{
    auto it = m_menuBars.find(resourceId);
    if (it != m_menuBars.end())
        return it.value();
    QList<QMenu*> menus;
    if (const MenuLayout* layout = m_table ? m_table->menu(resourceId) : nullptr) {
        for (const MenuItem& popup : *layout)
            menus << buildMenu(popup, this);
    }
    m_menuBars.insert(resourceId, menus);
    return menus;
}

QMenu* MdiMainFrame::createContextMenu(int resourceId, QWidget* parent)
{
    const MenuLayout* layout = m_table ? m_table->menu(resourceId) : nullptr;
    if (!layout || layout->empty())
        return nullptr;
    QMenu* menu = buildMenu(layout->front(), parent);
    m_router->updateActions();
    return menu;
}

void MdiMainFrame::trackContextMenu(int resourceId, const QPoint& globalPos)
{
    QMenu* menu = createContextMenu(resourceId, this);
    if (!menu)
        return;
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(globalPos);
}

QMenu* MdiMainFrame::buildMenu(const MenuItem& popup, QWidget* parent)
{
    auto* menu = new QMenu(popup.text, parent);
    bool dynamic = false;
    for (const MenuItem& item : popup.children) {
        switch (item.kind) {
        case MenuItem::Kind::Command:
            menu->addAction(m_router->createAction(item.id, item.text, menu));
            break;
        case MenuItem::Kind::Separator:
            menu->addSeparator();
            break;
        case MenuItem::Kind::Submenu:
            menu->addMenu(buildMenu(item, menu));
            break;
        case MenuItem::Kind::RecentFiles: {
            // The placeholder stays, disabled, while the list is empty.
            QAction* marker = m_router->createAction(item.id, item.text, menu);
            marker->setProperty("recentFilePlaceholder", true);
            menu->addAction(marker);
            dynamic = true;
            break;
        }
        case MenuItem::Kind::WindowList: {
            QAction* marker = menu->addSeparator();
            marker->setProperty("windowListMarker", true);
            marker->setVisible(false);
            dynamic = true;
            break;
        }
        }
    }
    connect(menu, &QMenu::aboutToShow, m_router, &CommandRouter::updateActions);
    menu->installEventFilter(this);
    if (dynamic) {
        connect(menu, &QMenu::aboutToShow, this, [this, menu] {
            // Find the markers first: each refill deletes entries of this
            // menu, so no pass may walk the action list while it refills.
            QPointer<QAction> recentMarker;
            QPointer<QAction> windowMarker;
            const QList<QAction*> actions = menu->actions();
            for (QAction* action : actions) {
                if (action->property("recentFilePlaceholder").toBool())
                    recentMarker = action;
                else if (action->property("windowListMarker").toBool())
                    windowMarker = action;
            }
            if (recentMarker)
                fillRecentFiles(menu, recentMarker);
            if (windowMarker)
                fillWindowList(menu, windowMarker);
        });
    }
    return menu;
}

// Deletes the entries of a menu that carry the given property.
static void removeEntries(QMenu* menu, const char* property)
{
    QList<QAction*> doomed;
    const QList<QAction*> actions = menu->actions();
    for (QAction* action : actions) {
        if (action->property(property).toBool())
            doomed << action;
    }
    qDeleteAll(doomed);
}

void MdiMainFrame::fillRecentFiles(QMenu* menu, QAction* marker)
{
    removeEntries(menu, "recentFileEntry");
    const QStringList files = m_application ? m_application->recentFiles().files() : QStringList();
    marker->setVisible(files.isEmpty());
    int index = 0;
    for (const QString& file : files) {
        const QString text = QStringLiteral("&%1 %2").arg(index + 1).arg(fileNameForDisplay(QDir::toNativeSeparators(file)));
        QAction* entry = m_router->createAction(id::FileMruFirst + index, text, menu);
        entry->setProperty("recentFileEntry", true);
        menu->insertAction(marker, entry);
        ++index;
    }
    m_router->updateActions();
}

void MdiMainFrame::fillWindowList(QMenu* menu, QAction* marker)
{
    removeEntries(menu, "windowListEntry");
    const QList<MdiChildFrame*> frames = childFrames();
    marker->setVisible(!frames.isEmpty());
    int index = 0;
    for (MdiChildFrame* frame : frames) {
        ++index;
        QString title = frame->windowTitle();
        title.replace(QStringLiteral("[*]"), frame->isWindowModified() ? QStringLiteral("*") : QString());
        QAction* entry = menu->addAction(QStringLiteral("&%1 %2").arg(index).arg(title));
        entry->setProperty("windowListEntry", true);
        entry->setCheckable(true);
        entry->setChecked(frame == activeChild());
        connect(entry, &QAction::triggered, frame, [frame] {
            if (frame->isMinimized())
                frame->showNormal();
            frame->activate();
        });
    }
}

void MdiMainFrame::updateMenuBar()
{
    int resource = m_defaultMenu;
    if (MdiChildFrame* frame = activeChild()) {
        if (Document* doc = frame->document(); doc && doc->docTemplate())
            resource = doc->docTemplate()->resourceId();
    }
    if (resource == m_currentMenu)
        return;
    m_currentMenu = resource;
    QMenuBar* bar = QMainWindow::menuBar();
    bar->clear();
    for (QMenu* menu : menuBar(resource))
        bar->addMenu(menu);
}

void MdiMainFrame::setBaseTitle(const QString& title)
{
    m_baseTitle = title;
    updateTitle();
}

void MdiMainFrame::updateTitle()
{
    QString title = m_baseTitle;
    if (Document* doc = activeDocument())
        title += (title.isEmpty() ? QString() : QStringLiteral(" - ")) + doc->title();
    m_title = title;
    applyTitle();
}

void MdiMainFrame::applyTitle()
{
    m_titlePending = false;
    if (windowTitle() == m_title)
        return;
    // A maximised child watches this window's title and appends
    // " - [its title]" to any new one; it must not see this change.
    QList<QMdiSubWindow*> watchers;
    for (QMdiSubWindow* window : m_mdiArea->subWindowList()) {
        if (window->maximizedButtonsWidget())
            watchers << window;
    }
    for (QMdiSubWindow* window : watchers)
        removeEventFilter(window);
    setWindowTitle(m_title);
    for (QMdiSubWindow* window : watchers)
        installEventFilter(window);
}

void MdiMainFrame::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    // Maximising a child rewrites the title to "title - [child]": put ours
    // back once that is done.
    if (event->type() == QEvent::WindowTitleChange && windowTitle() != m_title && !m_titlePending) {
        m_titlePending = true;
        QMetaObject::invokeMethod(this, &MdiMainFrame::applyTitle, Qt::QueuedConnection);
    }
}

QRect MdiMainFrame::clientSpace() const
{
    // Before the window is first shown the area has no size yet: use the
    // screen it will fill, less room for the bars.
    QRect space = m_mdiArea->viewport()->rect();
    if (!m_mdiArea->isVisible() && m_mdiArea->screen())
        space = QRect(QPoint(0, 0), m_mdiArea->screen()->availableGeometry().size() - QSize(0, 120));
    return space;
}

int MdiMainFrame::cascadeStep() const
{
    QStyleOptionTitleBar option;
    option.initFrom(m_mdiArea);
    const int title = style()->pixelMetric(QStyle::PM_TitleBarHeight, &option, m_mdiArea);
    return qMax(title, fontMetrics().height() + 4);
}

void MdiMainFrame::showLastingStatus(const QString& text, int milliseconds)
{
    m_lastingStatus = text;
    m_lastingEnd = QDeadlineTimer(milliseconds);
    statusBar()->showMessage(text, milliseconds);
}

QString MdiMainFrame::lastingStatus(int* remaining) const
{
    const qint64 left = m_lastingEnd.remainingTime();
    if (m_lastingStatus.isEmpty() || left <= 0)
        return {};
    *remaining = static_cast<int>(left);
    return m_lastingStatus;
}

void MdiMainFrame::placeNewChild(MdiChildFrame* frame)
{
    frame->setGeometry(newChildGeometry(&m_nextPlacement, frame->size(), newChildSpace(), cascadeStep()));
}

// Many windows cascade closer than a title bar apart: each title bar still
// shows a strip that can be clicked.
static constexpr int MinCascadeStep = 8;

void MdiMainFrame::cascade()
{
    QMdiSubWindow* active = m_mdiArea->activeSubWindow();
    if (!active)
        active = m_mdiArea->currentSubWindow();
    QList<QMdiSubWindow*> windows;
    for (QMdiSubWindow* window : m_mdiArea->subWindowList(QMdiArea::StackingOrder)) {
        if (window->isVisible() && !window->isMinimized() && window != active)
            windows << window;
    }
    if (active && active->isVisible() && !active->isMinimized())
        windows << active;
    const QList<QRect> places = cascadeGeometries(int(windows.size()), m_mdiArea->viewport()->rect(),
                                                  cascadeStep(), MinCascadeStep);
    for (qsizetype i = 0; i < windows.size(); ++i) {
        QMdiSubWindow* window = windows.at(i);
        if (window->isMaximized())
            window->showNormal();
        window->setGeometry(places.at(i));
        window->raise();
    }
    if (active)
        m_mdiArea->setActiveSubWindow(active);
}

MdiChildFrame* MdiMainFrame::successorOf(const MdiChildFrame* closing) const
{
    MdiChildFrame* fallback = nullptr;
    for (auto it = m_activationHistory.crbegin(); it != m_activationHistory.crend(); ++it) {
        MdiChildFrame* frame = it->data();
        if (!frame || frame == closing || frame->isHidden())
            continue;
        if (prefersFocus(frame))
            return frame;
        if (!fallback)
            fallback = frame;
    }
    return fallback;
}

void MdiMainFrame::onSubWindowActivated(QMdiSubWindow* window)
{
    if (auto* child = qobject_cast<MdiChildFrame*>(window)) {
        m_activationHistory.removeAll(child);
        m_activationHistory.removeAll(nullptr);
        m_activationHistory.append(child);
    }
    // A dialog taking the focus deactivates the area without a new child:
    // keep the menus of the child that is still current.
    updateMenuBar();
    disconnect(m_titleConnection);
    if (Document* doc = activeDocument())
        m_titleConnection = connect(doc, &Document::titleChanged, this, &MdiMainFrame::updateTitle);
    updateTitle();
    m_router->requestUpdate();
}

bool MdiMainFrame::eventFilter(QObject* watched, QEvent* event)
{
    // A menu shows the prompt of an enabled item only; a disabled item's
    // prompt is as useful, so the frame shows it while the item is under the
    // pointer or highlighted.
    const QEvent::Type type = event->type();
    if (type == QEvent::MouseMove || type == QEvent::KeyRelease) {
        if (auto* menu = qobject_cast<QMenu*>(watched)) {
            QAction* action = type == QEvent::MouseMove
                                  ? menu->actionAt(static_cast<QMouseEvent*>(event)->position().toPoint())
                                  : menu->activeAction();
            if (action && !action->isEnabled() && !action->isSeparator()) {
                // After the menu has handled the event: it clears the status
                // bar when the pointer leaves an enabled item.
                QMetaObject::invokeMethod(
                    this,
                    [this, menu = QPointer<QMenu>(menu), item = QPointer<QAction>(action)] {
                        if (!menu || !item || !menu->isVisible() || item->isEnabled())
                            return;
                        QStatusTipEvent tip(item->statusTip());
                        QApplication::sendEvent(this, &tip);
                    },
                    Qt::QueuedConnection);
            }
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void MdiMainFrame::closeEvent(QCloseEvent* event)
{
    // A command is waiting for a tool: closing now would pull its windows
    // from under it. The user can close once the tool has ended.
    if (BusyScope::active()) {
        event->ignore();
        return;
    }
    Application* app = m_application;
    if (app && !app->saveAllModified()) {
        event->ignore();
        return;
    }
    aboutToCloseChildren();
    if (app)
        app->closeAllDocuments();
    event->accept();
}

} // namespace fw
