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
#include <QFileInfo>
#include <QTemporaryDir>
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
// What a start is timed on: the program, its folder, the breakpoint.
struct StartTarget {
    QString executable;
    QString folder;
    QString source;
    int line = 0;
};

StartTarget targetOf(const debugbench::VmProgram& vm)
{
    return {vm.executable, vm.dir.path(), vm.sourcePath, vm.dispatchLine()};
}

double rawStart(const StartTarget& vm, bool withPanes)
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
              "\n-environment-cd " + QFile::encodeName(vm.folder) +
              "\n-file-exec-and-symbols " + QFile::encodeName(vm.executable) + "\n-break-insert " +
              QFile::encodeName(vm.source) + ":" + QByteArray::number(vm.line) +
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

double sessionStart(const StartTarget& vm)
{
    DebugSession session;
    int refreshed = 0;
    QObject::connect(&session, &DebugSession::stopRefreshed, [&] { ++refreshed; });
    QElapsedTimer clock;
    clock.start();
    QString error;
    if (!session.start(DebugTarget{QStringLiteral("gdb"), vm.executable, {}, vm.folder},
                       {BreakpointRequest::at(QFile::encodeName(vm.source), vm.line)}, &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return -1;
    }
    if (!waitFor([&] { return refreshed > 0; }))
        return -1;
    const double ms = clock.nsecsElapsed() / 1e6;
    session.stop();
    waitFor([&] { return session.endingGdbs() == 0; });
    return ms;
}

// The largest interval between two ticks of a 1 ms timer: how long the
// event loop (the window's painting, Stop Debugging) was held up at most.
class GapWatch {
public:
    GapWatch()
    {
        m_timer.setTimerType(Qt::PreciseTimer);
        m_timer.setInterval(1);
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            const qint64 now = m_clock.nsecsElapsed();
            m_largest = std::max(m_largest, now - m_last);
            m_last = now;
        });
        m_clock.start();
        m_timer.start();
    }
    // The largest gap since the last call, in milliseconds.
    double take()
    {
        const double ms = m_largest / 1e6;
        m_largest = 0;
        m_last = m_clock.nsecsElapsed();
        return ms;
    }

private:
    QTimer m_timer;
    QElapsedTimer m_clock;
    qint64 m_last = 0;
    qint64 m_largest = 0;
};

// About 100 MB of initialised data, a loop to step, a recursion 2,000
// calls deep.
const QByteArray kBig = R"(#include <stdio.h>
char big[100 * 1024 * 1024] = {1};
int bottom(int n)
{
    return n + big[n]; /* bottom */
}
int deep(int n)
{
    if (n == 0)
        return bottom(n);
    return deep(n - 1) + 1;
}
int main(void)
{
    int total = 0;
    for (int i = 0; i < 50; ++i)
        total += i; /* loop */
    total += deep(2000);
    printf("%d\n", total);
    return 0;
}
)";

struct BigProgram {
    QTemporaryDir dir;
    QString source = dir.path() + QStringLiteral("/big.c");
    QString executable = dir.path() + QStringLiteral("/big.exe");

    bool build()
    {
        QFile file(source);
        if (!file.open(QIODevice::WriteOnly) || file.write(kBig) != kBig.size())
            return false;
        file.close();
        return QProcess::execute(QStringLiteral("gcc"), {QStringLiteral("-g"), QStringLiteral("-O0"),
                                                         QStringLiteral("-o"), executable, source}) == 0;
    }
    StartTarget target() const
    {
        return {executable, dir.path(), source, debugbench::lineOf(kBig, "/* loop */")};
    }
};

struct Gaps {
    double start = 0; // start() to the first stop's panes read
    double steps = 0; // 20 Step Overs, each to its panes read
    double deepStop = 0; // continue to a stop 2,000 frames deep, read
    double end = 0; // stop() until the worker has ended gdb
    double startMs = 0;
};

bool failed(const char* why)
{
    std::fprintf(stderr, "The large program's run failed: %s\n", why);
    return false;
}

