#include "messages/MessageSink.h"

#include "framework/Assert.h"
#include "messages/RowBytes.h"

#include <QMetaObject>
#include <QObject>
#include <QThread>

#include <algorithm>
#include <deque>
#include <mutex>

namespace {

// Time the sink's thread spends on queued entries before it lets other
// events in.
constexpr qint64 kSliceMs = 8;

void apply(MessageSink* sink, const MessageEntry& entry)
{
    switch (entry.kind) {
    case MessageEntry::Kind::Clear: sink->ClearMessageRows(); break;
    case MessageEntry::Kind::Rows:
        sink->SetRowDirectory(entry.directory);
        sink->AppendStreamRows(entry.bytes, entry.streamEnd, entry.rowIcon);
        break;
    case MessageEntry::Kind::Append:
        sink->SetRowDirectory(entry.directory);
        sink->AppendLine(entry.text, entry.withSeparator);
        break;
    case MessageEntry::Kind::Status: sink->ShowStatus(entry.text); break;
    }
}

bool onSinkThread(MessageSink* sink)
{
    return QThread::currentThread() == sink->sinkObject()->thread();
}

} // namespace

// The sink, the queue and the drain flag, guarded by one mutex. Held while
// posting to the sink's object and while the sink is replaced, so a sink
// being removed (the view going away) is never posted to. A drain posted to
// the sink's thread holds the state weakly: a channel gone meanwhile is
// left alone.
struct MessageChannel::State : std::enable_shared_from_this<MessageChannel::State> {
    std::mutex mutex;
    MessageSink* sink = nullptr;
    std::deque<MessageEntry> queue;
    bool drainPosted = false;

    // Asks the sink's thread to drain (mutex held).
    void postDrain()
    {
        if (drainPosted || !sink)
            return;
        drainPosted = true;
        QMetaObject::invokeMethod(
            sink->sinkObject(),
            [weak = weak_from_this()] {
                if (const std::shared_ptr<State> state = weak.lock())
                    state->drain(true);
            },
            Qt::QueuedConnection);
    }

    // Takes up to a chunk of queued entries (mutex held): 256 entries (at
    // most limit), or fewer when stream rows make up 64 KiB.
    std::vector<MessageEntry> takeChunk(size_t limit = 256)
    {
        std::vector<MessageEntry> taken;
        qsizetype bytes = 0;
        limit = std::min<size_t>(limit, 256);
        while (!queue.empty() && taken.size() < limit && bytes < MessageBatcher::kBatchBytes) {
            bytes += queue.front().bytes.size();
            taken.push_back(std::move(queue.front()));
            queue.pop_front();
        }
        return taken;
    }

    // Delivers queued entries on the sink's thread. A sliced drain (the
    // posted one) stops after a slice of time and posts itself again for
    // the rest; while it is pending, workers post no second drain. An
    // unsliced drain delivers the whole queue now.
    void drain(bool sliced)
    {
        QElapsedTimer slice;
        slice.start();
        for (;;) {
            std::vector<MessageEntry> taken;
            MessageSink* target = nullptr;
            {
                std::lock_guard<std::mutex> lock(mutex);
                target = sink;
                if (!target)
                    queue.clear();
                if (queue.empty()) {
                    if (sliced)
                        drainPosted = false;
                    return;
                }
                if (sliced && slice.elapsed() >= kSliceMs) {
                    drainPosted = false;
                    postDrain();
                    return;
                }
                taken = takeChunk();
            }
            for (const MessageEntry& entry : taken)
                apply(target, entry);
        }
    }

    // Delivers the first count queued entries (the ones posted before and
    // with an entry the sink's thread adds itself), for at most a slice of
    // time: a worker that keeps posting must not hold the caller until the
    // queue is empty, nor may a long backlog. What is left goes with the
    // posted drain, in order.
    void drainUpTo(size_t count)
    {
        QElapsedTimer slice;
        slice.start();
        while (count > 0) {
            std::vector<MessageEntry> taken;
            MessageSink* target = nullptr;
            {
                std::lock_guard<std::mutex> lock(mutex);
                target = sink;
                if (!target)
                    queue.clear();
                if (queue.empty())
                    return;
                if (slice.elapsed() >= kSliceMs) {
                    postDrain();
                    return;
                }
                taken = takeChunk(count);
            }
            count -= taken.size();
            for (const MessageEntry& entry : taken)
                apply(target, entry);
        }
    }

