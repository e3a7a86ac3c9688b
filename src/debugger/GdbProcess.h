#pragma once

#include "debugger/MiParser.h"

#include <QByteArray>
#include <QMutex>
#include <QObject>
#include <QString>
#include <QThread>

#include <atomic>
#include <functional>
#include <vector>

// gdb as a long-lived child whose input and output are handled on a worker
// thread of their own: the worker starts gdb on the one child road
// (StartChild, with a writable standard input), writes the commands, reads
// gdb's output as it comes, cuts it into machine-interface records and
// hands them to the receiver's thread (the user-interface thread) a read's
// worth at a time, in the order gdb wrote them. gdb runs in a process group
// of its own, so end() takes whatever it started along.
//
// Nothing here waits on the receiver's thread: start() and end() return at
// once, and their outcomes arrive as handler calls. Every method is called
// on the receiver's thread. The handlers run there too, from its event
// loop, never inside a call of this class.
class GdbProcess {
public:
    struct Handlers {
        // gdb runs, with this process id; records follow.
        std::function<void(qint64 pid)> started;
        // gdb could not be started, and why; nothing follows but ended.
        std::function<void(const QString& error)> startFailed;
        std::function<void(std::vector<MiRecord>& records)> records;
        // What gdb wrote to its standard error.
        std::function<void(const QByteArray& bytes)> errorOutput;
        // gdb ended by itself (or was killed from outside); not after end().
        std::function<void(int exitCode, bool crashed)> finished;
        // After end(): gdb and its group are gone and the worker holds
        // nothing more. The one handler still called after end().
        std::function<void()> ended;
    };

    // The handlers are called in the receiver's thread while it exists.
    GdbProcess(QObject* receiver, Handlers handlers);
    // Ends gdb (as end()) and joins the worker: at most about the stop
    // grace (kStopGraceMs) when gdb will not exit.
    ~GdbProcess();
    GdbProcess(const GdbProcess&) = delete;
    GdbProcess& operator=(const GdbProcess&) = delete;

    // Starts `gdb --interpreter=mi3 -nx -q` on the worker and returns at
    // once; started() or startFailed() tells how it went. Commands written
    // meanwhile reach gdb once it runs.
    void start(const QString& gdbPath);
    // Sends one command line (its line end included); nothing once gdb is
    // gone or end() was called. Lines written in one turn of the receiver's
    // event loop (a stop's questions) reach gdb in one write.
    void write(const QByteArray& line);
    // Returns at once; nothing is handed on after it but ended(). The
    // worker runs `first` (if any), asks gdb to exit (-gdb-exit, its input
    // closed), gives it the stop grace, then ends its process group.
    void end(std::function<void()> first = {});

    bool isRunning() const { return m_running.load(); }
    // 0 until gdb runs.
    qint64 processId() const { return m_pid.load(); }
    // Bytes of gdb's output the worker holds, waiting for their line end.
    qsizetype heldBytes() const { return m_held.load(); }
    // Bytes of gdb's standard output read so far.
    qint64 bytesRead() const { return m_read.load(); }

private:
    class Channel;
    QThread* const m_receiverThread;
    QThread m_thread;
    Channel* m_channel = nullptr;
    std::atomic<bool> m_running{false};
    std::atomic<qint64> m_pid{0};
    std::atomic<qsizetype> m_held{0};
    std::atomic<qint64> m_read{0};
    // Lines written and not yet handed to the worker; one hand-over is
    // posted while it is not empty.
    QMutex m_pendingLock;
    QByteArray m_pending;
};
