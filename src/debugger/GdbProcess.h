#pragma once

#include "debugger/MiParser.h"
#include "tools/WorkerChild.h"

#include <QByteArray>
#include <QObject>
#include <QString>

#include <atomic>
#include <functional>
#include <memory>
#include <vector>

// gdb as a long-lived worker child (WorkerChild): the worker writes the
// commands, reads gdb's output as it comes, cuts it into machine-interface
// records and hands them to the receiver's thread (the user-interface
// thread) a read's worth at a time, in the order gdb wrote them. gdb runs
// in a process group of its own, so end() takes whatever it started along.
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
    GdbProcess(const GdbProcess&) = delete;
    GdbProcess& operator=(const GdbProcess&) = delete;

    // Starts `gdb --interpreter=mi3 -nx -q` on the worker and returns at
    // once; started() or startFailed() tells how it went. Commands written
    // meanwhile reach gdb once it runs.
    void start(const QString& gdbPath);
    // Sends one command line (its line end included); nothing once gdb is
    // gone or end() was called. Lines written in one turn of the receiver's
    // event loop (a stop's questions) reach gdb in one write.
    void write(const QByteArray& line) { m_child->write(line); }
    // Returns at once; nothing is handed on after it but ended(). The
    // worker runs `first` (if any), asks gdb to exit (-gdb-exit, its input
    // closed), gives it the stop grace, then ends its process group.
    void end(std::function<void()> first = {});

    bool isRunning() const { return m_child->isRunning(); }
    // 0 until gdb runs.
    qint64 processId() const { return m_child->processId(); }
    // Bytes of gdb's output the worker holds, waiting for their line end.
    qsizetype heldBytes() const { return m_held->load(); }
    // Bytes of gdb's standard output read so far.
    qint64 bytesRead() const { return m_child->bytesRead(); }

private:
    // Shared with the worker's reader, which may outlive a moved-from owner.
    std::shared_ptr<std::atomic<qsizetype>> m_held;
    // Declared last: its destructor ends gdb and joins the worker, which
    // still reads m_held.
    std::unique_ptr<WorkerChild> m_child;
};
