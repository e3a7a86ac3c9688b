#include "messages/MessageSink.h"

#include <QMetaObject>
#include <QObject>
#include <QThread>

#include <atomic>
#include <mutex>

namespace {
std::atomic<MessageSink*> g_sink{nullptr};
// Held by a worker while it posts to the sink, and by whoever replaces the
// sink: a sink being removed (the view going away) is never posted to.
std::mutex g_sinkMutex;

template <typename Call>
void deliver(Call call)
{
    std::unique_lock<std::mutex> lock(g_sinkMutex);
    MessageSink* sink = g_sink.load();
    if (!sink)
        return;
    QObject* object = sink->sinkObject();
    if (QThread::currentThread() == object->thread()) {
        // The sink lives on this thread, so it cannot go away meanwhile.
        lock.unlock();
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
    std::lock_guard<std::mutex> lock(g_sinkMutex);
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
