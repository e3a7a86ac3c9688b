#include "framework/MdiMainFrame.h"

#include "framework/Application.h"
#include "framework/BusyScope.h"
#include "framework/CommandRouter.h"
#include "framework/DocTemplate.h"
#include "framework/Document.h"
#include "framework/MdiChildFrame.h"
#include "framework/StandardIds.h"
#include "framework/View.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>

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

MdiMainFrame::~MdiMainFrame() = default;

QList<CommandTarget*> MdiMainFrame::commandChain() const
{
    QList<CommandTarget*> chain;
    chain << const_cast<MdiMainFrame*>(this);
    if (Application* app = Application::instance())
        chain << app;
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
    if (dynamic) {
        connect(menu, &QMenu::aboutToShow, this, [this, menu] {
            for (QAction* action : menu->actions()) {
                if (action->property("recentFilePlaceholder").toBool())
                    fillRecentFiles(menu, action);
                else if (action->property("windowListMarker").toBool())
                    fillWindowList(menu, action);
            }
        });
    }
    return menu;
}

void MdiMainFrame::fillRecentFiles(QMenu* menu, QAction* marker)
{
    for (QAction* action : menu->actions()) {
        if (action->property("recentFileEntry").toBool())
            delete action;
    }
    Application* app = Application::instance();
    const QStringList files = app ? app->recentFiles().files() : QStringList();
    marker->setVisible(files.isEmpty());
    int index = 0;
    for (const QString& file : files) {
        const QString text = QStringLiteral("&%1 %2").arg(index + 1).arg(QDir::toNativeSeparators(file));
        QAction* entry = m_router->createAction(id::FileMruFirst + index, text, menu);
        entry->setProperty("recentFileEntry", true);
        menu->insertAction(marker, entry);
        ++index;
    }
    m_router->updateActions();
}

void MdiMainFrame::fillWindowList(QMenu* menu, QAction* marker)
{
    bool after = false;
    for (QAction* action : menu->actions()) {
        if (action == marker)
            after = true;
        else if (after)
            delete action;
    }
    const QList<MdiChildFrame*> frames = childFrames();
    marker->setVisible(!frames.isEmpty());
    int index = 0;
    for (MdiChildFrame* frame : frames) {
        ++index;
        QString title = frame->windowTitle();
        title.replace(QStringLiteral("[*]"), frame->isWindowModified() ? QStringLiteral("*") : QString());
        QAction* entry = menu->addAction(QStringLiteral("&%1 %2").arg(index).arg(title));
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
    setWindowTitle(title);
}

void MdiMainFrame::onSubWindowActivated(QMdiSubWindow* window)
{
    Q_UNUSED(window);
    // A dialog taking the focus deactivates the area without a new child:
    // keep the menus of the child that is still current.
    updateMenuBar();
    disconnect(m_titleConnection);
    if (Document* doc = activeDocument())
        m_titleConnection = connect(doc, &Document::titleChanged, this, &MdiMainFrame::updateTitle);
    updateTitle();
    m_router->requestUpdate();
}

void MdiMainFrame::closeEvent(QCloseEvent* event)
{
    // A command is waiting for a tool: closing now would pull its windows
    // from under it. The user can close once the tool has ended.
    if (BusyScope::active()) {
        event->ignore();
        return;
    }
    Application* app = Application::instance();
    if (app && !app->saveAllModified()) {
        event->ignore();
        return;
    }
    if (app)
        app->closeAllDocuments();
    event->accept();
}

} // namespace fw
