#pragma once

// Small C programs built with the host's gcc for the debugger's tests, and
// a wait that runs the event loop until a session reaches a state.
#include "debugger/DebugSession.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <QThread>
#include <gtest/gtest.h>

#include <functional>

namespace debugtest {

// The host's tools by their full paths: the window tests run with a PATH
// that holds none.
inline QString toolPath(const char* name)
{
    const QString fixed = QStringLiteral("/usr/bin/") + QLatin1String(name);
    return QFile::exists(fixed) ? fixed : QStandardPaths::findExecutable(QLatin1String(name));
}

inline QString gdbPath()
{
    return toolPath("gdb");
}

// Runs the event loop until the predicate holds or the time runs out.
inline bool waitFor(const std::function<bool()>& predicate, int timeoutMs = 20000)
{
    QElapsedTimer clock;
    clock.start();
    while (!predicate()) {
        if (clock.elapsed() > timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(1);
    }
    return true;
}

// A process of the group that has not ended (zombies have: this
// container's first process does not reap orphans).
inline bool groupHasLiveMember(qint64 group)
{
    const QStringList entries = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs);
    for (const QString& entry : entries) {
        bool isPid = false;
        const qint64 pid = entry.toLongLong(&isPid);
        if (!isPid)
            continue;
        QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        const QByteArray text = stat.readAll();
        const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
        if (fields.size() > 2 && fields.at(2).toLongLong() == group && fields.at(0) != "Z")
            return true;
    }
    return false;
}

// The one-based line of the first line holding the marker.
inline int lineOf(const QByteArray& source, const char* marker)
{
    const qsizetype at = source.indexOf(marker);
    EXPECT_GE(at, 0) << marker;
    return int(source.left(at).count('\n')) + 1;
}

// A folder with one C source, built with -g -O0 (or as asked).
class Program {
public:
    Program(const QByteArray& source, const QString& name = QStringLiteral("prog.c"),
            const QStringList& flags = {QStringLiteral("-g"), QStringLiteral("-O0")})
    {
        m_source = m_dir.path() + QLatin1Char('/') + name;
        m_executable = m_dir.path() + QStringLiteral("/prog.exe");
        QFile file(m_source);
        if (!file.open(QIODevice::WriteOnly) || file.write(source) != source.size())
            return;
        file.close();
        QProcess gcc;
        // gcc finds its assembler and linker on PATH.
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("PATH"), QStringLiteral("/usr/local/bin:/usr/bin:/bin"));
        gcc.setProcessEnvironment(environment);
        gcc.start(toolPath("gcc"), flags + QStringList{QStringLiteral("-o"), m_executable, m_source});
        m_built = gcc.waitForFinished(60000) && gcc.exitCode() == 0;
        m_errors = gcc.readAllStandardError();
    }
    bool built() const { return m_built; }
    QByteArray errors() const { return m_errors; }
    QString source() const { return m_source; }
    QByteArray sourceBytes() const { return QFile::encodeName(m_source); }
    QString executable() const { return m_executable; }
    QString folder() const { return m_dir.path(); }
    DebugTarget target() const { return DebugTarget{gdbPath(), m_executable, {}, m_dir.path()}; }
    BreakpointRequest breakAt(int line) const { return BreakpointRequest::at(sourceBytes(), line); }

private:
    QTemporaryDir m_dir;
    QString m_source;
    QString m_executable;
    bool m_built = false;
    QByteArray m_errors;
};

// Stopped with the stack, Locals and watches read.
inline bool waitForRefreshedStop(DebugSession& session, int& refreshes, int before)
{
    return waitFor([&] {
        return (session.state() == DebugSession::State::Stopped && refreshes > before) ||
               session.state() == DebugSession::State::Ended;
    }) && session.state() == DebugSession::State::Stopped;
}

// The local of the stop's frame with that name, or nullptr.
inline const DebugVariable* localNamed(const DebugSession& session, const char* name)
{
    for (const DebugVariable& v : session.locals()) {
        if (v.name == name)
            return &v;
    }
    return nullptr;
}

} // namespace debugtest
