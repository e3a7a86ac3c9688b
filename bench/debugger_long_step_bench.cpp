// A long stepping session: Step Over through the debugging session many
// times over a loop, with a structure array opened in Locals at every stop
// (a variable object and its members, as a user keeps a row open), and
// gdb's resident memory (/proc/<gdb>/status) read at the start and at the
// end. The same run drives gdb alone the same way, once with the variable
// objects deleted as the session deletes them and once without (as Tarn did
// before), and times gdb's own -exec-next for the step time's yardstick.
//
//   debugger_long_step_bench [steps]     (default 10000)
#include "debugger/DebugSession.h"
#include "debugger_bench_program.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>
#include <vector>

namespace {

using debugbench::median;
using debugbench::waitFor;

const QByteArray kLoop = R"(#include <stdio.h>
struct item { int id; double weight; char name[16]; };
int main(void)
{
    struct item items[4] = {{1, 1.5, "one"}, {2, 2.5, "two"}, {3, 3.5, "three"}, {4, 4.5, "four"}};
    long total = 0;
    for (long i = 0;; ++i) {
        items[i & 3].id += (int)(i & 7); /* loop body */
        total += items[i & 3].id;
        if (total < 0)
            break;
    }
    printf("%ld\n", total);
    return 0;
}
)";

struct LoopProgram {
    QTemporaryDir dir;
    QString source = dir.path() + QStringLiteral("/loop.c");
    QString executable = dir.path() + QStringLiteral("/loop.exe");
    int line = debugbench::lineOf(kLoop, "/* loop body */");

    bool build()
    {
        QFile file(source);
        if (!file.open(QIODevice::WriteOnly) || file.write(kLoop) != kLoop.size())
            return false;
        file.close();
        return QProcess::execute(QStringLiteral("gcc"), {QStringLiteral("-g"), QStringLiteral("-O0"),
                                                         QStringLiteral("-o"), executable, source}) == 0;
    }
};

// Resident memory of a process in KiB, or -1.
qint64 residentKiB(qint64 pid)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toLongLong();
    }
    return -1;
}

struct Result {
    qint64 rssStart = -1; // after the first stop
    qint64 rssEnd = -1;
    std::vector<double> stepMs;
};

Result sessionRun(const LoopProgram& loop, int steps)
{
    Result result;
    DebugSession session;
    int refreshed = 0;
    QObject::connect(&session, &DebugSession::stopRefreshed, [&] { ++refreshed; });
    QString error;
    if (!session.start(DebugTarget{QStringLiteral("gdb"), loop.executable, {}, loop.dir.path()},
                       {BreakpointRequest::at(QFile::encodeName(loop.source), loop.line)}, &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return result;
    }
    if (!waitFor([&] { return refreshed > 0; }))
        return result;
    QElapsedTimer clock;
    for (int i = 0; i <= steps; ++i) {
        bool opened = false;
        session.listChildren("items", false,
                             [&](const QList<DebugVariableChild>&, bool) { opened = true; });
        if (!waitFor([&] { return opened; }))
            return result;
        if (i == 0)
            result.rssStart = residentKiB(session.gdbProcessId());
        if (i == steps)
            break;
        const int before = refreshed;
        clock.start();
        session.stepOver();
        if (!waitFor([&] { return refreshed > before; }))
            return result;
        result.stepMs.push_back(clock.nsecsElapsed() / 1e6);
    }
    result.rssEnd = residentKiB(session.gdbProcessId());
    session.stop();
    waitFor([&] { return session.endingGdbs() == 0; });
    return result;
}

// gdb alone: -exec-next timed to its *stopped, then the stop's questions
// and the opened array, its variable object deleted or kept.
Result rawRun(const LoopProgram& loop, int steps, bool deleteObjects)
{
    Result result;
    QProcess gdb;
    gdb.start(QStringLiteral("gdb"),
              {QStringLiteral("--interpreter=mi3"), QStringLiteral("-nx"), QStringLiteral("-q")});
    if (!gdb.waitForStarted())
        return result;
    QByteArray seen;
    auto readUntil = [&](const QByteArray& marker) {
        while (!seen.contains(marker)) {
            if (!gdb.waitForReadyRead(30000))
                return false;
            seen += gdb.readAllStandardOutput();
        }
        seen.clear();
        return true;
    };
    gdb.write("-gdb-set mi-async on\n-inferior-tty-set /dev/null\n-file-exec-and-symbols " +
              QFile::encodeName(loop.executable) + "\n-break-insert " +
              QFile::encodeName(loop.source) + ":" + QByteArray::number(loop.line) +
              "\n-exec-run\n");
    if (!readUntil("*stopped"))
        return result;
    QElapsedTimer clock;
    for (int i = 0; i <= steps; ++i) {
        const QByteArray n = QByteArray::number(i + 1);
        gdb.write("1-stack-list-frames 0 1000\n2-stack-list-variables --all-values\n"
                  "3-stack-list-variables --simple-values\n4-var-create v" + n +
                  " * items\n5-var-list-children --all-values v" + n + " 0 1000\n");
        if (!readUntil("\n5^"))
            return result;
        if (i == 0)
            result.rssStart = residentKiB(gdb.processId());
        if (i == steps)
            break;
        if (deleteObjects)
            gdb.write("6-var-delete v" + n + "\n");
        clock.start();
        gdb.write("-exec-next\n");
        if (!readUntil("*stopped"))
            return result;
        result.stepMs.push_back(clock.nsecsElapsed() / 1e6);
    }
    result.rssEnd = residentKiB(gdb.processId());
    gdb.write("kill\n-gdb-exit\n");
    gdb.waitForFinished(5000);
    return result;
}

void report(const char* what, const Result& r)
{
    std::printf("  %-44s gdb RSS %7lld KiB -> %7lld KiB (%+lld KiB), step median %.2f ms\n", what,
                static_cast<long long>(r.rssStart), static_cast<long long>(r.rssEnd),
                static_cast<long long>(r.rssEnd - r.rssStart), median(r.stepMs));
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int steps = argc > 1 ? std::max(1, atoi(argv[1])) : 10000;
    LoopProgram loop;
    if (!loop.build())
        return 1;
    const Result ours = sessionRun(loop, steps);
    const Result kept = rawRun(loop, steps, false);
    const Result deleted = rawRun(loop, steps, true);
    for (const Result* r : {&ours, &kept, &deleted}) {
        if (r->rssEnd < 0 || int(r->stepMs.size()) != steps)
            return 1;
    }
    std::printf("Step Over %d times over a loop, a structure array opened at every stop\n", steps);
    report("session (stack, locals, the array's members):", ours);
    report("gdb alone, variable objects kept:", kept);
    report("gdb alone, variable objects deleted:", deleted);
    const double o = median(ours.stepMs);
    const double g = median(deleted.stepMs);
    std::printf("  session step (to the panes' data) against gdb's own -exec-next: %.2f ms / %.2f ms"
                " = %.2f\n",
                o, g, g > 0 ? o / g : 0.0);
    return 0;
}
