#include "framework/MdiChildFrame.h"

#include "framework/Application.h"
#include "framework/DocTemplate.h"
#include "framework/Document.h"
#include "framework/MdiMainFrame.h"
#include "framework/StandardIds.h"
#include "framework/View.h"

#include <QCloseEvent>
#include <QMdiArea>
#include <QMenu>
#include <QScreen>

namespace fw {

MdiChildFrame::MdiChildFrame(Document* document, View* view, const Style& style, QWidget* parent)
    : QMdiSubWindow(parent), m_view(view), m_style(style)
{
    setAttribute(Qt::WA_DeleteOnClose);
    Qt::WindowFlags flags = Qt::SubWindow | Qt::WindowTitleHint | Qt::CustomizeWindowHint;
    if (m_style.systemMenu)
        flags |= Qt::WindowSystemMenuHint;
    if (m_style.minMaxButtons)
        flags |= Qt::WindowMinMaxButtonsHint;
    if (m_style.closable && m_style.systemMenu)
        flags |= Qt::WindowCloseButtonHint;
    setWindowFlags(flags);
    trimSystemMenu();

    view->m_frame = this;
    document->addView(view);
    setWidget(view->widget());
    if (m_style.initialSize.isValid())
        resize(m_style.initialSize);

    connect(document, &Document::titleChanged, this, &MdiChildFrame::updateTitle);
    connect(document, &Document::modifiedChanged, this, &MdiChildFrame::updateTitle);
    updateTitle();

    onCommand(id::FileClose, [this] { close(); });
    onUpdateEnabled(id::FileClose, [this] { return m_style.closable; });
}

MdiChildFrame::~MdiChildFrame()
{
    if (m_view) {
        m_view->m_frame = nullptr;
        if (Document* doc = m_view->document())
            doc->removeView(m_view);
    }
}

Document* MdiChildFrame::document() const
{
    return m_view ? m_view->document() : nullptr;
}

void MdiChildFrame::initialUpdate(bool makeVisible)
{
    const Document* doc = document();
    const Application* app = doc && doc->docTemplate() ? doc->docTemplate()->application() : nullptr;
    MdiMainFrame* main = app ? app->mainFrame() : nullptr;
    if (!mdiArea() && main)
        main->mdiArea()->addSubWindow(this);
    if (!m_style.initialSize.isValid() && mdiArea()) {
        // The framework's default: a good part of the client area (before
        // the main window is first shown, of the screen it will fill).
        QSize space = mdiArea()->viewport()->size();
        if (!mdiArea()->isVisible() && mdiArea()->screen())
            space = mdiArea()->screen()->availableGeometry().size() - QSize(0, 120);
        resize(qMax(400, space.width() * 2 / 3), qMax(300, space.height() * 2 / 3));
    }
    if (main && mdiArea() == main->mdiArea())
        main->placeNewChild(this);
    m_view->onInitialUpdate();
    if (makeVisible) {
        show();
        activate();
    }
}

void MdiChildFrame::activate()
{
    // Activating a minimised window (re-opening its file, a double-clicked
    // diagnostic) brings it back, so what it shows can be seen.
    if (isMinimized())
        showNormal();
    if (QMdiArea* area = mdiArea())
        area->setActiveSubWindow(this);
    if (QWidget* w = widget())
        w->setFocus();
}

void MdiChildFrame::trimSystemMenu()
{
    // The caption menu offers only what the frame allows. "Stay on Top"
    // means nothing inside the main window; a frame without minimise and
    // maximise buttons cannot be minimised, maximised or restored, and one
    // that refuses to close has no Close. (The texts are the toolkit's own.)
    QMenu* menu = systemMenu();
    if (!menu)
        return;
    QStringList unwanted{QStringLiteral("Stay on &Top")};
    if (!m_style.minMaxButtons)
        unwanted << QStringLiteral("&Restore") << QStringLiteral("Mi&nimize") << QStringLiteral("Ma&ximize");
    if (!m_style.closable || !m_style.systemMenu)
        unwanted << QStringLiteral("&Close");
    const QList<QAction*> actions = menu->actions();
    for (QAction* action : actions) {
        if (!unwanted.contains(action->text()))
            continue;
        menu->removeAction(action);
        removeAction(action); // its key, too
    }
    // A separator left at the end of the menu goes as well.
    const QList<QAction*> left = menu->actions();
    if (!left.isEmpty() && left.last()->isSeparator())
        menu->removeAction(left.last());
}

QRect MdiChildFrame::normalPlace() const
{
    if (m_keptPlace && m_normalPlace.isValid())
        return m_normalPlace;
    return geometry();
}

void MdiChildFrame::moveEvent(QMoveEvent* event)
{
    QMdiSubWindow::moveEvent(event);
    if (!m_keptPlace)
        m_normalPlace = geometry();
}

void MdiChildFrame::resizeEvent(QResizeEvent* event)
{
    QMdiSubWindow::resizeEvent(event);
    if (!m_keptPlace)
        m_normalPlace = geometry();
}

void MdiChildFrame::changeEvent(QEvent* event)
{
    // Maximised or minimised, the frame is moved about by the area; the
    // rectangle it had before is kept (the state has changed, the geometry
    // not yet).
    if (event->type() == QEvent::WindowStateChange) {
        const bool special = isMaximized() || isMinimized();
        if (special && !m_keptPlace) {
            m_normalPlace = geometry();
            m_keptPlace = true;
        } else if (!special) {
            m_keptPlace = false;
        }
    }
    QMdiSubWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange && !m_keptPlace)
        m_normalPlace = geometry();
    // The area maximises whatever comes forward while a maximised window is
    // active; a frame without a maximise button keeps its own size instead.
    if (event->type() == QEvent::WindowStateChange && !m_style.minMaxButtons && isMaximized()
        && !m_restorePending) {
        m_restorePending = true;
        QMetaObject::invokeMethod(
            this,
            [this] {
                m_restorePending = false;
                if (isMaximized())
                    showNormal();
            },
            Qt::QueuedConnection);
    }
}

void MdiChildFrame::closeEvent(QCloseEvent* event)
{
    if (!m_forceClose) {
        Document* doc = document();
        if (!m_style.closable || (doc && !doc->canCloseFrame(this))) {
            event->ignore();
            return;
        }
    }
    // Chosen before the area picks the next window by itself.
    auto* main = qobject_cast<MdiMainFrame*>(window());
    const QPointer<MdiChildFrame> successor =
        main && main->activeChild() == this ? main->successorOf(this) : nullptr;
    QMdiSubWindow::closeEvent(event);
    // The window is going: its document lets go of the view now, not when
    // the deferred delete runs, so opening the file again makes a new window.
    if (event->isAccepted() && m_view) {
        if (Document* doc = m_view->document())
            doc->removeView(m_view);
    }
    if (event->isAccepted() && successor)
        successor->activate();
}

void MdiChildFrame::updateTitle()
{
    QString title;
    Document* doc = document();
    if (!m_style.addDocumentToTitle || !doc)
        title = m_style.fixedTitle;
    else
        title = doc->title();
    if (doc && m_style.addDocumentToTitle && doc->asksToSave())
        title += QStringLiteral("[*]");
    setWindowTitle(title);
    setWindowModified(doc && doc->isModified());
}

} // namespace fw
