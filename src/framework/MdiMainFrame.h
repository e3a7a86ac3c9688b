#pragma once

#include "framework/CommandTable.h"
#include "framework/CommandTarget.h"

#include <QDeadlineTimer>
#include <QHash>
#include <QList>
#include <QMainWindow>
#include <QPointer>

class QMdiArea;
class QMdiSubWindow;
class QMenu;

namespace fw {

class Application;
class CommandRouter;
class Document;
class MdiChildFrame;
class View;

// The MDI main window: owns the MDI area and the command router, shows the
// menu bar of the active child's document type and builds menus and context
// menus from the command table's layouts.
class MdiMainFrame : public QMainWindow, public CommandTarget {
    Q_OBJECT
public:
    explicit MdiMainFrame(const CommandTable* table, QWidget* parent = nullptr);
    ~MdiMainFrame() override;

    QMdiArea* mdiArea() const { return m_mdiArea; }
    // The application whose main window this is (Application::setMainFrame);
    // nullptr for a window used alone.
    Application* application() const { return m_application; }
    void setApplication(Application* application) { m_application = application; }
    CommandRouter* router() const { return m_router; }
    const CommandTable* commandTable() const { return m_table; }

    MdiChildFrame* activeChild() const;
    View* activeView() const;
    Document* activeDocument() const;
    QList<MdiChildFrame*> childFrames() const;

    // The menu bar shown while no child exists.
    void setDefaultMenuResource(int resourceId);
    // The menu resource shown now (the active child's type, or the default).
    int currentMenuResource() const { return m_currentMenu; }
    // The top-level popups of a menu bar resource (built once, kept).
    QList<QMenu*> menuBar(int resourceId);
    using QMainWindow::menuBar;
    // A new popup with the first submenu of a menu resource; the caller
    // owns it.
    QMenu* createContextMenu(int resourceId, QWidget* parent);

    // Shows the first popup of a context menu resource at a screen point.
    void trackContextMenu(int resourceId, const QPoint& globalPos);

    // The base title ("Tarn"); the frame shows it followed by " - " and the
    // active document's title, and nothing else (a maximised child does not
    // add its name).
    void setBaseTitle(const QString& title);

    // Moves a new child to its place: cascading from the top left, one step
    // further for each new window, starting over at the top left when it
    // would leave the space for new windows (and never larger than it).
    void placeNewChild(MdiChildFrame* frame);
    // The client area (before the window is first shown: the screen it
    // will fill, less room for the bars).
    QRect clientSpace() const;
    // The offset between cascaded windows: one title bar.
    int cascadeStep() const;

    // Shows text in the status bar for a while. A prompt shown over it
    // meanwhile (a menu item, a tool button) hides it only while the prompt
    // shows: lastingStatus() then gives it back for the rest of its time.
    void showLastingStatus(const QString& text, int milliseconds);
    // The lasting text still due and the milliseconds it has left; empty
    // when there is none.
    QString lastingStatus(int* remaining) const;

public slots:
    void updateMenuBar();
    void updateTitle();
    // Cascades the children that are not minimised, the active one last
    // and on top.
    void cascade();

    // The window to activate when the active one closes: the one used last
    // among those that prefer the focus, else the one used last of the
    // rest (the MDI area by itself would take the next in creation order).
    MdiChildFrame* successorOf(const MdiChildFrame* closing) const;

protected:
    // Whether a window is a first choice for the focus when the active one
    // closes.
    virtual bool prefersFocus(const MdiChildFrame* frame) const
    {
        (void)frame;
        return true;
    }
    // Where new children cascade: the client area unless a window keeps a
    // part of it.
    virtual QRect newChildSpace() const { return clientSpace(); }

    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    // The chain a command travels after the active view, document and frame.
    virtual QList<CommandTarget*> commandChain() const;
    // Called when the window is about to close for good: every document has
    // been offered its save question and none said Cancel; the children are
    // still open.
    virtual void aboutToCloseChildren() {}

private:
    Application* m_application = nullptr;
    // The children in the order they were activated, the last one last.
    QList<QPointer<MdiChildFrame>> m_activationHistory;
    QMenu* buildMenu(const MenuItem& popup, QWidget* parent);
    void fillRecentFiles(QMenu* menu, QAction* marker);
    void fillWindowList(QMenu* menu, QAction* marker);
    void onSubWindowActivated(QMdiSubWindow* window);
    void applyTitle();

    const CommandTable* m_table;
    QMdiArea* m_mdiArea;
    CommandRouter* m_router;
    QHash<int, QList<QMenu*>> m_menuBars;
    int m_defaultMenu = 0;
    int m_currentMenu = -1;
    QString m_baseTitle;
    QString m_title;
    bool m_titlePending = false;
    int m_nextPlacement = 0;
    QString m_lastingStatus;
    QDeadlineTimer m_lastingEnd;
    QMetaObject::Connection m_titleConnection;
};

} // namespace fw
