// A program floods its terminal under the debugger: 100 MB reach the
// Program Output pane (the real DebugPanes on a main window, offscreen),
// against script(1) running the same program on a pseudo-terminal of its
// own (`script -qfc ./prog /dev/null > /dev/null`), in the same run. Two
// programs, built with the host's gcc: one writes lines of 99 characters,
// the other nothing but escape sequences (colours, modes, titles, erases,
// carriage returns). Each ends with a marker line; Tarn's time runs from the
// session's start to the marker shown in the pane. A 5 ms timer on the
// interface thread records the longest time between its ticks (the window's
// longest wait). The load average is printed before and after.
//
//   debugger_output_bench [megabytes]     (default 100)
#include "debugger/DebugPanes.h"
#include "BenchContext.h"
#include "debugger/DebugSession.h"
#include "editor/DebugMargin.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QMainWindow>
#include <QPlainTextEdit>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTimer>

#include <cstdio>

namespace {

const QByteArray kMarker = "END-OF-FLOOD";

// Writes `megabytes` of `unit` over and over (whole units only) and the marker.
QByteArray programSource(const QByteArray& unitLiteral, int megabytes)
{
    return R"(#include <stdio.h>
#include <string.h>
#include <stdlib.h>
int main(int argc, char **argv)
{
    static const char unit[] = )" +
           unitLiteral + R"(;
    static char block[1 << 16];
    size_t n = sizeof unit - 1, used = 0;
    while (used + n <= sizeof block) {
        memcpy(block + used, unit, n);
        used += n;
    }
    /* Whole units: a sequence cut short would swallow the marker. */
    long long total = ()" +
           QByteArray::number(megabytes) + R"(LL << 20) / (long long)n * (long long)n, written = 0;
    while (written < total) {
        size_t chunk = used;
        if ((long long)chunk > total - written)
            chunk = (size_t)(total - written);
        fwrite(block, 1, chunk, stdout);
        written += (long long)chunk;
    }
    fputs("\n)" + kMarker + R"(\n", stdout);
    return 0;
}
)";
}

QString build(const QTemporaryDir& dir, const QString& name, const QByteArray& source)
{
    const QString c = dir.filePath(name + QStringLiteral(".c"));
    const QString exe = dir.filePath(name);
    QFile file(c);
    if (!file.open(QIODevice::WriteOnly) || file.write(source) != source.size())
        return {};
    file.close();
    QProcess gcc;
    gcc.start(QStringLiteral("gcc"), {QStringLiteral("-g"), QStringLiteral("-O1"), c,
                                      QStringLiteral("-o"), exe});
    if (!gcc.waitForFinished(60000) || gcc.exitCode() != 0) {
        std::fprintf(stderr, "%s\n", gcc.readAllStandardError().constData());
        return {};
    }
    return exe;
}

double scriptTime(const QString& exe)
{
    QElapsedTimer clock;
    clock.start();
    QProcess script;
    script.setStandardOutputFile(QProcess::nullDevice());
    script.start(QStringLiteral("script"), {QStringLiteral("-qfc"), exe, QStringLiteral("/dev/null")});
    if (!script.waitForFinished(600000))
        return -1;
    return clock.nsecsElapsed() / 1e6;
}

struct TarnRun {
    double totalMs = -1;      // session start to the marker in the pane
    double firstOutputMs = -1; // session start to the first byte in the pane
    double receivedMs = -1;    // session start to the last byte read from the terminal
    qint64 bytes = 0;
    qint64 longestTickMs = 0;
};

bool markerShown(const QPlainTextEdit* output)
{
    for (QTextBlock block = output->document()->lastBlock(); block.isValid() &&
         block.blockNumber() + 3 >= output->document()->blockCount();
         block = block.previous()) {
        if (block.text() == QLatin1String(kMarker))
            return true;
    }
    return false;
}

