// Find in Files over a generated tree: 120 copies of a C project of 32
// files (about 61 MB, 3,840 files), searching for one common word. Tarn's
// search runs as the command runs it (a job on a worker, rows in batches
// into the message window, offscreen) and is timed from its start to the
// last row shown; grep -rnI and ripgrep (rg, as many threads as it likes)
// with the same patterns are timed with their output read through a pipe.
// All run after a warm-up read of the tree, best of five, alternating.
// Also: the engine alone into a counting sink, the longest event-loop gap
// while the rows arrive (a 1 ms timer) and the interface thread's own
// processor time in it, the peak resident memory against the rows held,
// and the processor time of each (grep's as a waited-for child). The load
// average is printed with the figures: the machine may be shared.
//
//   bench_find_in_files [word] [copies] [any-case|regex]   (default: return 120)
#include "messages/CMessageView.h"
#include "BenchContext.h"
#include "search/FindInFiles.h"
#include "tools/JobManager.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <ctime>

#include <sys/resource.h>

namespace {

// One source of the sample project: functions with loops, conditions,
// comments and returns, about 19 KB.
QByteArray sourceFile(int module, int functions)
{
    QByteArray text = "/* module_" + QByteArray::number(module) +
                      ".c: one part of the sample project, generated for the benchmark. */\n"
                      "#include <stdio.h>\n#include <string.h>\n#include \"module_" +
                      QByteArray::number(module % 8) + ".h\"\n\n";
    for (int f = 0; f < functions; ++f) {
        const QByteArray name =
            "module" + QByteArray::number(module) + "_step" + QByteArray::number(f);
        text += "/* " + name +
                ": adds the weights of the marked entries and subtracts the others. */\n"
                "static int " +
                name +
                "(const struct entry* entries, int length, int limit)\n{\n"
                "    int total = 0;\n"
                "    for (int i = 0; i < length && i < limit; ++i) {\n"
                "        if (entries[i].marked)\n"
                "            total += entries[i].weight * " +
                QByteArray::number(f % 13 + 1) +
                ";\n"
                "        else if (entries[i].weight > " +
                QByteArray::number(f % 97) +
                ")\n"
                "            total -= entries[i].weight / 2;\n"
                "        else\n"
                "            printf(\"entry %d of %s skipped\\n\", i, \"" +
                name +
                "\");\n"
                "    }\n"
                "    return total;\n}\n\n";
    }
    return text;
}

QByteArray headerFile(int header)
{
    QByteArray text =
        "#pragma once\n/* Declarations shared by the modules, part " + QByteArray::number(header) +
        ". */\nstruct entry {\n    int weight;\n    int marked;\n    const char* label;\n};\n";
    for (int i = 0; i < 40; ++i)
        text += "int module_api_" + QByteArray::number(header) + "_" + QByteArray::number(i) +
                "(const struct entry* entries, int length);\n";
    return text;
}

// Processor time (user and system) in milliseconds of this process, or of
// its waited-for children.
double processorMs(int who)
{
    rusage usage{};
    getrusage(who, &usage);
    auto ms = [](const timeval& t) { return t.tv_sec * 1e3 + t.tv_usec / 1e3; };
    return ms(usage.ru_utime) + ms(usage.ru_stime);
}

// Processor time of the calling thread in nanoseconds.
qint64 threadNanoseconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return qint64(now.tv_sec) * 1000000000 + now.tv_nsec;
}

QByteArray loadAverage()
{
    QFile file(QStringLiteral("/proc/loadavg"));
    if (!file.open(QIODevice::ReadOnly))
        return "?";
    const QList<QByteArray> parts = file.readAll().split(' ');
    return parts.size() >= 3 ? parts[0] + ' ' + parts[1] + ' ' + parts[2] : "?";
}

// Runs a search tool in the tree with LC_ALL=C, reading its output through
// a pipe: the time to its end (ms), the lines it wrote in *lines.
double runTool(const QString& program, const QStringList& arguments, const QString& folder,
               qint64* lines)
{
    QProcess tool;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("C"));
    tool.setProcessEnvironment(environment);
    tool.setWorkingDirectory(folder);
    QElapsedTimer timer;
    timer.start();
    tool.start(program, arguments);
    if (!tool.waitForStarted()) {
        *lines = -1;
        return 0;
    }
    qint64 count = 0;
    while (tool.state() != QProcess::NotRunning) {
        tool.waitForReadyRead(20);
        count += tool.readAllStandardOutput().count('\n');
    }
    count += tool.readAllStandardOutput().count('\n');
    *lines = count;
    return timer.nsecsElapsed() / 1e6;
}

qint64 peakResidentKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').front().toLongLong();
    }
    return -1;
}

} // namespace

