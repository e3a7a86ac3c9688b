// Find in Files over a generated tree: 100 copies of a C project of 32
// files (about 60 MB, 3,200 files), searching for one common word. Tarn's
// search runs as the command runs it (a job on a worker, rows in batches
// into the message window, offscreen) and is timed from its start to the
// last row shown; grep -rnI with the same patterns is timed with its output
// read through a pipe. Both run after a warm-up read of the tree, best of
// five, alternating. Also: the engine alone into a counting sink, the
// longest event-loop gap while the rows arrive, and the peak resident
// memory against the rows held, and the processor time of each (grep's
// as a waited-for child).
//
//   bench_find_in_files [word] [copies] [any-case|regex]   (default: return 100)
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
    const int copies = argc > 2 ? std::max(1, atoi(argv[2])) : 100;
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

    auto runGrep = [&](qint64* lines) {
        QStringList arguments{QStringLiteral("-rnI"), request.options.regularExpression
                                                          ? QStringLiteral("-P")
                                                          : QStringLiteral("-F")};
        if (!request.options.matchCase)
            arguments << QStringLiteral("-i");
        for (const QString& pattern : request.patterns.split(QLatin1Char(' ')))
            arguments << QStringLiteral("--include=") + pattern;
        arguments << QStringLiteral("-e") << word;
        QProcess grep;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("C"));
        grep.setProcessEnvironment(environment);
        grep.setWorkingDirectory(root);
        QElapsedTimer timer;
        timer.start();
        grep.start(QStringLiteral("grep"), arguments);
        qint64 count = 0;
        while (grep.state() != QProcess::NotRunning) {
            grep.waitForReadyRead(20);
            count += grep.readAllStandardOutput().count('\n');
        }
        count += grep.readAllStandardOutput().count('\n');
        *lines = count;
        return timer.nsecsElapsed() / 1e6;
    };

    JobManager jobs(benchContext().messages());
    struct CountingSink : MessageSink {
        void AppendLine(const QString&, int withSeparator) override
        {
            rows += 1 + (withSeparator == 1);
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

    qint64 grepLines = 0;
    runGrep(&grepLines); // warm-up: the tree in the page cache
    double grepBest = 1e99, engineBest = 1e99, shownBest = 1e99;
    double grepCpu = 1e99, shownCpu = 1e99;
    qint64 worstGap = 0;
    qint64 matches = -1;
    for (int round = 0; round < kRounds; ++round) {
        const double childrenBefore = processorMs(RUSAGE_CHILDREN);
        grepBest = std::min(grepBest, runGrep(&grepLines));
        grepCpu = std::min(grepCpu, processorMs(RUSAGE_CHILDREN) - childrenBefore);

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
        QElapsedTimer timer, sinceTick;
        qint64 gap = 0;
        QTimer ticker;
        ticker.setInterval(10);
        QObject::connect(&ticker, &QTimer::timeout, [&] {
            gap = std::max(gap, sinceTick.elapsed());
            sinceTick.restart();
        });
        const double selfBefore = processorMs(RUSAGE_SELF);
        timer.start();
        sinceTick.start();
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
        matches = view.rowCount() - 3; // heading, summary, separator
        benchContext().messages().setSink(nullptr);
    }
    if (matches != grepLines) {
        std::fprintf(stderr, "rows differ: Tarn %lld, grep %lld\n", static_cast<long long>(matches),
                     static_cast<long long>(grepLines));
        return 1;
    }
    std::printf("tree: %d files, %.1f MB; word \"%s\", %s; %lld matching lines\n", files,
                treeBytes / 1e6, word.toUtf8().constData(),
                request.options.regularExpression ? "regular expression"
                : request.options.matchCase       ? "match case"
                                                  : "any case",
                static_cast<long long>(matches));
    std::printf("grep -rnI -F or -P (LC_ALL=C), output: %.0f ms\n", grepBest);
    std::printf("Find in Files, engine alone (counting): %.0f ms  (%.2fx)\n", engineBest,
                engineBest / grepBest);
    std::printf("Find in Files, start to last row shown: %.0f ms  (%.2fx)\n", shownBest,
                shownBest / grepBest);
    std::printf("processor time, grep / Tarn shown:      %.0f ms / %.0f ms  (%.2fx)\n", grepCpu,
                shownCpu, shownCpu / grepCpu);
    std::printf("longest event-loop gap (10 ms timer):   %lld ms\n",
                static_cast<long long>(worstGap));
    std::printf("peak resident memory:                   %lld MB (rows held: %d)\n",
                static_cast<long long>(peakResidentKb() / 1024), view.rowCount());
    return 0;
}
