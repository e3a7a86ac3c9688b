// A worker floods the message window for 3 seconds (rows in batches, as a
// make run posts them) while the user-interface thread adds rows of its own
// (a heading every 50 ms, as Quick Compile announces its command). A 10 ms
// timer on the user-interface thread records the longest gap in the event
// loop; the longest single AddMessage call is reported beside it. Offscreen.
// TARN_NO_HEADINGS=1 measures the flood alone, for comparison.
#include "messages/CMessageView.h"
#include "BenchContext.h"
#include "messages/MessageSink.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <thread>

int main(int argc, char** argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    CMessageView view;
    view.resize(630, 300);
    view.show();
    view.installAsMessageSink(benchContext().messages());
    QApplication::processEvents();

    constexpr int kFloodMs = 3000;
    std::atomic<bool> done = false;
    std::atomic<qint64> workerRows = 0;
    // The worker posts ready-made pieces of diagnostic rows as fast as it
    // can: faster than the window takes them, so the queue never runs dry
    // while it floods.
    // TARN_FLOOD_REST=N: the worker rests 1 ms after every N pieces (a
    // flood the window keeps up with); by default it never rests.
    const int restEvery = qEnvironmentVariableIntValue("TARN_FLOOD_REST");
    std::thread worker([&] {
        QByteArray piece;
        int perPiece = 0;
        while (piece.size() < MessageBatcher::kBatchBytes) {
            piece += "src/file.c:" + QByteArray::number(perPiece++) +
                     ": warning: unused variable 'x' [-Wunused]\n";
        }
        QElapsedTimer clock;
        clock.start();
        MessageBatcher batch(benchContext().messages());
        qint64 rows = 0;
        while (clock.elapsed() < kFloodMs) {
            batch.addStreamRows(piece, false);
            batch.postIfDue();
            rows += perPiece;
            if (restEvery > 0 && rows / perPiece % restEvery == 0)
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        batch.post();
        workerRows.store(rows);
        done.store(true);
    });

    // TARN_NO_HEADINGS=1: the flood alone, for comparison.
    const bool headings = qEnvironmentVariableIntValue("TARN_NO_HEADINGS") == 0;
    qint64 gap = 0, worstCall = 0, calls = 0;
    QElapsedTimer sinceTick, sinceHeading, total;
    QTimer ticker;
    ticker.setInterval(10);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        // The time spent in this call counts toward the next gap.
        gap = std::max(gap, sinceTick.elapsed());
        sinceTick.restart();
        if (headings && sinceHeading.elapsed() >= 50) {
            sinceHeading.restart();
            QElapsedTimer call;
            call.start();
            benchContext().messages().add(QStringLiteral("Compiling /tmp/hello.c with command line of:"), 1);
            worstCall = std::max(worstCall, call.elapsed());
            ++calls;
        }
    });
    total.start();
    sinceTick.start();
    sinceHeading.start();
    ticker.start();
    while (!done.load())
        QApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 5);
    ticker.stop();
    // A last call may have outlasted the flood.
    gap = std::max(gap, sinceTick.elapsed());
    worker.join();
    benchContext().messages().flush();
    const qint64 expected = workerRows.load() + 2 * calls;
    std::printf("worker rows posted in %d ms:           %lld (rows shown: %d of %lld)\n", kFloodMs,
                static_cast<long long>(workerRows.load()), view.rowCount(),
                static_cast<long long>(expected));
    std::printf("headings added by the interface thread: %lld\n", static_cast<long long>(calls));
    std::printf("longest AddMessage call:                %lld ms\n",
                static_cast<long long>(worstCall));
    std::printf("longest event-loop gap (10 ms timer):   %lld ms\n", static_cast<long long>(gap));
    benchContext().messages().setSink(nullptr);
    return view.rowCount() == expected ? 0 : 1;
}
