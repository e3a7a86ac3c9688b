#pragma once

#include "tools/Invocation.h"

#include <QByteArray>
#include <QMutex>
#include <QObject>
#include <QString>
#include <QThread>

#include <atomic>
#include <functional>

// A long-lived tool child driven through its standard input (gdb, a
// language server) whose input and output are handled on a worker thread
// of its own: the worker starts it on the one child road (StartChild, with
// a writable standard input), writes what it is given, and hands each read
// of its standard output to a reader that runs on the worker too, so that
// cutting and parsing the output never costs the receiver's thread
// (normally the user-interface thread) anything. The child runs in a
// process group of its own, so end() takes whatever it started along.
//
// Nothing here waits on the receiver's thread: start() and end() return at
// once, and their outcomes arrive as handler calls. Every method is called
// on the receiver's thread. The handlers run there too, from its event
// loop, never inside a call of this class.
class WorkerChild {
public:
    struct Handlers {
        // The child runs, with this process id.
        std::function<void(qint64 pid)> started;
        // The child could not be started, and why; nothing follows but ended.
        std::function<void(const QString& error)> startFailed;
        // What the child wrote to its standard error.
        std::function<void(const QByteArray& bytes)> errorOutput;
        // The child ended by itself (or was killed from outside); not after
        // end().
        std::function<void(int exitCode, bool crashed)> finished;
        // After end(): the child and its group are gone and the worker holds
        // nothing more. The one handler still called after end().
        std::function<void()> ended;
    };

    // Hands a call to the receiver's thread, where it runs in the order
    // handed; calls handed after end() was called there are dropped.
    using Post = std::function<void(std::function<void()> call)>;
    // Runs on the worker with each read of the child's standard output, in
    // order. It is destroyed on the worker when the child has ended, so
    // what it held goes with the session.
    using OutputReader = std::function<void(const QByteArray& bytes, const Post& post)>;

    // The handlers are called in the receiver's thread while it exists;
    // the worker thread carries `threadName`.
    WorkerChild(QObject* receiver, const QString& threadName, Handlers handlers,
                OutputReader reader);
    // Ends the child (as end() with nothing to say) and joins the worker: at
    // most about the stop grace (kStopGraceMs) when the child will not exit.
    ~WorkerChild();
    WorkerChild(const WorkerChild&) = delete;
    WorkerChild& operator=(const WorkerChild&) = delete;

    // Starts the child on the worker and returns at once; started() or
    // startFailed() tells how it went. What is written meanwhile reaches
    // the child once it runs.
    void start(const Invocation& invocation);
    // Sends bytes to the child's standard input; nothing once the child is
    // gone or end() was called. What is written in one turn of the
    // receiver's event loop reaches the child in one write.
    void write(const QByteArray& bytes);
    // Returns at once; nothing is handed on after it but ended(). The
    // worker runs `first` (if any), writes `farewell` (the child's own way
    // to be asked to exit), closes its input, gives it the stop grace, then
    // ends its process group.
    void end(const QByteArray& farewell = {}, std::function<void()> first = {});

    bool isRunning() const { return m_running.load(); }
    // 0 until the child runs.
    qint64 processId() const { return m_pid.load(); }
    // Bytes of the child's standard output read so far.
    qint64 bytesRead() const { return m_read.load(); }

private:
    class Channel;
    QThread* const m_receiverThread;
    QThread m_thread;
    Channel* m_channel = nullptr;
    std::atomic<bool> m_running{false};
    std::atomic<qint64> m_pid{0};
    std::atomic<qint64> m_read{0};
    // Bytes written and not yet handed to the worker; one hand-over is
    // posted while it is not empty.
    QMutex m_pendingLock;
    QByteArray m_pending;
};
