#pragma once

#include <QObject>

#include <functional>
#include <initializer_list>
#include <memory>

class QSocketNotifier;

// Ctrl+C (SIGINT), SIGTERM and SIGHUP, for `tarn --build/--rebuild` (with
// SIGPIPE: standard output was closed, as by `| head`) and for the windows
// (a logout, a closed terminal): while an instance lives, each of these
// signals is caught instead of killing Tarn outright (its compilers and
// make run in process groups of their own, so a terminal's Ctrl+C never
// reaches them and they would be left running). A caught signal is reset
// to its default in a program Tarn starts, as every caught signal is.
// The handler only notes the signal; the main thread's event loop then
// calls `stop` once, for the first signal. A signal that comes while the
// first is being handled changes nothing. The previous handlers come back
// when the instance goes.
class StopSignals : public QObject {
public:
    // `which`: the signals caught, by default SIGINT, SIGTERM and SIGHUP.
    explicit StopSignals(std::function<void(int signal)> stop,
                         std::initializer_list<int> which = {2, 15, 1});
    ~StopSignals() override;
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;

    // The first signal caught, or 0.
    int caught() const { return m_caught; }
    // What a program stopped by the signal exits with: 128 + its number.
    int exitStatus() const { return 128 + m_caught; }

private:
    void take();

    std::function<void(int)> m_stop;
    std::unique_ptr<QSocketNotifier> m_notifier;
    int m_caught = 0;
};
