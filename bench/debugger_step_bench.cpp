// Step Over through the debugging session, from the call to the moment the
// stack, the locals and two watches are read (what the panes show), against
// gdb's own answer to the same -exec-next in the same run: a generated
// interpreter-shaped program of about 4,000 lines built with -g
// (debugger_bench_program.h), stepping its dispatch loop, whose frame has 24
// locals, with watches on two fields of its state.
//
//   debugger_step_bench [steps]     (default 200)
//   debugger_step_bench STEPS PROGRAM SOURCE LINE WATCH1 WATCH2 [ARGUMENTS...]
// The second form steps another program built with -g from a breakpoint at
// SOURCE:LINE (for instance the Lua interpreter in luaV_execute's loop).
#include "debugger/DebugSession.h"
#include "debugger_bench_program.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

using debugbench::median;
using debugbench::waitFor;

// gdb alone: -exec-next written, the *stopped read; with `withPanes`, then
// the same questions the session asks at a stop, answered.
struct Stepped {
    QString program;
    QStringList arguments;
    QByteArray location; // file:line
    QByteArray watches[2];
};

QByteArray quoted(const QString& word)
{
    QByteArray out = word.toUtf8();
    out.replace('\\', "\\\\").replace('"', "\\\"");
    return '"' + out + '"';
}

std::vector<double> rawSteps(const Stepped& run, int steps, bool withPanes)
{
    QProcess gdb;
    gdb.start(QStringLiteral("gdb"), {QStringLiteral("--interpreter=mi3"), QStringLiteral("-nx"),
                                      QStringLiteral("-q"), run.program});
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
    QByteArray arguments;
    for (const QString& argument : run.arguments)
        arguments += ' ' + quoted(argument);
    if (!arguments.isEmpty())
        gdb.write("-exec-arguments" + arguments + "\n");
    gdb.write("-inferior-tty-set /dev/null\n-break-insert " + run.location + "\n-exec-run\n");
    readUntil("*stopped");
    std::vector<double> times;
    QElapsedTimer clock;
    for (int i = 0; i < steps; ++i) {
        clock.start();
        gdb.write("-exec-next\n");
        readUntil("*stopped");
        if (withPanes) {
            gdb.write("1-stack-list-frames 0 1000\n2-stack-list-variables --all-values\n"
                      "3-stack-list-variables --simple-values\n4-data-evaluate-expression " +
                      quoted(QString::fromUtf8(run.watches[0])) + "\n5-data-evaluate-expression " +
                      quoted(QString::fromUtf8(run.watches[1])) + "\n");
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
    Stepped run;
    QString source;
    int line = 0;
    QString directory;
    if (argc >= 7) {
        run.program = QString::fromLocal8Bit(argv[2]);
        source = QString::fromLocal8Bit(argv[3]);
        line = atoi(argv[4]);
        run.watches[0] = argv[5];
        run.watches[1] = argv[6];
        for (int i = 7; i < argc; ++i)
            run.arguments << QString::fromLocal8Bit(argv[i]);
        directory = QFileInfo(run.program).absolutePath();
    } else {
        if (!vm.build())
            return 1;
        run.program = vm.executable;
        source = vm.sourcePath;
        line = vm.dispatchLine();
        run.watches[0] = "L->pc";
        run.watches[1] = "L->stack[L->top].u.i";
        directory = vm.dir.path();
    }
    run.location = QFile::encodeName(source) + ':' + QByteArray::number(line);

    DebugSession session;
    int refreshed = 0;
    QObject::connect(&session, &DebugSession::stopRefreshed, [&] { ++refreshed; });
    QString error;
    if (!session.start(DebugTarget{QStringLiteral("gdb"), run.program, run.arguments, directory},
                       {BreakpointRequest::at(QFile::encodeName(source), line)}, &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    if (!waitFor([&] { return refreshed > 0; }))
        return 1;
    session.addWatch(run.watches[0]);
    session.addWatch(run.watches[1]);
    // The session and gdb alone take turns in rounds, so that a slow stretch
    // of the machine (two cores shared with gdb and the program) falls on
    // both sides rather than on whichever ran during it.
    constexpr int kRounds = 5;
    const int perRound = std::max(1, steps / kRounds);
    std::vector<double> times;
    std::vector<double> gdbTimes;
    std::vector<double> gdbPaneTimes;
    std::vector<double> roundRatios;
    QElapsedTimer clock;
    for (int round = 0; round < kRounds; ++round) {
        std::vector<double> ourRound;
        for (int i = 0; i < perRound; ++i) {
            const int before = refreshed;
            clock.start();
            session.stepOver();
            if (!waitFor([&] { return refreshed > before; }))
                return 1;
            ourRound.push_back(clock.nsecsElapsed() / 1e6);
        }
        const std::vector<double> plain = rawSteps(run, perRound, false);
        const std::vector<double> panes = rawSteps(run, perRound, true);
        roundRatios.push_back(median(ourRound) / std::max(1e-9, median(panes)));
        times.insert(times.end(), ourRound.begin(), ourRound.end());
        gdbTimes.insert(gdbTimes.end(), plain.begin(), plain.end());
        gdbPaneTimes.insert(gdbPaneTimes.end(), panes.begin(), panes.end());
    }
    const qsizetype localCount = session.locals().size();
    session.stop();

    const double ours = median(times);
    const double gdbs = median(gdbTimes);
    const double gdbPanes = median(gdbPaneTimes);
    std::sort(roundRatios.begin(), roundRatios.end());
    std::printf("Step Over, %d steps in %d rounds, %lld locals, 2 watches\n", perRound * kRounds, kRounds,
                static_cast<long long>(localCount));
    std::printf("  session (step to panes' data read): median %.2f ms\n", ours);
    std::printf("  gdb alone (-exec-next to *stopped):  median %.2f ms\n", gdbs);
    std::printf("  gdb alone, the same questions asked: median %.2f ms\n", gdbPanes);
    std::printf("  ratio to the same questions %.2f (rounds %.2f to %.2f)\n", gdbPanes > 0 ? ours / gdbPanes : 0.0,
                roundRatios.front(), roundRatios.back());
    return 0;
}
