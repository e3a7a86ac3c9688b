#include "tools/WorkerChild.h"

#include "framework/Assert.h"
#include "tools/ChildStart.h"

#include <QProcess>

#include <memory>

// The worker's side: owns the QProcess and the reader; lives on the worker.
class WorkerChild::Channel : public QObject {
public:
    // What the receiver's thread calls: the handlers, and whether it has
    // stopped listening (end() was called there).
    struct Shared {
        Handlers handlers;
        std::atomic<bool> dropped{false};
    };

    Channel(QObject* receiver, Handlers handlers, OutputReader reader, WorkerChild& owner)
        : m_shared(std::make_shared<Shared>()), m_receiver(receiver), m_owner(owner),
          m_reader(std::move(reader))
    {
        m_shared->handlers = std::move(handlers);
        m_post = [this](std::function<void()> call) {
            post([call = std::move(call)](Handlers&) { call(); });
        };
    }

    const std::shared_ptr<Shared> m_shared;

    void start(const Invocation& invocation)
    {
        if (m_ending)
            return;
        m_process = new QProcess(this);
        QObject::connect(m_process, &QProcess::readyReadStandardOutput, this,
                         [this] { readOutput(); });
        QObject::connect(m_process, &QProcess::readyReadStandardError, this, [this] {
            post([bytes = m_process->readAllStandardError()](Handlers& h) {
                if (h.errorOutput)
                    h.errorOutput(bytes);
            });
        });
        QObject::connect(m_process, &QProcess::finished, this,
                         [this](int code, QProcess::ExitStatus status) {
                             m_owner.m_running = false;
                             if (m_ending || m_pid == 0)
                                 return;
                             readOutput();
                             const bool crashed = status == QProcess::CrashExit;
                             post([code, crashed](Handlers& h) {
                                 if (h.finished)
                                     h.finished(code, crashed);
                             });
                         });
        ChildStartOptions options;
        options.writableInput = true;
        QString error;
        m_pid = StartChild(*m_process, invocation, options, &error);
        if (m_pid == 0) {
            delete m_process;
            m_process = nullptr;
            post([error](Handlers& h) {
                if (h.startFailed)
                    h.startFailed(error);
            });
            return;
        }
        m_owner.m_pid = m_pid;
        m_owner.m_running = true;
        post([pid = m_pid](Handlers& h) {
            if (h.started)
                h.started(pid);
        });
    }

    void writePending()
    {
        QByteArray bytes;
        {
            QMutexLocker lock(&m_owner.m_pendingLock);
            bytes.swap(m_owner.m_pending);
        }
        if (m_process && !m_ending && m_process->state() == QProcess::Running)
            m_process->write(bytes);
    }

    void end(const QByteArray& farewell, const std::function<void()>& first)
    {
        m_ending = true;
        if (first)
            first();
        if (m_process) {
            if (m_process->state() != QProcess::NotRunning) {
                if (!farewell.isEmpty())
                    m_process->write(farewell);
                m_process->closeWriteChannel();
            }
            EndChild(*m_process, m_pid, kStopGraceMs);
            delete m_process;
            m_process = nullptr;
        }
        m_owner.m_running = false;
        // What a stopped session held goes now, not with the next one.
        m_reader = nullptr;
        QMetaObject::invokeMethod(
            m_receiver,
            [shared = m_shared] {
                if (shared->handlers.ended)
                    shared->handlers.ended();
            },
            Qt::QueuedConnection);
    }

private:
    void readOutput()
    {
        const QByteArray bytes = m_process->readAllStandardOutput();
        m_owner.m_read += bytes.size();
        if (m_reader && !bytes.isEmpty())
            m_reader(bytes, m_post);
    }

    // Calls into the receiver's thread, in the order posted; dropped when
    // end() was called there before it arrives (or the receiver is gone).
    template <typename Call> void post(Call call)
    {
        QMetaObject::invokeMethod(
            m_receiver,
            [shared = m_shared, call = std::move(call)]() mutable {
                if (!shared->dropped)
                    call(shared->handlers);
            },
            Qt::QueuedConnection);
    }

    QObject* m_receiver;
    WorkerChild& m_owner;
    OutputReader m_reader;
    Post m_post;
    QProcess* m_process = nullptr;
    qint64 m_pid = 0;
    bool m_ending = false;
};

WorkerChild::WorkerChild(QObject* receiver, const QString& threadName, Handlers handlers,
                         OutputReader reader)
    : m_receiverThread(receiver->thread())
{
    m_channel = new Channel(receiver, std::move(handlers), std::move(reader), *this);
    m_channel->moveToThread(&m_thread);
    m_thread.setObjectName(threadName);
    m_thread.start();
}

WorkerChild::~WorkerChild()
{
    end();
    // The worker's end (the grace, the group) is done before it quits.
    m_thread.quit();
    m_thread.wait();
    delete m_channel;
}

void WorkerChild::start(const Invocation& invocation)
{
    TARN_ASSERT(QThread::currentThread() == m_receiverThread,
                "a worker child is driven from its receiver's thread only");
    QMetaObject::invokeMethod(
        m_channel, [channel = m_channel, invocation] { channel->start(invocation); },
        Qt::QueuedConnection);
}

void WorkerChild::write(const QByteArray& bytes)
{
    TARN_ASSERT(QThread::currentThread() == m_receiverThread,
                "a worker child is driven from its receiver's thread only");
    if (m_channel->m_shared->dropped)
        return;
    bool first = false;
    {
        QMutexLocker lock(&m_pendingLock);
        first = m_pending.isEmpty();
        m_pending += bytes;
    }
    if (first)
        QMetaObject::invokeMethod(
            m_channel, [channel = m_channel] { channel->writePending(); }, Qt::QueuedConnection);
}

void WorkerChild::end(const QByteArray& farewell, std::function<void()> first)
{
    TARN_ASSERT(QThread::currentThread() == m_receiverThread,
                "a worker child is driven from its receiver's thread only");
    if (m_channel->m_shared->dropped.exchange(true))
        return;
    QMetaObject::invokeMethod(
        m_channel,
        [channel = m_channel, farewell, first = std::move(first)] { channel->end(farewell, first); },
        Qt::QueuedConnection);
}
