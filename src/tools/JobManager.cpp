#include "tools/JobManager.h"

#include "framework/Assert.h"

#include <QEventLoop>
#include <QMetaObject>
#include <QThread>
#include <QTimer>

#include <pthread.h>

JobManager::JobManager(MessageChannel& messages, QObject* parent) : QObject(parent), m_messages(messages) {}

JobManager::~JobManager()
{
    stopAll();
}

int JobManager::start(const QString& name, Work work)
{
    TARN_ASSERT(QThread::currentThread() == thread(), "a job manager is used on its own thread only");
    const int id = m_nextId++;
    auto job = std::make_unique<Job>(m_messages);
    Job* raw = job.get();
    m_jobs.emplace(id, std::move(job));
    raw->thread = std::thread([this, raw, work = std::move(work), id] {
        const int status = work(raw->context);
        // Joined on the manager's thread. The manager is alive here: its
        // destructor joins this thread before it goes, and a post still
        // pending then is dropped with it.
        QMetaObject::invokeMethod(this, [this, id, status] { finish(id, status); },
                                  Qt::QueuedConnection);
    });
    // Linux takes at most 15 bytes and a terminating zero.
    ::pthread_setname_np(raw->thread.native_handle(), name.toLocal8Bit().left(15).constData());
    return id;
}

void JobManager::finish(int id, int status)
{
    const auto it = m_jobs.find(id);
    if (it == m_jobs.end())
        return;
    it->second->thread.join();
    m_jobs.erase(it);
    emit jobFinished(id, status);
}

std::vector<int> JobManager::uncancelledJobs() const
{
    std::vector<int> ids;
    for (const auto& [id, job] : m_jobs) {
        if (!job->context.cancelled())
            ids.push_back(id);
    }
    return ids;
}

void JobManager::cancelAll()
{
    TARN_ASSERT(QThread::currentThread() == thread(), "a job manager is used on its own thread only");
    for (auto& [id, job] : m_jobs)
        job->context.m_cancel.store(true);
}

void JobManager::stopAll()
{
    TARN_ASSERT(QThread::currentThread() == thread(), "a job manager is used on its own thread only");
    cancelAll();
    for (auto& [id, job] : m_jobs) {
        if (job->thread.joinable())
            job->thread.join();
    }
    m_jobs.clear();
}

bool JobManager::waitForAll(int timeoutMs)
{
    TARN_ASSERT(QThread::currentThread() == thread(), "a job manager is used on its own thread only");
    if (m_jobs.empty())
        return true;
    QEventLoop loop;
    connect(this, &JobManager::jobFinished, &loop, [this, &loop] {
        if (m_jobs.empty())
            loop.quit();
    });
    if (timeoutMs >= 0)
        QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    loop.exec();
    return m_jobs.empty();
}
