#pragma once

#include "debugger/MiParser.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QThread>

#include <atomic>
#include <functional>
#include <vector>

// gdb as a long-lived child whose input and output are handled on a worker
// thread of their own: the worker writes the commands, reads gdb's output
// as it comes, cuts it into machine-interface records and hands them to the
// receiver's thread (the user-interface thread) a read's worth at a time,
// in the order gdb wrote them. gdb runs in a process group of its own, so
// end() takes whatever it started along.
//
// Every method is called on the receiver's thread. The handlers run there
// too, from its event loop, never inside a call of this class.
class GdbProcess {
public:
    struct Handlers {
        std::function<void(std::vector<MiRecord>& records)> records;
        // What gdb wrote to its standard error.
        std::function<void(const QByteArray& bytes)> errorOutput;
        // gdb ended by itself (or was killed from outside); not after end().
        std::function<void(int exitCode, bool crashed)> finished;
    };

    // The handlers are called in the receiver's thread while it exists.
    GdbProcess(QObject* receiver, Handlers handlers);
    // Ends gdb (as end()) and the worker.
    ~GdbProcess();
    GdbProcess(const GdbProcess&) = delete;
    GdbProcess& operator=(const GdbProcess&) = delete;

    // Starts `gdb --interpreter=mi3 -nx -q` and waits until it runs (at
    // most ten seconds); false with the reason in `error`.
    bool start(const QString& gdbPath, QString* error);
    // Sends one command line (its line end included); nothing once gdb is
    // gone or end() was called.
    void write(const QByteArray& line);
    // Asks gdb to exit, waits at most a second, then kills its group and
    // waits again; returns once gdb is gone. Nothing is handed on after.
    void end();

    bool isRunning() const { return m_running.load(); }
    qint64 processId() const { return m_pid; }

private:
    class Channel;
    QThread m_thread;
    Channel* m_channel = nullptr;
    std::atomic<bool> m_running{false};
    qint64 m_pid = 0;
};
