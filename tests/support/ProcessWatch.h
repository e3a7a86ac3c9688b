#pragma once

// Whether a process a test left behind is still there (Linux /proc).
#include <QElapsedTimer>
#include <QFile>
#include <QThread>

namespace testsupport {

// A process that exists and has not ended (a zombie has ended: this
// container's first process does not reap orphans).
inline bool processAlive(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return false;
    const QByteArray text = stat.readAll();
    const qsizetype close = text.lastIndexOf(')');
    return close > 0 && text.mid(close + 2, 1) != "Z";
}

// A killed process takes a moment to be gone after the signal was sent.
inline bool goneSoon(qint64 pid)
{
    QElapsedTimer clock;
    clock.start();
    while (processAlive(pid) && clock.elapsed() < 10000)
        QThread::msleep(10);
    return !processAlive(pid);
}

} // namespace testsupport
