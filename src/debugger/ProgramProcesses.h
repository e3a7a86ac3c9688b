#pragma once

#include <QtGlobal>

// Ends a debugged program with everything it started. gdb starts the
// program on Tarn's terminal as the leader of a session and a process
// group of its own: SIGKILL goes to the group, and to every process still
// in the program's session, so a child that moved itself into a group of
// its own (a daemon-like fork) ends too. Only a session the program leads
// is swept, never Tarn's or gdb's own. Linux reads the sessions from /proc.
void KillProgramProcesses(qint64 programPid);
