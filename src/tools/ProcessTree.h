#pragma once

#include <QList>
#include <QtGlobal>

#include <functional>

// Everything Tarn's children start is Tarn's to end, whatever it became:
// a process that left its group or its session (setsid and a fork) is
// still found through the parent links, and one whose parent ended is
// taken in by Tarn (a subreaper on Linux) instead of by the system.
//
// Tarn's own children are the ones it started (QProcess, StartChild); the
// others among its children were taken in ("adopted"): leftovers of a
// tool or of a debugged program, ended at Stop Build, Stop Debugging, the
// end of a run when nothing else of Tarn's runs, and Tarn's exit, and
// reaped so they do not stay as zombies. An own child is never waited for
// here: its exit status is QProcess's.
//
// Linux only (/proc, prctl); elsewhere these do nothing.

// One row of the process table: /proc/<pid>/stat's pid, state and parent.
struct ProcessRecord {
    qint64 pid = 0;
    qint64 parent = 0;
    char state = '?'; // 'Z': ended, not yet reaped
};

// The processes of the system now (those that can be read).
QList<ProcessRecord> ReadProcessTable();

// Every process below `root` in `table` by parent links, parents before
// their children (`root` itself not included).
QList<qint64> DescendantsIn(const QList<ProcessRecord>& table, qint64 root);

// Ends `root`'s whole tree (and `root` when `withRoot`): each process found
// is stopped first (SIGSTOP), so none can fork or end and leave its
// children to another parent while the tree is read again, until no new
// one turns up; then all are killed (SIGKILL). Those taken in by Tarn
// meanwhile are reaped. Returns how many were killed.
int EndProcessTree(qint64 root, bool withRoot);

// Makes Tarn the subreaper of everything it starts. Called once at start.
void BecomeSubreaper();

// Runs `start` with Tarn not a subreaper, for what Tarn hands over to the
// desktop (a terminal for Run, a file's default handler): those belong to
// the user's session, not to Tarn, and outlive it as before.
void StartOutsideTarn(const std::function<void()>& start);

// Notes a child Tarn has just started (StartChild does), so that it never
// counts as adopted even where Qt holds no pidfd for it. Call under the
// lock of OwnChildStart.
void NoteOwnChild(qint64 pid);

// Held while a child is being started and noted: no adopted process is
// looked for meanwhile, so a child that has just been forked is never
// taken for one.
class OwnChildStart {
public:
    OwnChildStart();
    ~OwnChildStart();
    OwnChildStart(const OwnChildStart&) = delete;
    OwnChildStart& operator=(const OwnChildStart&) = delete;
};

// Tarn's children that it did not start.
QList<qint64> AdoptedProcesses();

// Ends every adopted process with its tree; returns how many processes
// were killed.
int EndAdoptedProcesses();

// At exit: every process below Tarn ends, its own children included.
void EndAllDescendants();
