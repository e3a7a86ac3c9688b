#include "framework/Assert.h"

#include <QCoreApplication>
#include <QThread>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <unordered_map>

namespace fw {

namespace {

std::atomic<AssertHandler> g_handler{nullptr};

// How often one place is reported before it goes quiet.
constexpr int kReportsPerPlace = 3;

void logOrAbort(const char* condition, const char* file, int line, const char* what)
{
#ifdef TARN_ASSERT_ABORT
    std::fprintf(stderr, "tarn: broken rule at %s:%d: %s (%s)\n", file, line, what, condition);
    std::abort();
#else
    static std::mutex mutex;
    static std::unordered_map<std::string, int> reported;
    {
        const std::lock_guard<std::mutex> lock(mutex);
        int& count = reported[std::string(file) + ':' + std::to_string(line)];
        if (++count > kReportsPerPlace)
            return;
    }
    std::fprintf(stderr, "tarn: broken rule at %s:%d: %s (%s)\n", file, line, what, condition);
#endif
}

} // namespace

AssertHandler setAssertHandler(AssertHandler handler)
{
    return g_handler.exchange(handler);
}

void assertFailed(const char* condition, const char* file, int line, const char* what)
{
    if (const AssertHandler handler = g_handler.load())
        handler(condition, file, line, what);
    else
        logOrAbort(condition, file, line, what);
}

bool onMainThread()
{
    const QCoreApplication* app = QCoreApplication::instance();
    return !app || QThread::currentThread() == app->thread();
}

} // namespace fw
