// Start Debugging to the first breakpoint: the debugging session started on
// a generated interpreter-shaped program of about 4,000 lines built with -g
// (debugger_bench_program.h), from start() to the stop with the stack and
// the locals read (what the panes show), against gdb's own time for the
// same start in the same run: gdb started alone, given the same commands
// (the program on a pseudo-terminal, the breakpoint, -exec-run) and timed
// to its *stopped, and again to the answers of the same questions the
// session asks at a stop. Runs alternate between the two; medians.
//
//   debugger_start_bench [runs]     (default 10)
#include "debugger/DebugSession.h"
#include "debugger/ProgramTerminal.h"
#include "debugger_bench_program.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

using debugbench::median;
using debugbench::waitFor;

// gdb alone, from its start to *stopped at the breakpoint (and, with
// `withPanes`, to the answers of the stop's questions). Milliseconds, or
// a negative number when something failed.
double rawStart(const debugbench::VmProgram& vm, bool withPanes)
{
    QElapsedTimer clock;
    clock.start();
    ProgramTerminal terminal;
    QString error;
    if (!terminal.open(&error))
        return -1;
    QProcess gdb;
    gdb.start(QStringLiteral("gdb"),
              {QStringLiteral("--interpreter=mi3"), QStringLiteral("-nx"), QStringLiteral("-q")});
    if (!gdb.waitForStarted())
        return -1;
    QByteArray seen;
    auto readUntil = [&](const QByteArray& marker) {
        while (!seen.contains(marker)) {
            if (!gdb.waitForReadyRead(30000))
                return false;
            seen += gdb.readAllStandardOutput();
        }
        return true;
    };
    gdb.write("-gdb-set mi-async on\n-inferior-tty-set " + terminal.slavePath() +
              "\n-environment-cd " + QFile::encodeName(vm.dir.path()) +
              "\n-file-exec-and-symbols " + QFile::encodeName(vm.executable) + "\n-break-insert " +
              QFile::encodeName(vm.sourcePath) + ":" + QByteArray::number(vm.dispatchLine()) +
              "\n-exec-run\n");
    if (!readUntil("*stopped"))
        return -1;
    if (withPanes) {
        gdb.write("1-stack-list-frames 0 1000\n2-stack-list-variables --all-values\n"
                  "3-stack-list-variables --simple-values\n");
        if (!readUntil("\n3^"))
            return -1;
    }
    const double ms = clock.nsecsElapsed() / 1e6;
    gdb.write("kill\n-gdb-exit\n");
    gdb.waitForFinished(5000);
    return ms;
}

double sessionStart(const debugbench::VmProgram& vm)
{
    DebugSession session;
    int refreshed = 0;
    QObject::connect(&session, &DebugSession::stopRefreshed, [&] { ++refreshed; });
    QElapsedTimer clock;
    clock.start();
    QString error;
    if (!session.start(DebugTarget{QStringLiteral("gdb"), vm.executable, {}, vm.dir.path()},
                       {BreakpointRequest::at(QFile::encodeName(vm.sourcePath), vm.dispatchLine())},
                       &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return -1;
    }
    if (!waitFor([&] { return refreshed > 0; }))
        return -1;
    const double ms = clock.nsecsElapsed() / 1e6;
    session.stop();
    return ms;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 10;
    debugbench::VmProgram vm;
    if (!vm.build())
        return 1;
    std::vector<double> ours;
    std::vector<double> gdbs;
    std::vector<double> gdbPanes;
    // One of each first, not counted: the files are in the page cache after.
    sessionStart(vm);
    rawStart(vm, false);
    for (int i = 0; i < runs; ++i) {
        const double a = sessionStart(vm);
        const double b = rawStart(vm, false);
        const double c = rawStart(vm, true);
        if (a < 0 || b < 0 || c < 0)
            return 1;
        ours.push_back(a);
        gdbs.push_back(b);
        gdbPanes.push_back(c);
    }
    const double o = median(ours);
    const double g = median(gdbs);
    const double p = median(gdbPanes);
    std::printf("Start Debugging to the first breakpoint, %d runs, %d-line program\n", runs,
                int(vm.source.count('\n')));
    std::printf("  session (start to the stop's stack and locals read): median %.1f ms\n", o);
    std::printf("  gdb alone (start to *stopped):                        median %.1f ms\n", g);
    std::printf("  gdb alone, and the same questions answered:           median %.1f ms\n", p);
    std::printf("  ratio to gdb alone %.2f, to the same questions %.2f\n", g > 0 ? o / g : 0.0,
                p > 0 ? o / p : 0.0);
    return 0;
}
