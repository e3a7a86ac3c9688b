// Runs a child that writes 1,000,000 short diagnostic lines to standard
// error as Quick Compile runs gcc (the one road, with the interface
// thread's wait) and shows them in the message window (offscreen), timing
// start to last row painted; compares it in the same round with the child
// alone writing to /dev/null, with the child writing into a pipe that `cat`
// drains, and with a sink that only counts rows (runner cost without the
// window). Each figure is the median of 9 rounds (or of the number given as
// the first argument); a ratio is the median of the rounds' ratios. Memory: the growth of
// the resident set from an empty window to the window holding the rows of
// one run, and the peak growth during that run, per row. As the machine may
// be busy, the processor time of Tarn's process and of the child over the
// shown runs is printed too (it does not depend on the load). With the
// argument "busy" after the rounds, a busy loop in another process runs
// throughout, as when a build or a browser holds a core.
#include "settings/IdeSettings.h"
#include "BenchContext.h"
#include "messages/CMessageView.h"
#include "messages/MessageSink.h"
#include "messages/RowBytes.h"
#include "singlefile/InterfaceGccRun.h"
#include "tools/Invocation.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>

#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

namespace {

const QString kChild = QStringLiteral(TARN_BENCH_CHILD);
constexpr long kLines = 1000000;

class CountingSink : public MessageSink {
public:
    void AppendLine(const QString& text, int) override { chars += text.size(), ++rows; }
    void AppendStreamRows(const QByteArray& bytes, bool streamEnd, int) override
    {
        ForEachOutputRow(QByteArrayView(bytes), streamEnd, [this](QByteArrayView row) { chars += row.size(), ++rows; });
    }
    void ClearMessageRows() override {}
    QObject* sinkObject() override { return &object; }
    long rows = 0;
    long chars = 0;
    QObject object;
};

constexpr int kRounds = 9;

double seconds(const std::function<void()>& run)
{
    QElapsedTimer timer;
    timer.start();
    run();
    return timer.nsecsElapsed() / 1e9;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// A field of /proc/self/status in bytes ("VmRSS", "VmHWM").
double statusBytes(const char* field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    status.open(QIODevice::ReadOnly);
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(field))
            return line.mid(line.indexOf(':') + 1).trimmed().split(' ').first().toDouble() * 1024;
    }
    return 0;
}

// Processor seconds (user + system) of this process or of its ended children.
double cpuSeconds(int who)
{
    rusage usage{};
    getrusage(who, &usage);
    auto seconds = [](const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

void resetPeak()
{
    QFile clearRefs(QStringLiteral("/proc/self/clear_refs"));
    if (clearRefs.open(QIODevice::WriteOnly))
        clearRefs.write("5");
}

void childAlone()
{
    QProcess process;
    process.setStandardErrorFile(QProcess::nullDevice());
    process.start(kChild, {QString::number(kLines)});
    process.waitForFinished(-1);
}

// The child's standard error goes into a pipe; cat reads it to its end.
void childThroughCat()
{
    QProcess process;
    process.setStandardOutputFile(QProcess::nullDevice());
    process.start(QStringLiteral("/bin/sh"),
                  {QStringLiteral("-c"), QStringLiteral("\"$0\" \"$1\" 2>&1 >/dev/null | cat"), kChild,
                   QString::number(kLines)});
    process.waitForFinished(-1);
}

void runAndShow()
{
    ToolCommand command(kChild);
    command.appendText(QLatin1Char(' ') + QString::number(kLines));
    benchContext().setDirectory(QDir::currentPath());
    RunGccOnInterface(benchContext(), QStringLiteral("Compiling flood.c with command line of:"), command);
    QApplication::processEvents(); // the last rows painted
}

} // namespace

int main(int argc, char** argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : kRounds;
    const bool busy = argc > 2 && QByteArray(argv[2]) == "busy";
    QProcess busyLoop;
    if (busy) {
        busyLoop.start(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), QStringLiteral("while :; do :; done")});
        busyLoop.waitForStarted();
    }
    IdeSettings settings = benchContext().settings();
    settings.clearBeforeBuild = 1;
    benchContext().setSettings(settings);

    CMessageView view;
    view.resize(630, 110);
    view.show();
    view.installAsMessageSink(benchContext().messages());
    QApplication::processEvents();
    // Memory first, while the process has not yet grown for other runs.
    const double before = statusBytes("VmRSS");
    resetPeak();
    runAndShow();
    const double held = statusBytes("VmRSS") - before;
    const double peak = statusBytes("VmHWM") - before;
    const double rows = view.rowCount();
    benchContext().messages().setSink(nullptr);

    // Each round times the four runs one after the other, so a burst of
    // other work on the machine falls on all of them alike.
    std::vector<double> alone, throughCat, counted, shown;
    std::vector<double> catRatio, countedRatio, shownRatio, shownOfCat;
    CountingSink counter;
    double selfCpu = 0, childCpu = 0;
    for (int round = 0; round < rounds; ++round) {
        alone.push_back(seconds(childAlone));
        throughCat.push_back(seconds(childThroughCat));
        benchContext().messages().setSink(&counter);
        counted.push_back(seconds(runAndShow));
        view.installAsMessageSink(benchContext().messages());
        view.ClearMessages();
        const double self = cpuSeconds(RUSAGE_SELF), child = cpuSeconds(RUSAGE_CHILDREN);
        shown.push_back(seconds(runAndShow));
        selfCpu += cpuSeconds(RUSAGE_SELF) - self;
        childCpu += cpuSeconds(RUSAGE_CHILDREN) - child;
        benchContext().messages().setSink(nullptr);
        catRatio.push_back(throughCat.back() / alone.back());
        countedRatio.push_back(counted.back() / alone.back());
        shownRatio.push_back(shown.back() / alone.back());
        shownOfCat.push_back(shown.back() / throughCat.back());
    }

    if (busy) {
        busyLoop.kill();
        busyLoop.waitForFinished();
    }
    QFile loadavg(QStringLiteral("/proc/loadavg"));
    loadavg.open(QIODevice::ReadOnly);
    std::printf("lines per run:                   %ld (rows counted: %ld), medians of %d rounds%s; load %s\n",
                kLines, counter.rows / rounds, rounds, busy ? ", beside a busy loop" : "",
                loadavg.readAll().split(' ').first().constData());
    std::printf("child alone to /dev/null:        %.3f s\n", median(alone));
    std::printf("child into a pipe, cat drains:   %.3f s  (%.2fx)\n", median(throughCat),
                median(catRatio));
    std::printf("runner + counting sink:          %.3f s  (%.2fx)\n", median(counted),
                median(countedRatio));
    std::printf("runner + message window:         %.3f s  (%.2fx, %.2fx of cat)\n", median(shown),
                median(shownRatio), median(shownOfCat));
    std::printf("processor time, Tarn / child:    %.3f / %.3f s per run  (%.2fx)\n",
                selfCpu / rounds, childCpu / rounds, selfCpu / childCpu);
    std::printf("memory per row, held / peak:     %.1f / %.1f bytes (%.0f rows)\n", held / rows,
                peak / rows, rows);
    return 0;
}
