#pragma once

#include <QObject>
#include <QString>

#include <atomic>
#include <functional>
#include <map>
#include <memory>
#include <thread>
#include <vector>

class MessageChannel;

// What a job's work sees of its job: the cancel flag to hand to RunTool
// and to check between steps, and the channel its rows go to.
class JobContext {
public:
    explicit JobContext(MessageChannel& messages) : m_messages(messages) {}
    bool cancelled() const { return m_cancel.load(); }
    const std::atomic<bool>& cancelFlag() const { return m_cancel; }
    MessageChannel& messages() const { return m_messages; }

private:
    friend class JobManager;
    MessageChannel& m_messages;
    std::atomic<bool> m_cancel{false};
};

// Knows every job Tarn runs on a worker thread (a make run, a project
// build, Export and Make): starts each on a thread of its own, can ask them
// all to stop, and joins them. The IDE's tool session (ToolSession.h) owns
// one, stopped before the message window and the settings go away, so no
// worker outlives them; the command-line build has its own.
//
// Work runs on its own thread: it must not touch widgets, documents or the
// live settings (take a snapshot before starting), and reports only through
// its context's message channel (a MessageBatcher on it). Its int result is the job's status
// (the headless mode's exit status).
//
// Every method runs on the thread that owns the manager (the user-interface
// thread, or the main thread of the headless mode).
class JobManager : public QObject {
    Q_OBJECT
public:
    using Work = std::function<int(JobContext&)>;

    // The jobs report to `messages`, which outlives the manager.
    explicit JobManager(MessageChannel& messages, QObject* parent = nullptr);
    MessageChannel& messages() const { return m_messages; }
    // Stops and joins every job.
    ~JobManager() override;

    // Starts the work on a new thread named `name` (what gdb's "info
    // threads" and ps -L show, cut to 15 bytes); returns the job's id
    // (from 1).
    int start(const QString& name, Work work);
    // Jobs started and not yet joined.
    int runningCount() const { return static_cast<int>(m_jobs.size()); }
    bool isRunning(int id) const { return m_jobs.count(id) != 0; }
    // The running jobs not yet asked to stop (Stop Build is enabled while
    // there is one), in the order they started.
    std::vector<int> uncancelledJobs() const;
    // Asks every job to stop (their children are ended); returns at once.
    void cancelAll();
    // Asks every job to stop and waits until each thread has ended.
    void stopAll();
    // Waits, handling events, until no job runs or the time is up (-1: no
    // limit). True when none runs.
    bool waitForAll(int timeoutMs = -1);

signals:
    // After the job's thread has ended and been joined.
    void jobFinished(int id, int status);

private:
    struct Job {
        explicit Job(MessageChannel& messages) : context(messages) {}
        JobContext context;
        std::thread thread;
    };
    void finish(int id, int status);

    MessageChannel& m_messages;
    std::map<int, std::unique_ptr<Job>> m_jobs;
    int m_nextId = 1;
};
