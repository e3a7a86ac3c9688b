#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>

class BreakpointBook;
class DebugSession;
class QDockWidget;
class QLineEdit;
class QMainWindow;
class QPlainTextEdit;
class QTreeWidget;
class QTreeWidgetItem;

// The debugger's dock windows on the main frame: Locals, Watch, Call
// Stack, Breakpoints, GDB Console and Program Output. Each is a thin view
// of the session's state, redrawn when the session says it changed; what
// the user does in them goes back to the session (or, for breakpoints,
// out through the signals, since breakpoints outlive a session).
class DebugPanes : public QObject {
    Q_OBJECT
public:
    // The session and the book must outlive the panes: their owner deletes
    // the panes first (DebugController does). The docks are the frame's
    // children and go with the panes.
    DebugPanes(QMainWindow* frame, DebugSession* session, BreakpointBook* book);
    ~DebugPanes() override;

    // Shows every pane (a session starts) and clears the two text panes.
    void beginSession();
    // The panes say the session ended, and why.
    void endSession(const QString& why);
    // Redraws the Breakpoints pane from the breakpoint book and the session.
    void refreshBreakpoints();

    QDockWidget* localsDock = nullptr;
    QDockWidget* watchDock = nullptr;
    QDockWidget* stackDock = nullptr;
    QDockWidget* breakpointsDock = nullptr;
    QDockWidget* consoleDock = nullptr;
    QDockWidget* outputDock = nullptr;

    QTreeWidget* locals = nullptr;
    QTreeWidget* watch = nullptr;
    QLineEdit* watchInput = nullptr;
    QTreeWidget* stack = nullptr;
    QTreeWidget* breakpoints = nullptr;
    QPlainTextEdit* console = nullptr;
    QLineEdit* consoleInput = nullptr;
    QPlainTextEdit* output = nullptr;
    QLineEdit* outputInput = nullptr;

    // Program Output keeps this many lines at most.
    static constexpr int kOutputLines = 20000;

signals:
    // A click on a frame of the Call Stack.
    void frameChosen(int level);
    // A breakpoint row was double-clicked: its source line is wanted.
    void breakpointChosen(const QString& path, int line);

private:
    QDockWidget* addDock(QMainWindow* frame, const QString& title, const char* name,
                         QWidget* content, Qt::DockWidgetArea area);
    void refreshLocals();
    void refreshWatches();
    void refreshStack();
    void expandLocal(QTreeWidgetItem* item);
    void breakpointEdited(QTreeWidgetItem* item, int column);
    void appendTo(QPlainTextEdit* pane, const QByteArray& bytes);

    DebugSession* m_session;
    BreakpointBook* m_book;
    QList<QPointer<QDockWidget>> m_docks;
    bool m_fillingBreakpoints = false;
};