int main(int argc, char** argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QString word = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("return");
    const int copies = argc > 2 ? std::max(1, atoi(argv[2])) : 120;
    constexpr int kRounds = 5;

    QTemporaryDir dir;
    const QString root = QDir(dir.path()).canonicalPath();
    qint64 treeBytes = 0;
    int files = 0;
    for (int copy = 0; copy < copies; ++copy) {
        const QString project =
            root + QStringLiteral("/copy%1/").arg(copy, 3, 10, QLatin1Char('0'));
        for (int sub : {0, 1, 2}) {
            QDir().mkpath(project + QStringLiteral("src/part%1").arg(sub));
        }
        QDir().mkpath(project + QStringLiteral("include"));
        for (int module = 0; module < 24; ++module) {
            QFile file(project +
                       QStringLiteral("src/part%1/module_%2.c").arg(module % 3).arg(module));
            const QByteArray bytes = sourceFile(module, 38 + module % 5);
            if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
                return 1;
            treeBytes += bytes.size();
            ++files;
        }
        for (int header = 0; header < 8; ++header) {
            QFile file(project + QStringLiteral("include/module_%1.h").arg(header));
            const QByteArray bytes = headerFile(header);
            if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
                return 1;
            treeBytes += bytes.size();
            ++files;
        }
    }

    FindInFilesRequest request;
    request.options.text = word;
    // A third argument "any-case" searches without Match case (grep -i),
    // "regex" for the word as a regular expression (grep -P).
    const QByteArrayView mode = argc > 3 ? QByteArrayView(argv[3]) : QByteArrayView();
    request.options.matchCase = mode != "any-case";
    request.options.regularExpression = mode == "regex";
    request.folder = root;
    request.patterns = kDefaultFindPatterns;

    const QStringList patterns = request.patterns.split(QLatin1Char(' '));
    QStringList grepArguments{QStringLiteral("-rnI"), request.options.regularExpression
                                                          ? QStringLiteral("-P")
                                                          : QStringLiteral("-F")};
    // ripgrep: line numbers, no ignore files, its own regular expressions.
    QStringList rgArguments{QStringLiteral("-n"), QStringLiteral("--no-heading"),
                            QStringLiteral("--no-ignore")};
    if (!request.options.regularExpression)
        rgArguments << QStringLiteral("-F");
    if (!request.options.matchCase) {
        grepArguments << QStringLiteral("-i");
        rgArguments << QStringLiteral("-i");
    }
    for (const QString& pattern : patterns) {
        grepArguments << QStringLiteral("--include=") + pattern;
        rgArguments << QStringLiteral("-g") << pattern;
    }
    grepArguments << QStringLiteral("-e") << word;
    rgArguments << QStringLiteral("-e") << word << QStringLiteral(".");
    auto runGrep = [&](qint64* lines) {
        return runTool(QStringLiteral("grep"), grepArguments, root, lines);
    };
    auto runRipgrep = [&](qint64* lines) {
        return runTool(QStringLiteral("rg"), rgArguments, root, lines);
    };

    JobManager jobs(benchContext().messages());
    struct CountingSink : MessageSink {
        void AppendLine(const QString&, int withSeparator) override
        {
            rows += 1 + (withSeparator == 1);
        }
        // Counted as they come, without a string per row.
        void AppendStreamRows(const QByteArray& bytes, bool, int) override
        {
            rows += bytes.count('\n');
        }
        void ClearMessageRows() override {}
        QObject* sinkObject() override { return &object; }
        qint64 rows = 0;
        QObject object;
    } counter;

    CMessageView view;
    view.resize(630, 300);
    view.show();
    QApplication::processEvents();

    qint64 grepLines = 0, rgLines = 0;
    runGrep(&grepLines); // warm-up: the tree in the page cache
    runRipgrep(&rgLines);
    const bool haveRipgrep = rgLines >= 0;
    double grepBest = 1e99, rgBest = 1e99, engineBest = 1e99, shownBest = 1e99;
    double grepCpu = 1e99, rgCpu = 1e99, shownCpu = 1e99;
    double worstGap = 0, worstWork = 0;
    qint64 matches = -1;
    const QByteArray loadBefore = loadAverage();
    // The same timer with no search running, as long as a round: what the
    // machine's other work alone makes of the gap.
    double idleGap = 0;
    {
        QElapsedTimer idle;
        QTimer ticker;
        ticker.setTimerType(Qt::PreciseTimer);
        ticker.setInterval(1);
        qint64 lastTick = 0;
        QObject::connect(&ticker, &QTimer::timeout, [&] {
            const qint64 now = idle.nsecsElapsed();
            idleGap = std::max(idleGap, (now - lastTick) / 1e6);
            lastTick = now;
        });
        idle.start();
        ticker.start();
        while (idle.elapsed() < 5 * 300)
            QApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    }
    for (int round = 0; round < kRounds; ++round) {
        double childrenBefore = processorMs(RUSAGE_CHILDREN);
        grepBest = std::min(grepBest, runGrep(&grepLines));
        grepCpu = std::min(grepCpu, processorMs(RUSAGE_CHILDREN) - childrenBefore);
        if (haveRipgrep) {
            childrenBefore = processorMs(RUSAGE_CHILDREN);
            rgBest = std::min(rgBest, runRipgrep(&rgLines));
            rgCpu = std::min(rgCpu, processorMs(RUSAGE_CHILDREN) - childrenBefore);
        }

        benchContext().messages().setSink(&counter);
        counter.rows = 0;
        QElapsedTimer engine;
        engine.start();
        StartFindInFiles(jobs, request);
        jobs.waitForAll();
        benchContext().messages().flush();
        engineBest = std::min(engineBest, engine.nsecsElapsed() / 1e6);
        benchContext().messages().setSink(nullptr);

        view.installAsMessageSink(benchContext().messages());
        view.ClearMessages();
        // A 1 ms timer: the longest time between its ticks, and the most
        // processor time the interface thread spent between two (its own
        // work, where the rest of a gap is waiting for a core).
        QElapsedTimer timer;
        qint64 lastTick = 0, lastWork = threadNanoseconds();
        double gap = 0, work = 0;
        QTimer ticker;
        ticker.setTimerType(Qt::PreciseTimer);
        ticker.setInterval(1);
        QObject::connect(&ticker, &QTimer::timeout, [&] {
            const qint64 now = timer.nsecsElapsed();
            const qint64 spent = threadNanoseconds();
            gap = std::max(gap, (now - lastTick) / 1e6);
            work = std::max(work, (spent - lastWork) / 1e6);
            lastTick = now;
            lastWork = spent;
        });
        const double selfBefore = processorMs(RUSAGE_SELF);
        timer.start();
        lastWork = threadNanoseconds();
        ticker.start();
        StartFindInFiles(jobs, request);
        // Done when the summary row (before its separator) is shown.
        auto summaryShown = [&] {
            const int rows = view.rowCount();
            return rows >= 2 && view.rowText(rows - 2).contains(QStringLiteral(" matches in "));
        };
        while (jobs.runningCount() > 0 || !summaryShown())
            QApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
        ticker.stop();
        shownBest = std::min(shownBest, timer.nsecsElapsed() / 1e6);
        shownCpu = std::min(shownCpu, processorMs(RUSAGE_SELF) - selfBefore);
        worstGap = std::max(worstGap, gap);
        worstWork = std::max(worstWork, work);
        matches = view.rowCount() - 3; // heading, summary, separator
        benchContext().messages().setSink(nullptr);
    }
    if (matches != grepLines || (haveRipgrep && rgLines != grepLines)) {
        std::fprintf(stderr, "rows differ: Tarn %lld, grep %lld, rg %lld\n",
                     static_cast<long long>(matches), static_cast<long long>(grepLines),
                     static_cast<long long>(rgLines));
        return 1;
    }
    std::printf("tree: %d files, %.1f MB; word \"%s\", %s; %lld matching lines\n", files,
                treeBytes / 1e6, word.toUtf8().constData(),
                request.options.regularExpression ? "regular expression"
                : request.options.matchCase       ? "match case"
                                                  : "any case",
                static_cast<long long>(matches));
    std::printf("load average before / after:            %s / %s\n", loadBefore.constData(),
                loadAverage().constData());
    std::printf("grep -rnI -F or -P (LC_ALL=C), output:  %.0f ms\n", grepBest);
    if (haveRipgrep)
        std::printf("rg -n (default threads), output:        %.0f ms\n", rgBest);
    else
        std::printf("rg: not found (apt-get install ripgrep)\n");
    auto ratios = [&](double ms) {
        if (haveRipgrep)
            std::printf("%.0f ms  (%.2fx grep, %.2fx rg)\n", ms, ms / grepBest, ms / rgBest);
        else
            std::printf("%.0f ms  (%.2fx grep)\n", ms, ms / grepBest);
    };
    std::printf("Find in Files, engine alone (counting): ");
    ratios(engineBest);
    std::printf("Find in Files, start to last row shown: ");
    ratios(shownBest);
    std::printf("processor time, grep / rg / Tarn shown: %.0f ms / %.0f ms / %.0f ms\n", grepCpu,
                haveRipgrep ? rgCpu : 0.0, shownCpu);
    std::printf("longest event-loop gap (1 ms timer):    %.1f ms (interface thread's own work "
                "in it: %.1f ms)\n",
                worstGap, worstWork);
    std::printf("longest gap with no search (1.5 s):     %.1f ms\n", idleGap);
    std::printf("peak resident memory:                   %lld MB (rows held: %d)\n",
                static_cast<long long>(peakResidentKb() / 1024), view.rowCount());
    return 0;
}
