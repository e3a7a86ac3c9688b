#pragma once

#include <QList>
#include <QObject>
#include <QPair>
#include <QString>

class BreakpointBook;
class DebugSession;
class QPoint;
class QTreeWidget;
class QTreeWidgetItem;

// The Breakpoints pane: every breakpoint of the book, with its condition,
// its hits while a session runs, and the reason gdb gave for one it did
// not set. What the user does here (the check box, a condition typed in,
// the right-click menu, Delete and Space) goes to the book, and to gdb
// through the session while one runs; the pane is redrawn when the book
// says it changed.
class BreakpointsPane : public QObject {
    Q_OBJECT
public:
    BreakpointsPane(DebugSession* session, BreakpointBook* book, QObject* parent);

    QTreeWidget* tree() const { return m_tree; }
    // Redraws the rows from the book and the session.
    void refresh();

    // The commands of the right-click menu, on the rows given.
    void deleteRows(const QList<QTreeWidgetItem*>& rows);
    void deleteAll();
    // Enables them all unless they all are (then disables them).
    void toggleEnabled(const QList<QTreeWidgetItem*>& rows);
    void editCondition(QTreeWidgetItem* row);
    void goToSource(QTreeWidgetItem* row);

signals:
    // The source line of a breakpoint is wanted.
    void breakpointChosen(const QString& path, int line);

private:
    using Place = QPair<QString, int>; // path, one-based line
    static Place placeOf(const QTreeWidgetItem* row);
    void showMenu(const QPoint& at);
    void edited(QTreeWidgetItem* item, int column);
    void remove(const QList<Place>& places);
    // gdb's number for the breakpoint on that line while a session runs.
    int liveNumber(const Place& place) const;

    DebugSession* m_session;
    BreakpointBook* m_book;
    QTreeWidget* m_tree;
    bool m_filling = false;
};