TarnRun tarnTime(const QString& exe, const QString& dir)
{
    QMainWindow frame;
    BreakpointBook book;
    DebugSession session;
    auto* panes = new DebugPanes(&frame, &session, &book, benchContext());
    frame.resize(1000, 700);
    frame.show();
    panes->beginSession();
    QApplication::processEvents();

    TarnRun run;
    QElapsedTimer sinceTick;
    QTimer ticker;
    ticker.setTimerType(Qt::PreciseTimer);
    ticker.setInterval(5);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        run.longestTickMs = std::max(run.longestTickMs, sinceTick.restart());
    });
    QElapsedTimer clock;
    clock.start();
    QObject::connect(&session, &DebugSession::programOutput, [&](const QByteArray& bytes) {
        run.bytes += bytes.size();
        run.receivedMs = clock.nsecsElapsed() / 1e6;
    });
    QString error;
    if (!session.start(DebugTarget{QStringLiteral("gdb"), exe, {}, dir}, {}, &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return run;
    }
    sinceTick.start();
    ticker.start();
    // The pane is looked at when its text changed, not at every event.
    bool changed = false;
    QObject::connect(panes->output->document(), &QTextDocument::contentsChanged,
                     [&] { changed = true; });
    while (!(changed && markerShown(panes->output))) {
        changed = false;
        if (clock.elapsed() > 600000)
            return run;
        if (run.firstOutputMs < 0 && panes->output->document()->characterCount() > 1)
            run.firstOutputMs = clock.nsecsElapsed() / 1e6;
        QApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    }
    run.totalMs = clock.nsecsElapsed() / 1e6;
    ticker.stop();
    session.stop();
    return run;
}

QByteArray load()
{
    QFile file(QStringLiteral("/proc/loadavg"));
    return file.open(QIODevice::ReadOnly) ? file.readAll().trimmed() : QByteArray("?");
}

} // namespace

int main(int argc, char** argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    const int megabytes = argc > 1 ? std::max(1, atoi(argv[1])) : 100;
    QTemporaryDir dir;
    // 100 bytes a line.
    const QString lines = build(dir, QStringLiteral("lines"),
                                programSource('"' + QByteArray(99, 'x') + "\\n\"", megabytes));
    // Colours, bracketed paste, a title, erase in line, a progress return,
    // cursor moves and charset selections, with a line end: 116 bytes a unit.
    const QByteArray escapes =
        R"("\033[1;31m\033[38;5;196m\033[38;2;1;2;3m\033[0m\033[?2004h\033[?2004l)"
        R"(\033]0;title\007\033[K\r\033[3D\033[2C\033(B\033=\033>\033[K\033[K\033[K\n")";
    const QString escapeProgram =
        build(dir, QStringLiteral("escapes"), programSource(escapes, megabytes));
    if (lines.isEmpty() || escapeProgram.isEmpty())
        return 1;

    std::printf("%d MB to the Program Output pane, load average before: %s\n", megabytes,
                load().constData());
    const struct {
        const char* name;
        QString exe;
    } programs[] = {{"lines of 99 characters", lines}, {"escape sequences", escapeProgram}};
    int failures = 0;
    for (const auto& program : programs) {
        // script(1) first, once not counted: the program is in the page cache.
        scriptTime(program.exe);
        const double script = scriptTime(program.exe);
        const TarnRun tarn = tarnTime(program.exe, dir.path());
        if (tarn.totalMs < 0 || script < 0) {
            std::printf("  %s: FAILED (the marker never reached the pane)\n", program.name);
            ++failures;
            continue;
        }
        std::printf("  %s:\n", program.name);
        std::printf("    script(1):                         %8.0f ms\n", script);
        std::printf("    Tarn, session start to the marker: %8.0f ms (first output at %.0f ms, "
                    "all %lld bytes read at %.0f ms)\n",
                    tarn.totalMs, tarn.firstOutputMs, tarn.bytes, tarn.receivedMs);
        std::printf("    ratio %.2f; longest time between 5 ms ticks: %lld ms\n",
                    script > 0 ? tarn.totalMs / script : 0.0, qint64(tarn.longestTickMs));
    }
    std::printf("load average after: %s\n", load().constData());
    return failures == 0 ? 0 : 1;
}
