#include "debugger/GdbProcess.h"

#include "framework/Assert.h"
#include "tools/ChildStart.h"

#include <QProcess>

#include <memory>

// The worker's side: owns the QProcess and the parser; lives on the worker.
class GdbProcess::Channel : public QObject {
public:
    // What the receiver's thread calls: the handlers, and whether it has
    // stopped listening (end() was called there).
    struct Shared {
        Handlers handlers;
        std::atomic<bool> dropped{false};
    };

    Channel(QObject* receiver, Handlers handlers, GdbProcess& owner)
        : m_shared(std::make_shared<Shared>()), m_receiver(receiver), m_owner(owner)
    {
        m_shared->handlers = std::move(handlers);
    }

    const std::shared_ptr<Shared> m_shared;

    void start(const QString& gdbPath)
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
        m_pid = StartChild(*m_process,
                           Invocation{gdbPath,
                                      {QStringLiteral("--interpreter=mi3"), QStringLiteral("-nx"),
                                       QStringLiteral("-q")},
                                      {}},
                           options, &error);
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
        QByteArray lines;
        {
            QMutexLocker lock(&m_owner.m_pendingLock);
            lines.swap(m_owner.m_pending);
        }
        if (m_process && !m_ending && m_process->state() == QProcess::Running)
            m_process->write(lines);
    }

    void end(const std::function<void()>& first)
    {
        m_ending = true;
        if (first)
            first();
        if (m_process) {
            if (m_process->state() != QProcess::NotRunning) {
                m_process->write("-gdb-exit\n");
                m_process->closeWriteChannel();
            }
            EndChild(*m_process, m_pid, kStopGraceMs);
            delete m_process;
            m_process = nullptr;
        }
        m_owner.m_running = false;
        // What a stopped session held goes now, not with the next one.
        m_parser = MiStreamParser();
        m_owner.m_held = 0;
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
        std::vector<MiRecord> records;
        const QByteArray bytes = m_process->readAllStandardOutput();
        m_owner.m_read += bytes.size();
        m_parser.feed(bytes, records);
        m_owner.m_held = m_parser.pendingBytes();
        if (records.empty())
            return;
        auto batch = std::make_shared<std::vector<MiRecord>>(std::move(records));
        post([batch](Handlers& h) {
            if (h.records)
                h.records(*batch);
        });
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
    GdbProcess& m_owner;
    QProcess* m_process = nullptr;
    qint64 m_pid = 0;
    MiStreamParser m_parser;
    bool m_ending = false;
};

GdbProcess::GdbProcess(QObject* receiver, Handlers handlers) : m_receiverThread(receiver->thread())
{
    m_channel = new Channel(receiver, std::move(handlers), *this);
    m_channel->moveToThread(&m_thread);
    m_thread.setObjectName(QStringLiteral("gdb"));
    m_thread.start();
}

GdbProcess::~GdbProcess()
{
    end();
    // The worker's end (the grace, the group) is done before it quits.
    m_thread.quit();
    m_thread.wait();
    delete m_channel;
}

void GdbProcess::start(const QString& gdbPath)
{
    TARN_ASSERT(QThread::currentThread() == m_receiverThread, "gdb is driven from its receiver's thread only");
    QMetaObject::invokeMethod(
        m_channel, [channel = m_channel, gdbPath] { channel->start(gdbPath); },
        Qt::QueuedConnection);
}

void GdbProcess::write(const QByteArray& line)
{
    TARN_ASSERT(QThread::currentThread() == m_receiverThread, "gdb is driven from its receiver's thread only");
    if (m_channel->m_shared->dropped)
        return;
    bool first = false;
    {
        QMutexLocker lock(&m_pendingLock);
        first = m_pending.isEmpty();
        m_pending += line;
    }
    if (first)
        QMetaObject::invokeMethod(
            m_channel, [channel = m_channel] { channel->writePending(); }, Qt::QueuedConnection);
}

void GdbProcess::end(std::function<void()> first)
{
    TARN_ASSERT(QThread::currentThread() == m_receiverThread, "gdb is driven from its receiver's thread only");
    if (m_channel->m_shared->dropped.exchange(true))
        return;
    QMetaObject::invokeMethod(
        m_channel, [channel = m_channel, first = std::move(first)] { channel->end(first); },
        Qt::QueuedConnection);
}
