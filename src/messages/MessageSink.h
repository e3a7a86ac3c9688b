#pragma once

#include <QString>

// Where AddMessage and ClearMessages deliver: the message window's view (or
// a recorder in tests). Its methods run on the thread that owns the sink's
// object (the user-interface thread).
class MessageSink {
public:
    virtual ~MessageSink() = default;
    virtual void AppendLine(const QString& text, int withSeparator) = 0;
    virtual void ClearMessageRows() = 0;
    // The QObject whose thread the calls must run on.
    virtual class QObject* sinkObject() = 0;
};

// Installs the sink (nullptr removes it); returns the previous one.
MessageSink* setMessageSink(MessageSink* sink);
MessageSink* messageSink();

// Appends one row (and a separator row when withSeparator is 1). Callable
// from any thread: from a worker the call is queued to the sink's thread,
// keeping the order of each thread's calls.
void AddMessage(QString text, int withSeparator);
// Deletes every row. Callable from any thread like AddMessage.
void ClearMessages();
