#pragma once

// Small C programs built with the host's gcc for the debugger's tests, and
// a wait that runs the event loop until a session reaches a state.
#include "debugger/DebugSession.h"
#include "support/TestSupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

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
    return testsupport::waitUntil(predicate, timeoutMs);
}

// An executable script standing in for gdb, in the folder.
inline QString standIn(const QTemporaryDir& dir, const QByteArray& text)
{
    const QString path = dir.filePath(QStringLiteral("fake-gdb"));
    EXPECT_TRUE(testsupport::writeScript(path, text));
    return path;
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

// A session on the host's gdb: its stops counted as they are read, the
// program's output and the reason it ended kept.
class SessionTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (gdbPath().isEmpty())
            GTEST_SKIP() << "no gdb on this host";
        QObject::connect(&session, &DebugSession::stopRefreshed, [this] { ++refreshes; });
        QObject::connect(&session, &DebugSession::programOutput,
                         [this](const QByteArray& bytes) { output += bytes; });
        QObject::connect(&session, &DebugSession::ended, [this](const QString& why) { endedWith = why; });
    }
    void TearDown() override { session.stop(); }

    void startOn(const Program& program, const QList<BreakpointRequest>& breakpoints)
    {
        ASSERT_TRUE(program.built()) << program.errors().constData();
        QString error;
        ASSERT_TRUE(session.start(program.target(), breakpoints, &error)) << error.toStdString();
    }
    // Waits for the next stop with the stack, Locals and watches read.
    bool nextStop()
    {
        const int before = seen;
        const bool stopped = waitFor([&] {
            return (session.state() == DebugSession::State::Stopped && refreshes > before) ||
                   session.state() == DebugSession::State::Ended;
        }) && session.state() == DebugSession::State::Stopped;
        if (stopped)
            seen = refreshes;
        return stopped;
    }
    bool waitEnded()
    {
        return waitFor([this] { return session.state() == DebugSession::State::Ended; });
    }
    // The local of the stop's frame with that name, or nullptr.
    const DebugVariable* local(const char* name) const
    {
        for (const DebugVariable& v : session.locals()) {
            if (v.name == name)
                return &v;
        }
        return nullptr;
    }
    // The members of an opened local, as gdb lists them; `more` says
    // whether it left some out.
    QList<DebugVariableChild> children(const QByteArray& expression, bool* more = nullptr)
    {
        QList<DebugVariableChild> members;
        bool answered = false;
        session.listChildren(expression, false, [&](const QList<DebugVariableChild>& list, bool hasMore) {
            members = list;
            if (more)
                *more = hasMore;
            answered = true;
        });
        EXPECT_TRUE(waitFor([&] { return answered; })) << expression.constData();
        return members;
    }

    DebugSession session;
    int refreshes = 0;
    int seen = 0;
    QByteArray output;
    QString endedWith;
};

} // namespace debugtest
