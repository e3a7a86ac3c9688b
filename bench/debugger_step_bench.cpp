// Step Over through the debugging session, from the call to the moment the
// stack, the locals and two watches are read (what the panes show), against
// gdb's own answer to the same -exec-next in the same run: a program built
// with -g whose stepping frame has 24 locals.
//
//   debugger_step_bench [steps]     (default 200)
#include "debugger/DebugSession.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

const char* const kSource = R"(#include <stdio.h>
struct pair { int a; double b; };
int work(int round)
{
    int v0 = round, v1 = 1, v2 = 2, v3 = 3, v4 = 4, v5 = 5, v6 = 6, v7 = 7;
    double d0 = 0.5, d1 = 1.5, d2 = 2.5, d3 = 3.5;
    long l0 = 10, l1 = 11, l2 = 12, l3 = 13;
    char text[32] = "twenty-four locals";
    struct pair p = {1, 2.0}, q = {3, 4.0};
    int values[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    const char *name = "bench";
    unsigned total = 0;
    for (;;) { /* loop */
        total += v0 + v1 + v2 + v3 + v4 + v5 + v6 + v7;
        total += (unsigned)(d0 + d1 + d2 + d3 + l0 + l1 + l2 + l3);
        total += (unsigned)(text[0] + p.a + q.a + values[round & 7] + name[0]);
        ++v0;
    }
    return (int)total;
}
int main(void) { return work(1); }
)";

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

bool waitFor(const std::function<bool()>& done, int timeoutMs = 20000)
{
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return true;
}

// gdb alone: -exec-next written, the *stopped read; with `withPanes`, then
// the same questions the session asks at a stop, answered.
std::vector<double> rawSteps(const QString& program, int line, int steps, bool withPanes)
{
    QProcess gdb;
    gdb.start(QStringLiteral("gdb"), {QStringLiteral("--interpreter=mi3"), QStringLiteral("-nx"),
                                      QStringLiteral("-q"), program});
    gdb.waitForStarted();
    auto readUntil = [&gdb](const QByteArray& marker) {
        QByteArray seen;
        while (!seen.contains(marker)) {
            if (!gdb.waitForReadyRead(20000))
                return false;
            seen += gdb.readAllStandardOutput();
        }
        return true;
    };
    gdb.write("-inferior-tty-set /dev/null\n-break-insert bench.c:" + QByteArray::number(line) +
              "\n-exec-run\n");
    readUntil("*stopped");
    std::vector<double> times;
    QElapsedTimer clock;
    for (int i = 0; i < steps; ++i) {
        clock.start();
        gdb.write("-exec-next\n");
        readUntil("*stopped");
        if (withPanes) {
            gdb.write("1-stack-list-frames 0 1000\n2-stack-list-variables --all-values\n"
                      "3-stack-list-variables --simple-values\n4-data-evaluate-expression total\n"
                      "5-data-evaluate-expression \"values[v0 & 7] + p.a\"\n");
            readUntil("\n5^");
        }
        times.push_back(clock.nsecsElapsed() / 1e6);
    }
    gdb.write("kill\n-gdb-exit\n");
    gdb.waitForFinished(5000);
    return times;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int steps = argc > 1 ? std::max(1, atoi(argv[1])) : 200;
    QTemporaryDir dir;
    const QString source = dir.path() + QStringLiteral("/bench.c");
    const QString program = dir.path() + QStringLiteral("/bench.exe");
    QFile file(source);
    if (!file.open(QIODevice::WriteOnly))
        return 1;
    file.write(kSource);
    file.close();
    if (QProcess::execute(QStringLiteral("gcc"), {QStringLiteral("-g"), QStringLiteral("-O0"),
                                                  QStringLiteral("-o"), program, source}) != 0)
        return 1;
    const int line = int(QByteArray(kSource).left(QByteArray(kSource).indexOf("/* loop */")).count('\n')) + 2;

    DebugSession session;
    int refreshed = 0;
    QObject::connect(&session, &DebugSession::stopRefreshed, [&] { ++refreshed; });
    QString error;
    if (!session.start(DebugTarget{QStringLiteral("gdb"), program, {}, dir.path()},
                       {BreakpointRequest::at(QFile::encodeName(source), line)}, &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    if (!waitFor([&] { return refreshed > 0; }))
        return 1;
    session.addWatch("total");
    session.addWatch("values[v0 & 7] + p.a");
    std::vector<double> times;
    QElapsedTimer clock;
    for (int i = 0; i < steps; ++i) {
        const int before = refreshed;
        clock.start();
        session.stepOver();
        if (!waitFor([&] { return refreshed > before; }))
            return 1;
        times.push_back(clock.nsecsElapsed() / 1e6);
    }
    const qsizetype localCount = session.locals().size();
    session.stop();

    const double ours = median(times);
    const double gdbs = median(rawSteps(program, line, steps, false));
    const double gdbPanes = median(rawSteps(program, line, steps, true));
    std::printf("Step Over, %d steps, %lld locals, 2 watches\n", steps, static_cast<long long>(localCount));
    std::printf("  session (step to panes' data read): median %.2f ms\n", ours);
    std::printf("  gdb alone (-exec-next to *stopped):  median %.2f ms\n", gdbs);
    std::printf("  gdb alone, the same questions asked: median %.2f ms\n", gdbPanes);
    std::printf("  ratio to the same questions %.2f\n", gdbPanes > 0 ? ours / gdbPanes : 0.0);
    return 0;
}
