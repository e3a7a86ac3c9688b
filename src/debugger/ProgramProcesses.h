#pragma once

#include <QtGlobal>

// Ends a debugged program with everything it started. Its whole tree goes
// first, found by parent links (ProcessTree.h), so a child that left the
// session (setsid) and forked ends too. gdb starts the program on Tarn's
// terminal as the leader of a session and a process group of its own:
// SIGKILL also goes to the group and to every process still in the
// program's session. Only a session the program leads is swept, never
// Tarn's or gdb's own. Last, what Tarn took in (processes whose parent in
// the tree had already ended, the program itself included when it has
// ended) is ended. Linux reads the processes from /proc.
void KillProgramProcesses(qint64 programPid);
