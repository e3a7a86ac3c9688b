#include "app/StopSignals.h"

#include <QSocketNotifier>

#include <array>
#include <cerrno>

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

namespace {

constexpr std::array kSignals{SIGINT, SIGTERM, SIGHUP};

// The pipe from the handler to the event loop, and the handlers it replaced.
int g_pipe[2] = {-1, -1};
struct sigaction g_previous[kSignals.size()];

// Only async-signal-safe calls: one byte per signal into the pipe. A full
// pipe drops the byte, which loses nothing: the first one is what counts.
void onSignal(int signal)
{
    const int saved = errno;
    const char byte = char(signal);
    [[maybe_unused]] const ssize_t written = ::write(g_pipe[1], &byte, 1);
    errno = saved;
}

} // namespace

StopSignals::StopSignals(std::function<void(int)> stop) : m_stop(std::move(stop))
{
    if (::pipe2(g_pipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return; // the signals keep their usual effect
    m_notifier = std::make_unique<QSocketNotifier>(g_pipe[0], QSocketNotifier::Read);
    connect(m_notifier.get(), &QSocketNotifier::activated, this, [this] { take(); });
    struct sigaction action {};
    action.sa_handler = onSignal;
    ::sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (size_t i = 0; i < kSignals.size(); ++i)
        ::sigaction(kSignals[i], &action, &g_previous[i]);
}

StopSignals::~StopSignals()
{
    if (!m_notifier)
        return;
    for (size_t i = 0; i < kSignals.size(); ++i)
        ::sigaction(kSignals[i], &g_previous[i], nullptr);
    m_notifier.reset();
    for (int& fd : g_pipe) {
        ::close(fd);
        fd = -1;
    }
}

void StopSignals::take()
{
    char bytes[64];
    ssize_t count = 0;
    while ((count = ::read(g_pipe[0], bytes, sizeof bytes)) > 0) {
        for (ssize_t i = 0; i < count; ++i) {
            if (m_caught != 0)
                continue; // already stopping
            m_caught = static_cast<unsigned char>(bytes[i]);
            if (m_stop)
                m_stop(m_caught);
        }
    }
}
