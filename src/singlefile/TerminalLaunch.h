#pragma once

#include "tools/Invocation.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

// Run and Debug start their program in a terminal window that stays open
// until Enter and shows the program's exit status. The terminal runs Tarn
// itself with kWaitOption, which starts the program with its arguments
// (never through a shell) and then waits.

inline constexpr const char* kWaitOption = "--run-and-wait";

// A terminal program and the arguments that come before the command it is
// to run ("-e", "--", "-x" or none).
struct TerminalProgram {
    QString program;
    QStringList commandPrefix;
    friend bool operator==(const TerminalProgram&, const TerminalProgram&) = default;
};

// The terminal to use: $TERMINAL (given as terminalVariable; takes "-e"),
// then x-terminal-emulator, then a short list of common terminals, each as
// the finder (a PATH look-up in Tarn) finds it. nullopt when none is found.
std::optional<TerminalProgram> FindTerminal(const QString& terminalVariable,
                                            const std::function<QString(const QString&)>& find);

// The terminal's invocation: terminal, its prefix, the waiter program (Tarn),
// kWaitOption, the program and its arguments, in the working directory.
Invocation TerminalInvocation(const TerminalProgram& terminal, const QString& waiter,
                              const QString& program, const QStringList& arguments,
                              const QString& workingDirectory);

// The program Run starts for a command: a name without a folder that names
// a file in the working directory is that file (as the desktop's "open"
// would find it); anything else is taken as it stands (a bare name is then
// looked up in PATH).
QString ResolveRunCommand(const QString& command, const QString& workingDirectory);

// The waiter itself, run by "tarn --run-and-wait PROGRAM ARGS...": starts the
// program with the terminal's streams, waits for it, tells how it ended (or
// why it could not start) and waits for Enter. Returns the exit status to
// give back. Needs no Qt application object.
int RunAndWaitForEnter(int argc, char** argv);