    void deliver(std::vector<MessageEntry> entries)
    {
        std::unique_lock<std::mutex> lock(mutex);
        MessageSink* target = sink;
        if (!target)
            return;
        if (onSinkThread(target)) {
            const bool queued = !queue.empty();
            if (!queued) {
                // Nothing waits ahead of these: act at once. The sink lives
                // on this thread, so it cannot go away meanwhile.
                lock.unlock();
                for (const MessageEntry& entry : entries)
                    apply(target, entry);
                return;
            }
            const size_t upTo = queue.size() + entries.size();
            for (MessageEntry& entry : entries)
                queue.push_back(std::move(entry));
            lock.unlock();
            drainUpTo(upTo);
            return;
        }
        for (MessageEntry& entry : entries)
            queue.push_back(std::move(entry));
        postDrain();
    }
};

void MessageSink::AppendStreamRows(const QByteArray& bytes, bool streamEnd, int rowIcon)
{
    (void)rowIcon;
    ForEachOutputRow(QByteArrayView(bytes), streamEnd,
                     [this](QByteArrayView row) { AppendLine(RowText(row), 0); });
}

MessageChannel::MessageChannel() : m_state(std::make_shared<State>()) {}

MessageChannel::~MessageChannel() = default;

MessageSink* MessageChannel::setSink(MessageSink* sink)
{
    std::lock_guard<std::mutex> lock(m_state->mutex);
    MessageSink* previous = m_state->sink;
    m_state->sink = sink;
    // A drain posted to the previous sink's object may never run.
    m_state->drainPosted = false;
    if (!m_state->queue.empty())
        m_state->postDrain();
    return previous;
}

MessageSink* MessageChannel::sink() const
{
    std::lock_guard<std::mutex> lock(m_state->mutex);
    return m_state->sink;
}

void MessageChannel::add(QString text, int withSeparator)
{
    std::vector<MessageEntry> entries(1);
    entries[0].text = std::move(text);
    entries[0].withSeparator = withSeparator;
    m_state->deliver(std::move(entries));
}

void MessageChannel::clear()
{
    std::vector<MessageEntry> entries(1);
    entries[0].kind = MessageEntry::Kind::Clear;
    m_state->deliver(std::move(entries));
}

void MessageChannel::post(std::vector<MessageEntry> entries)
{
    if (!entries.empty())
        m_state->deliver(std::move(entries));
}

void MessageChannel::flush()
{
    MessageSink* target = sink();
    TARN_ASSERT(!target || onSinkThread(target), "the message channel is flushed on its sink's thread only");
    m_state->drain(false);
}

void MessageBatcher::started()
{
    if (m_entries.empty())
        m_age.start();
}

void MessageBatcher::add(QString text, int withSeparator)
{
    started();
    m_bytes += text.size() * 2 + 16;
    MessageEntry entry;
    entry.text = std::move(text);
    entry.withSeparator = withSeparator;
    m_entries.push_back(std::move(entry));
    if (m_bytes >= kBatchBytes)
        post();
}

void MessageBatcher::clear()
{
    started();
    MessageEntry entry;
    entry.kind = MessageEntry::Kind::Clear;
    m_entries.push_back(std::move(entry));
}

void MessageBatcher::addStreamRows(QByteArrayView bytes, bool streamEnd, const QString& directory,
                                   int rowIcon)
{
    if (bytes.isEmpty() && !streamEnd)
        return;
    started();
    if (m_entries.empty() || m_entries.back().kind != MessageEntry::Kind::Rows ||
        m_entries.back().streamEnd || m_entries.back().directory != directory ||
        m_entries.back().rowIcon != rowIcon) {
        MessageEntry entry;
        entry.kind = MessageEntry::Kind::Rows;
        entry.directory = directory;
        entry.rowIcon = rowIcon;
        // Room for a batch and a piece that completes it, so the pieces
        // are copied once.
        entry.bytes.reserve(kBatchBytes + std::max<qsizetype>(bytes.size(), kBatchBytes));
        m_entries.push_back(std::move(entry));
    }
    MessageEntry& entry = m_entries.back();
    entry.bytes.append(bytes);
    entry.streamEnd = streamEnd;
    m_bytes += bytes.size();
    if (m_bytes >= kBatchBytes)
        post();
}

void MessageBatcher::postIfDue()
{
    if (!m_entries.empty() && (m_bytes >= kBatchBytes || m_age.elapsed() >= kBatchMs))
        post();
}

void MessageBatcher::post()
{
    if (m_held || m_entries.empty())
        return;
    std::vector<MessageEntry> entries;
    entries.swap(m_entries);
    m_bytes = 0;
    // The message window may keep the rows' bytes as they are: no room to
    // spare goes with them.
    for (MessageEntry& entry : entries) {
        if (entry.kind == MessageEntry::Kind::Rows && entry.bytes.capacity() > entry.bytes.size() + 4096)
            entry.bytes.squeeze();
    }
    m_channel.post(std::move(entries));
}

void MessageBatcher::release()
{
    m_held = false;
    post();
}
