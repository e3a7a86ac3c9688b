// Runs a child that writes 1,000,000 short diagnostic lines to standard
// error and shows them in the message window (offscreen), timing start to
// last row painted; compares it in the same run with the child alone writing
// to /dev/null, and with a sink that only counts rows (runner cost without
// the window). Each figure is the best of three runs.
#include "app/IdeSettings.h"
#include "messages/CMessageView.h"
#include "messages/MessageSink.h"
#include "tools/ToolReports.h"
#include "tools/ToolRunner.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>

#include <algorithm>
#include <cstdio>
#include <functional>

namespace {

const QString kChild = QStringLiteral(TARN_BENCH_CHILD);
constexpr long kLines = 1000000;

class CountingSink : public MessageSink {
public:
    void AppendLine(const QString& text, int) override { chars += text.size(), ++rows; }
    void ClearMessageRows() override {}
    QObject* sinkObject() override { return &object; }
    long rows = 0;
    long chars = 0;
    QObject object;
};

double bestOfThree(const std::function<void()>& run)
{
    double best = 1e99;
    for (int i = 0; i < 3; ++i) {
        QElapsedTimer timer;
        timer.start();
        run();
        best = std::min(best, timer.nsecsElapsed() / 1e9);
    }
    return best;
}

void childAlone()
{
    QProcess process;
    process.setStandardErrorFile(QProcess::nullDevice());
    process.start(kChild, {QString::number(kLines)});
    process.waitForFinished(-1);
}

void runAndShow()
{
    ToolPipes pipes;
    RunTool(kChild + QLatin1Char(' ') + QString::number(kLines), pipes, 1);
    pipes.waitForEnd();
    ShowGccReport(pipes);
    QApplication::processEvents(); // the last rows painted
}

} // namespace

int main(int argc, char** argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    IdeSettings settings = ideSettings();
    settings.gccPath = kChild;
    setIdeSettings(settings);

    const double alone = bestOfThree(childAlone);

    CountingSink counter;
    setMessageSink(&counter);
    const double counted = bestOfThree(runAndShow);
    setMessageSink(nullptr);

    CMessageView view;
    view.resize(630, 110);
    view.show();
    view.installAsMessageSink();
    QApplication::processEvents();
    const double shown = bestOfThree([&] {
        view.ClearMessages();
        runAndShow();
    });
    setMessageSink(nullptr);

    std::printf("lines per run:                   %ld (rows counted: %ld)\n", kLines,
                counter.rows / 3);
    std::printf("child alone to /dev/null:        %.3f s\n", alone);
    std::printf("runner + counting sink:          %.3f s  (%.2fx)\n", counted, counted / alone);
    std::printf("runner + message window:         %.3f s  (%.2fx)\n", shown, shown / alone);
    return 0;
}
