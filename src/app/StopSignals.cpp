#include "app/StopSignals.h"

#include <QSocketNotifier>

#include <array>
#include <cerrno>

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

namespace {

static_assert(SIGINT == 2 && SIGTERM == 15 && SIGHUP == 1);

// The pipe from the handler to the event loop, the signals caught and the
// handlers they replaced.
int g_pipe[2] = {-1, -1};
std::array<int, 8> g_signals{};
size_t g_count = 0;
struct sigaction g_previous[8];

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

StopSignals::StopSignals(std::function<void(int)> stop, std::initializer_list<int> which)
    : m_stop(std::move(stop))
{
    g_count = 0;
    for (int signal : which) {
        if (g_count < g_signals.size())
            g_signals[g_count++] = signal;
    }
    if (::pipe2(g_pipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return; // the signals keep their usual effect
    m_notifier = std::make_unique<QSocketNotifier>(g_pipe[0], QSocketNotifier::Read);
    connect(m_notifier.get(), &QSocketNotifier::activated, this, [this] { take(); });
    struct sigaction action {};
    action.sa_handler = onSignal;
    ::sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (size_t i = 0; i < g_count; ++i)
        ::sigaction(g_signals[i], &action, &g_previous[i]);
}

StopSignals::~StopSignals()
{
    if (!m_notifier)
        return;
    for (size_t i = 0; i < g_count; ++i)
        ::sigaction(g_signals[i], &g_previous[i], nullptr);
    g_count = 0;
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
