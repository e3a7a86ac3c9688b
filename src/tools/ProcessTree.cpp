#include "tools/ProcessTree.h"

#include <QElapsedTimer>
#include <QThread>

#include <iterator>
#include <map>
#include <mutex>
#include <set>

#ifdef Q_OS_LINUX
#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#endif

namespace {

// Held while a child is started and noted, and while adopted processes
// are looked for.
std::mutex g_startLock;
// Own children noted by StartChild: pid and start time (so that a pid used
// again by another process is not taken for the old child).
std::mutex g_ownLock;
std::map<qint64, unsigned long long> g_ownChildren;

#ifdef Q_OS_LINUX

// Reads a small file of /proc whole with plain calls (no allocation beyond
// the buffer); returns the bytes read, 0 when it cannot be read.
size_t readSmall(const char* path, char* buffer, size_t size)
{
    const int fd = ::open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return 0;
    size_t total = 0;
    for (;;) {
        const ssize_t got = ::read(fd, buffer + total, size - 1 - total);
        if (got <= 0)
            break;
        total += size_t(got);
        if (total == size - 1)
            break;
    }
    ::close(fd);
    buffer[total] = 0;
    return total;
}

// "pid (comm) S ppid pgrp session ... starttime(22) ...": the command may
// hold blanks and parentheses, so the fields are counted from the last ')'.
bool readStat(qint64 pid, ProcessRecord* record, unsigned long long* startTime = nullptr)
{
    char path[64];
    std::snprintf(path, sizeof path, "/proc/%lld/stat", static_cast<long long>(pid));
    char text[1024];
    if (readSmall(path, text, sizeof text) == 0)
        return false;
    const char* close = std::strrchr(text, ')');
    if (!close || close[1] != ' ' || !close[2])
        return false;
    record->pid = pid;
    record->state = close[2];
    record->parent = std::strtoll(close + 3, nullptr, 10);
    if (startTime) {
        // Fields after the state: ppid is the 4th field; starttime the 22nd.
        const char* p = close + 2;
        for (int field = 3; field < 22 && p; ++field) {
            p = std::strchr(p, ' ');
            if (p)
                ++p;
        }
        *startTime = p ? std::strtoull(p, nullptr, 10) : 0;
    }
    return true;
}

unsigned long long startTimeOf(qint64 pid)
{
    ProcessRecord record;
    unsigned long long start = 0;
    return readStat(pid, &record, &start) ? start : 0;
}

// The children Qt holds a pidfd for: QProcess's own, whose exit status
// it reaps itself.
std::set<qint64> pidfdChildren()
{
    std::set<qint64> pids;
    DIR* fds = ::opendir("/proc/self/fd");
    if (!fds)
        return pids;
    while (dirent* entry = ::readdir(fds)) {
        if (entry->d_name[0] < '0' || entry->d_name[0] > '9')
            continue;
        char path[300];
        std::snprintf(path, sizeof path, "/proc/self/fd/%s", entry->d_name);
        char target[64] = {};
        const ssize_t length = ::readlink(path, target, sizeof target - 1);
        if (length <= 0 || std::strstr(target, "pidfd") == nullptr)
            continue;
        std::snprintf(path, sizeof path, "/proc/self/fdinfo/%s", entry->d_name);
        char info[512];
        if (readSmall(path, info, sizeof info) == 0)
            continue;
        if (const char* line = std::strstr(info, "\nPid:"))
            pids.insert(std::strtoll(line + 5, nullptr, 10));
    }
    ::closedir(fds);
    return pids;
}

bool isOwnChild(qint64 pid, const std::set<qint64>& pidfds)
{
    if (pidfds.count(pid) != 0)
        return true;
    std::lock_guard lock(g_ownLock);
    const auto it = g_ownChildren.find(pid);
    if (it == g_ownChildren.end())
        return false;
    if (it->second == startTimeOf(pid))
        return true;
    g_ownChildren.erase(it); // that child is gone; the pid is another's
    return false;
}

// Reaps those of `pids` that are Tarn's ended children, waiting up to
// `waitMs` for the others to end and be handed to Tarn.
void reapEnded(std::set<qint64> pids, int waitMs)
{
    QElapsedTimer clock;
    clock.start();
    while (!pids.empty()) {
        for (auto it = pids.begin(); it != pids.end();) {
            siginfo_t info{};
            ProcessRecord record;
            if (::waitid(P_PID, id_t(*it), &info, WEXITED | WNOHANG) == 0 && info.si_pid == pid_t(*it))
                it = pids.erase(it); // reaped
            else if (!readStat(*it, &record))
                it = pids.erase(it); // gone: its own parent reaped it
            else
                ++it; // not ended yet, or not yet handed to Tarn
        }
        if (pids.empty() || clock.elapsed() >= waitMs)
            return;
        QThread::msleep(5);
    }
}

#endif // Q_OS_LINUX

} // namespace

