// Make of a makefile whose recipe prints 200,000 lines to each stream, run
// as the Make command runs it (a job on a worker, rows in batches into the
// message window, offscreen). A 10 ms timer on the user-interface thread
// records the longest gap in the event loop while make runs and its rows
// arrive; the total time (start to the last row shown) is compared with the
// same make run directly, reading both streams. Best of three each.
#include "settings/IdeSettings.h"
#include "BenchContext.h"
#include "messages/CMessageView.h"
#include "singlefile/MakeRun.h"
#include "tools/JobManager.h"
#include "tools/ToolSession.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>

int main(int argc, char** argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QString make = QStandardPaths::findExecutable(QStringLiteral("make"));
    if (make.isEmpty()) {
        std::fprintf(stderr, "make is needed\n");
        return 1;
    }
    constexpr int kLines = 200000;
    QTemporaryDir dir;
    const QString makefile = dir.filePath(QStringLiteral("Makefile"));
    QFile file(makefile);
    file.open(QIODevice::WriteOnly);
    file.write(QStringLiteral("all:\n\t@seq -f 'src/file.c:%g: warning: unused variable x [-Wunused]' %1\n"
                              "\t@seq -f 'src/other.c:%g: error: expected ; before }' %1 >&2\n")
                   .arg(kLines)
                   .toUtf8());
    file.close();
    IdeSettings settings = benchContext().settings();
    settings.makePath = make;
    benchContext().setSettings(settings);

    double direct = 1e99;
    for (int i = 0; i < 3; ++i) {
        QElapsedTimer timer;
        timer.start();
        QProcess process;
        process.setWorkingDirectory(dir.path());
        process.start(make, {QStringLiteral("-f"), makefile});
        qint64 bytes = 0;
        while (process.state() != QProcess::NotRunning) {
            process.waitForFinished(20);
            bytes += process.readAllStandardOutput().size() + process.readAllStandardError().size();
        }
        bytes += process.readAllStandardOutput().size() + process.readAllStandardError().size();
        direct = std::min(direct, timer.nsecsElapsed() / 1e6);
    }

    IdeContext& tools = benchContext();
    JobManager& jobs = tools.jobs();
    // The engine alone: the same run into a sink that only counts rows.
    struct CountingSink : MessageSink {
        void AppendLine(const QString&, int withSeparator) override { rows += 1 + (withSeparator == 1); }
        void ClearMessageRows() override {}
        QObject* sinkObject() override { return &object; }
        int rows = 0;
        QObject object;
    } counter;
    benchContext().messages().setSink(&counter);
    double counted = 1e99;
    for (int i = 0; i < 3; ++i) {
        counter.rows = 0;
        QElapsedTimer timer;
        timer.start();
        MakeThread(tools, makefile);
        jobs.waitForAll();
        benchContext().messages().flush();
        counted = std::min(counted, timer.nsecsElapsed() / 1e6);
    }
    benchContext().messages().setSink(nullptr);

    CMessageView view;
    view.resize(630, 300);
    view.show();
    view.installAsMessageSink(benchContext().messages());
    QApplication::processEvents();
    const int expectedRows = 2 * (kLines + 3) + 2;

    double total = 1e99;
    qint64 worstGap = 0;
    for (int i = 0; i < 3; ++i) {
        view.ClearMessages();
        QElapsedTimer timer, sinceTick;
        qint64 gap = 0;
        QTimer ticker;
        ticker.setInterval(10);
        QObject::connect(&ticker, &QTimer::timeout, [&] {
            gap = std::max(gap, sinceTick.elapsed());
            sinceTick.restart();
        });
        timer.start();
        sinceTick.start();
        ticker.start();
        MakeThread(tools, makefile);
        while (jobs.runningCount() > 0 || view.rowCount() < expectedRows) {
            QApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
            if (jobs.runningCount() == 0 && timer.elapsed() > 120000)
                break; // rows missing: reported below
        }
        ticker.stop();
        total = std::min(total, timer.nsecsElapsed() / 1e6);
        worstGap = std::max(worstGap, gap);
        if (view.rowCount() != expectedRows ||
            view.rowText(view.rowCount() - 2) != QStringLiteral("Ending make")) {
            std::fprintf(stderr, "unexpected rows: %d\n", view.rowCount());
            return 1;
        }
    }
    benchContext().messages().setSink(nullptr);
    std::printf("lines per stream:                     %d (rows shown: %d)\n", kLines, view.rowCount());
    std::printf("make run directly, both streams read: %.0f ms\n", direct);
    std::printf("engine alone, counting sink:          %.0f ms  (%.2fx, rows %d)\n", counted,
                counted / direct, counter.rows);
    std::printf("Make in Tarn, start to last row:      %.0f ms  (%.2fx)\n", total, total / direct);
    std::printf("longest event-loop gap (10 ms timer): %lld ms\n", static_cast<long long>(worstGap));
    return 0;
}
