#include "debugger/GdbProcess.h"

#include <QProcess>

#include <memory>

#ifdef Q_OS_UNIX
#include <signal.h>
#include <unistd.h>
#endif

// The worker's side: owns the QProcess and the parser; lives on the worker.
class GdbProcess::Channel : public QObject {
public:
    // What the receiver's thread calls: the handlers, and whether it has
    // stopped listening (end() was called there).
    struct Shared {
        Handlers handlers;
        std::atomic<bool> dropped{false};
    };

    Channel(QObject* receiver, Handlers handlers, std::atomic<bool>& running)
        : m_shared(std::make_shared<Shared>()), m_receiver(receiver), m_running(running)
    {
        m_shared->handlers = std::move(handlers);
    }

    const std::shared_ptr<Shared> m_shared;

    bool start(const QString& gdbPath, QString* error, qint64* pid)
    {
        m_process = new QProcess(this);
#ifdef Q_OS_UNIX
        // Its own group: ending gdb ends whatever it started.
        m_process->setChildProcessModifier([] { ::setpgid(0, 0); });
#endif
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
                             m_running = false;
                             if (m_ending)
                                 return;
                             readOutput();
                             const bool crashed = status == QProcess::CrashExit;
                             post([code, crashed](Handlers& h) {
                                 if (h.finished)
                                     h.finished(code, crashed);
                             });
                         });
        m_process->start(gdbPath, {QStringLiteral("--interpreter=mi3"), QStringLiteral("-nx"),
                                   QStringLiteral("-q")});
        if (!m_process->waitForStarted(10000)) {
            *error = m_process->errorString();
            return false;
        }
        *pid = m_process->processId();
        m_running = true;
        return true;
    }

    void write(const QByteArray& line)
    {
        if (m_process && !m_ending && m_process->state() == QProcess::Running)
            m_process->write(line);
    }

    void end()
    {
        m_ending = true;
        if (!m_process)
            return;
        if (m_process->state() != QProcess::NotRunning) {
            m_process->write("-gdb-exit\n");
            m_process->closeWriteChannel();
            if (!m_process->waitForFinished(1000)) {
#ifdef Q_OS_UNIX
                ::kill(-pid_t(m_process->processId()), SIGKILL);
#endif
                m_process->waitForFinished(1000);
            }
        }
        m_running = false;
        delete m_process;
        m_process = nullptr;
    }

private:
    void readOutput()
    {
        std::vector<MiRecord> records;
        m_parser.feed(m_process->readAllStandardOutput(), records);
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
    std::atomic<bool>& m_running;
    QProcess* m_process = nullptr;
    MiStreamParser m_parser;
    bool m_ending = false;
};

GdbProcess::GdbProcess(QObject* receiver, Handlers handlers)
{
    m_channel = new Channel(receiver, std::move(handlers), m_running);
    m_channel->moveToThread(&m_thread);
    m_thread.setObjectName(QStringLiteral("gdb"));
    m_thread.start();
}

GdbProcess::~GdbProcess()
{
    end();
    m_thread.quit();
    m_thread.wait();
    delete m_channel;
}

bool GdbProcess::start(const QString& gdbPath, QString* error)
{
    bool started = false;
    QMetaObject::invokeMethod(
        m_channel, [&] { started = m_channel->start(gdbPath, error, &m_pid); },
        Qt::BlockingQueuedConnection);
    return started;
}

void GdbProcess::write(const QByteArray& line)
{
    if (m_channel->m_shared->dropped)
        return;
    QMetaObject::invokeMethod(
        m_channel, [channel = m_channel, line] { channel->write(line); }, Qt::QueuedConnection);
}

void GdbProcess::end()
{
    if (m_channel->m_shared->dropped.exchange(true))
        return;
    QMetaObject::invokeMethod(
        m_channel, [channel = m_channel] { channel->end(); }, Qt::BlockingQueuedConnection);
}
