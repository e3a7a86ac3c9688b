#include "debugger/ProgramProcesses.h"

#include "tools/ProcessTree.h"

#include <QDir>
#include <QFile>
#include <QList>

#include <signal.h>
#include <unistd.h>

namespace {

// Process ids of the processes in a session, by /proc/<pid>/stat's sixth
// field (the fields after the command's closing parenthesis).
QList<qint64> sessionMembers(qint64 session)
{
    QList<qint64> members;
    const QStringList entries =
        QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString& entry : entries) {
        bool isPid = false;
        const qint64 pid = entry.toLongLong(&isPid);
        if (!isPid)
            continue;
        QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        const QByteArray text = stat.readAll();
        // state ppid pgrp session ...
        const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
        if (fields.size() > 3 && fields.at(3).toLongLong() == session)
            members.append(pid);
    }
    return members;
}

} // namespace

void KillProgramProcesses(qint64 programPid)
{
    if (programPid <= 0)
        return;
    const pid_t pid = pid_t(programPid);
    // The members are read while the leader still holds the session open.
    const bool leadsSession = ::getsid(pid) == pid && ::getsid(0) != pid;
    const QList<qint64> members = leadsSession ? sessionMembers(programPid) : QList<qint64>();
    // Its whole tree by parent links first: a child that left the session
    // (setsid) and forked is still below the program.
    EndProcessTree(programPid, true);
    ::kill(-pid, SIGKILL);
    ::kill(pid, SIGKILL);
    for (qint64 member : members)
        ::kill(pid_t(member), SIGKILL);
    // What lost its parent (the program, or a child of it that ended) was
    // taken in by Tarn.
    EndAdoptedProcesses();
}
