#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>

class BreakpointBook;
class BreakpointsPane;
class IdeContext;
class DebugSession;
class PaneColumns;
class ProgramOutputPane;
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
    // The context keeps the layout read at the start and what is saved.
    DebugPanes(QMainWindow* frame, DebugSession* session, BreakpointBook* book, IdeContext& context);
    ~DebugPanes() override;

    // Shows every pane (a session starts) and clears the two text panes.
    void beginSession();
    // The panes say the session ended, and why.
    void endSession(const QString& why);
    // Redraws the Breakpoints pane from the breakpoint book and the session.
    void refreshBreakpoints();
    // View > Breakpoints: shows or hides the Breakpoints pane, with or
    // without a session.
    void showBreakpoints(bool shown);
    BreakpointsPane* breakpointsPane() const { return m_breakpoints; }

    // Tarn is closing: the docks' layout and the widths the user gave the
    // columns go to the settings file, if the panes were shown in this run
    // or a width was dragged. False when the file could not be written
    // (reported to the user).
    bool saveLayout(QWidget* parent);

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
    // What Program Output shows: the program's terminal read as a terminal.
    ProgramOutputPane* outputPane = nullptr;

    // Program Output keeps this many lines at most.
    static constexpr int kOutputLines = 20000;
    // The GDB Console keeps this many lines at most.
    static constexpr int kConsoleLines = 20000;

signals:
    // A click on a frame of the Call Stack.
    void frameChosen(int level);
    // A breakpoint row was double-clicked: its source line is wanted.
    void breakpointChosen(const QString& path, int line);

private:
    IdeContext& m_context;
    QDockWidget* addDock(QMainWindow* frame, const QString& title, const char* name,
                         QWidget* content, Qt::DockWidgetArea area);
    void refreshLocals();
    void refreshWatches();
    void refreshStack();
    void expandLocal(QTreeWidgetItem* item);
    void appendTo(QPlainTextEdit* pane, const QByteArray& bytes);
    // The first time a pane is shown in this run: the layout kept from the
    // last run, or room for Program Output and Locals.
    void layOutOnFirstShow();
    void giveRoomToOutputAndLocals();

    DebugSession* m_session;
    BreakpointBook* m_book;
    QList<QPointer<QDockWidget>> m_docks;
    BreakpointsPane* m_breakpoints = nullptr;
    QList<PaneColumns*> m_columns;
    bool m_laidOut = false;
    bool m_keptLayout = false; // the docks are as the last run left them
    bool m_roomGiven = false;
    bool m_columnsDragged = false;
};
