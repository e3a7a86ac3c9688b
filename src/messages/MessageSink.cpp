#include "messages/MessageSink.h"

#include <QMetaObject>
#include <QObject>
#include <QThread>

#include <atomic>

namespace {
std::atomic<MessageSink*> g_sink{nullptr};

template <typename Call>
void deliver(Call call)
{
    MessageSink* sink = g_sink.load();
    if (!sink)
        return;
    QObject* object = sink->sinkObject();
    if (QThread::currentThread() == object->thread()) {
        call(sink);
        return;
    }
    // Queued to the sink's thread; calls from one thread arrive in order.
    QMetaObject::invokeMethod(
        object,
        [call] {
            if (MessageSink* current = g_sink.load())
                call(current);
        },
        Qt::QueuedConnection);
}
} // namespace

MessageSink* setMessageSink(MessageSink* sink)
{
    return g_sink.exchange(sink);
}

MessageSink* messageSink()
{
    return g_sink.load();
}

void AddMessage(QString text, int withSeparator)
{
    deliver([text = std::move(text), withSeparator](MessageSink* sink) {
        sink->AppendLine(text, withSeparator);
    });
}

void ClearMessages()
{
    deliver([](MessageSink* sink) { sink->ClearMessageRows(); });
}
