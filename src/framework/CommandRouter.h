#pragma once

#include <QHash>
#include <QList>
#include <QObject>
#include <QPointer>

#include <functional>

class QAction;
class QWidget;

namespace fw {

class CommandTable;
class CommandTarget;

// Routes command ids to the first target of a chain (active view, its
// document, its frame, the main frame, the application) that handles them,
// and keeps every action showing an id enabled only while some target of
// the chain handles it.
class CommandRouter : public QObject {
    Q_OBJECT
public:
    using Chain = std::function<QList<CommandTarget*>()>;

    CommandRouter(const CommandTable* table, Chain chain, QObject* parent = nullptr);

    const CommandTable* table() const { return m_table; }

    // Offers the id to the chain; returns false when no target handled it
    // (or the handler is disabled).
    bool execute(int id);
    bool isEnabled(int id) const;
    CommandTarget* targetFor(int id) const;

    // A menu item or button for the id, with the table's prompt as status
    // tip (and tooltip when wanted). Triggering it executes the id.
    QAction* createAction(int id, const QString& text, QObject* parent, bool withTooltip = false);
    // Binds the table's keys of every command to the widget (the main
    // window), so they work whatever child has the focus.
    void installShortcuts(QWidget* window);

public slots:
    // Refreshes enabled and checked states of every action now.
    void updateActions();
    // Schedules one refresh for the next turn of the event loop.
    void requestUpdate();

private:
    void track(int id, QAction* action);

    const CommandTable* m_table;
    Chain m_chain;
    QMultiHash<int, QPointer<QAction>> m_actions;
    bool m_updatePending = false;
};

} // namespace fw