bool gapRun(const BigProgram& big, Gaps* gaps)
{
    DebugSession session;
    int refreshed = 0;
    QObject::connect(&session, &DebugSession::stopRefreshed, [&] { ++refreshed; });
    const StartTarget target = big.target();
    GapWatch watch;
    QElapsedTimer clock;
    clock.start();
    QString error;
    if (!session.start(DebugTarget{QStringLiteral("gdb"), target.executable, {}, target.folder},
                       {BreakpointRequest::at(QFile::encodeName(target.source), target.line)},
                       &error))
        return failed("start refused");
    if (!waitFor([&] { return refreshed > 0; }))
        return failed("no first stop");
    gaps->startMs = clock.nsecsElapsed() / 1e6;
    gaps->start = watch.take();
    for (int i = 0; i < 20; ++i) {
        const int before = refreshed;
        session.stepOver();
        if (!waitFor([&] { return refreshed > before; }))
            return failed("a step did not stop");
    }
    gaps->steps = watch.take();
    // The loop's breakpoint would stop the run again: the recursion's end.
    session.deleteBreakpoint(session.breakpointAt(QFile::encodeName(target.source), target.line));
    session.insertBreakpoint(
        BreakpointRequest::at(QFile::encodeName(target.source), debugbench::lineOf(kBig, "/* bottom */")));
    const int before = refreshed;
    session.continueRunning();
    if (!waitFor([&] { return refreshed > before && session.lastStop().frame.function == "bottom"; }))
        return failed("no stop at the bottom");
    if (!session.moreFrames())
        return failed("not as deep as meant");
    gaps->deepStop = watch.take();
    session.stop();
    if (!waitFor([&] { return session.endingGdbs() == 0; }))
        return failed("gdb did not end");
    gaps->end = watch.take();
    return true;
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
    sessionStart(targetOf(vm));
    rawStart(targetOf(vm), false);
    for (int i = 0; i < runs; ++i) {
        const double a = sessionStart(targetOf(vm));
        const double b = rawStart(targetOf(vm), false);
        const double c = rawStart(targetOf(vm), true);
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

    BigProgram big;
    if (!big.build()) {
        std::fprintf(stderr, "The large program did not build\n");
        return 1;
    }
    std::vector<double> bigOurs;
    std::vector<double> bigGdb;
    std::vector<double> bigPanes;
    Gaps worst;
    rawStart(big.target(), false);
    for (int i = 0; i < runs; ++i) {
        Gaps gaps;
        if (!gapRun(big, &gaps))
            return 1;
        bigOurs.push_back(gaps.startMs);
        worst.start = std::max(worst.start, gaps.start);
        worst.steps = std::max(worst.steps, gaps.steps);
        worst.deepStop = std::max(worst.deepStop, gaps.deepStop);
        worst.end = std::max(worst.end, gaps.end);
        const double b = rawStart(big.target(), false);
        const double c = rawStart(big.target(), true);
        if (b < 0 || c < 0)
            return 1;
        bigGdb.push_back(b);
        bigPanes.push_back(c);
    }
    const double bo = median(bigOurs);
    const double bg = median(bigGdb);
    const double bp = median(bigPanes);
    std::printf("A %lld MB program stopping 2,000 frames deep, %d runs\n",
                static_cast<long long>(QFileInfo(big.executable).size() / 1000000), runs);
    std::printf("  session start to the first stop read: median %.1f ms; gdb alone %.1f ms, "
                "with the same questions %.1f ms (ratios %.2f, %.2f)\n",
                bo, bg, bp, bg > 0 ? bo / bg : 0.0, bp > 0 ? bo / bp : 0.0);
    std::printf("  longest event-loop gap (worst of the runs): start %.1f ms, 20 steps %.1f ms, "
                "deep stop %.1f ms, end %.1f ms\n",
                worst.start, worst.steps, worst.deepStop, worst.end);
    return 0;
}
