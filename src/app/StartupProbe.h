#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QTimer>

#include <cstdio>

// For the start-up benchmark (bench/startup_bench.sh): once the main window
// has been shown and the first events handled, print the wall-clock time
// and the resident memory, then quit. Tarn and the bare window of
// bench/bare_window.cpp both call this at the same moment, right after
// show, so they measure the same thing.
inline void ReportStartupAndQuit()
{
    QTimer::singleShot(0, [] {
        QFile status(QStringLiteral("/proc/self/status"));
        QByteArray rss = "?";
        if (status.open(QIODevice::ReadOnly)) {
            for (const QByteArray& line : status.readAll().split('\n')) {
                if (line.startsWith("VmRSS:"))
                    rss = line.mid(6).trimmed();
            }
        }
        std::fprintf(stderr, "shown_at_ns=%lld rss=%s\n",
                     static_cast<long long>(QDateTime::currentMSecsSinceEpoch()) * 1000000LL,
                     rss.constData());
        QCoreApplication::quit();
    });
}