QList<ProcessRecord> ReadProcessTable()
{
    QList<ProcessRecord> table;
#ifdef Q_OS_LINUX
    DIR* proc = ::opendir("/proc");
    if (!proc)
        return table;
    while (dirent* entry = ::readdir(proc)) {
        if (entry->d_name[0] < '1' || entry->d_name[0] > '9')
            continue;
        ProcessRecord record;
        if (readStat(std::strtoll(entry->d_name, nullptr, 10), &record))
            table.append(record);
    }
    ::closedir(proc);
#endif
    return table;
}

QList<qint64> DescendantsIn(const QList<ProcessRecord>& table, qint64 root)
{
    std::multimap<qint64, qint64> children;
    for (const ProcessRecord& record : table) {
        if (record.pid != record.parent)
            children.emplace(record.parent, record.pid);
    }
    QList<qint64> found;
    std::set<qint64> seen{root};
    QList<qint64> queue{root};
    for (qsizetype i = 0; i < queue.size(); ++i) {
        const auto [first, last] = children.equal_range(queue.at(i));
        for (auto it = first; it != last; ++it) {
            if (seen.insert(it->second).second) {
                found.append(it->second);
                queue.append(it->second);
            }
        }
    }
    return found;
}

int EndProcessTree(qint64 root, bool withRoot)
{
#ifdef Q_OS_LINUX
    if (root <= 0)
        return 0;
    std::set<qint64> stopped;
    const qint64 self = ::getpid();
    // Until a reading of the table finds nothing new: stopped processes
    // neither fork nor end, so the tree cannot change under the reading.
    for (int round = 0; round < 100; ++round) {
        QList<qint64> tree = DescendantsIn(ReadProcessTable(), root);
        if (withRoot && root != self)
            tree.prepend(root);
        bool added = false;
        for (qint64 pid : tree) {
            if (pid == self || !stopped.insert(pid).second)
                continue;
            ::kill(pid_t(pid), SIGSTOP);
            added = true;
        }
        if (!added)
            break;
    }
    for (qint64 pid : stopped)
        ::kill(pid_t(pid), SIGKILL);
    // Those whose parent was killed with them come to Tarn.
    {
        std::lock_guard start(g_startLock);
        const std::set<qint64> pidfds = pidfdChildren();
        std::set<qint64> toReap;
        for (qint64 pid : stopped) {
            if (!isOwnChild(pid, pidfds))
                toReap.insert(pid);
        }
        reapEnded(std::move(toReap), 1000);
    }
    return int(stopped.size());
#else
    (void)root;
    (void)withRoot;
    return 0;
#endif
}

void BecomeSubreaper()
{
#ifdef Q_OS_LINUX
    ::prctl(PR_SET_CHILD_SUBREAPER, 1, 0, 0, 0);
#endif
}

void StartOutsideTarn(const std::function<void()>& start)
{
#ifdef Q_OS_LINUX
    int subreaper = 0;
    ::prctl(PR_GET_CHILD_SUBREAPER, &subreaper, 0, 0, 0);
    if (subreaper)
        ::prctl(PR_SET_CHILD_SUBREAPER, 0, 0, 0, 0);
    start();
    if (subreaper)
        ::prctl(PR_SET_CHILD_SUBREAPER, 1, 0, 0, 0);
#else
    start();
#endif
}

OwnChildStart::OwnChildStart()
{
    g_startLock.lock();
}

OwnChildStart::~OwnChildStart()
{
    g_startLock.unlock();
}

void NoteOwnChild(qint64 pid)
{
#ifdef Q_OS_LINUX
    if (pid <= 0)
        return;
    const unsigned long long start = startTimeOf(pid);
    std::lock_guard lock(g_ownLock);
    if (g_ownChildren.size() >= 256) {
        // Children that have gone since are forgotten.
        for (auto it = g_ownChildren.begin(); it != g_ownChildren.end();)
            it = startTimeOf(it->first) == it->second ? std::next(it) : g_ownChildren.erase(it);
    }
    g_ownChildren[pid] = start;
#else
    (void)pid;
#endif
}

QList<qint64> AdoptedProcesses()
{
    QList<qint64> adopted;
#ifdef Q_OS_LINUX
    std::lock_guard start(g_startLock);
    const qint64 self = ::getpid();
    // The children first, then the pidfds: an own child listed has had its
    // pidfd since it was forked.
    QList<qint64> children;
    for (const ProcessRecord& record : ReadProcessTable()) {
        if (record.parent == self)
            children.append(record.pid);
    }
    const std::set<qint64> pidfds = pidfdChildren();
    for (qint64 pid : children) {
        if (!isOwnChild(pid, pidfds))
            adopted.append(pid);
    }
#endif
    return adopted;
}

int EndAdoptedProcesses()
{
    int killed = 0;
    for (qint64 pid : AdoptedProcesses())
        killed += EndProcessTree(pid, true);
    return killed;
}

void EndAllDescendants()
{
#ifdef Q_OS_LINUX
    EndProcessTree(::getpid(), false);
#endif
}
