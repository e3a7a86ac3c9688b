// Step Over through the debugging session, from the call to the moment the
// stack, the locals and two watches are read (what the panes show), against
// gdb's own answer to the same -exec-next in the same run: a generated
// interpreter-shaped program of about 4,000 lines built with -g
// (debugger_bench_program.h), stepping its dispatch loop, whose frame has 24
// locals, with watches on two fields of its state.
//
//   debugger_step_bench [steps]     (default 200)
#include "debugger/DebugSession.h"
#include "debugger_bench_program.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

bool waitFor(const std::function<bool()>& done, int timeoutMs = 20000)
{
    QElapsedTimer clock;
    clock.start();
    QTimer wake; // the time limit is checked at least this often
    wake.start(100);
    while (!done()) {
        if (clock.elapsed() > timeoutMs)
            return false;
        // Sleeps until something happens, as the application's own loop
        // does: a spinning wait would take a core from gdb.
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
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
    gdb.write("-inferior-tty-set /dev/null\n-break-insert vm.c:" + QByteArray::number(line) +
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
                      "3-stack-list-variables --simple-values\n4-data-evaluate-expression L->pc\n"
                      "5-data-evaluate-expression \"L->stack[L->top].u.i\"\n");
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
    debugbench::VmProgram vm;
    if (!vm.build())
        return 1;
    const QString program = vm.executable;
    const QString source = vm.sourcePath;
    const int line = vm.dispatchLine();

    DebugSession session;
    int refreshed = 0;
    QObject::connect(&session, &DebugSession::stopRefreshed, [&] { ++refreshed; });
    QString error;
    if (!session.start(DebugTarget{QStringLiteral("gdb"), program, {}, vm.dir.path()},
                       {BreakpointRequest::at(QFile::encodeName(source), line)}, &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    if (!waitFor([&] { return refreshed > 0; }))
        return 1;
    session.addWatch("L->pc");
    session.addWatch("L->stack[L->top].u.i");
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
