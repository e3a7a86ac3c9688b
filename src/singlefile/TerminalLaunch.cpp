#include "singlefile/TerminalLaunch.h"

#include <QDir>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
extern char** environ;

std::optional<TerminalProgram> FindTerminal(const QString& terminalVariable,
                                            const std::function<QString(const QString&)>& find)
{
    const QString dash_e = QStringLiteral("-e");
    struct Known {
        const char* name;
        QStringList prefix;
    };
    const std::vector<Known> known{
        {"x-terminal-emulator", {dash_e}}, {"xterm", {dash_e}},
        {"gnome-terminal", {QStringLiteral("--")}}, {"konsole", {dash_e}},
        {"xfce4-terminal", {QStringLiteral("-x")}}, {"mate-terminal", {QStringLiteral("-x")}},
        {"terminator", {QStringLiteral("-x")}}, {"kitty", {}}, {"alacritty", {dash_e}},
        {"foot", {}}, {"urxvt", {dash_e}}, {"st", {dash_e}},
    };
    if (!terminalVariable.trimmed().isEmpty()) {
        const QString found = find(terminalVariable.trimmed());
        if (!found.isEmpty())
            return TerminalProgram{found, {dash_e}};
    }
    for (const Known& terminal : known) {
        const QString found = find(QLatin1String(terminal.name));
        if (!found.isEmpty())
            return TerminalProgram{found, terminal.prefix};
    }
    return std::nullopt;
}

Invocation TerminalInvocation(const TerminalProgram& terminal, const QString& waiter,
                              const QString& program, const QStringList& arguments,
                              const QString& workingDirectory)
{
    Invocation invocation;
    invocation.program = terminal.program;
    invocation.arguments = terminal.commandPrefix;
    invocation.arguments << waiter << QLatin1String(kWaitOption) << program << arguments;
    invocation.workingDirectory = workingDirectory;
    return invocation;
}

QString ResolveRunCommand(const QString& command, const QString& workingDirectory)
{
    if (command.isEmpty() || command.contains(u'/'))
        return command;
    const QFileInfo local(QDir(workingDirectory).filePath(command));
    if (local.isFile())
        return local.absoluteFilePath();
    return command;
}

int RunAndWaitForEnter(int argc, char** argv)
{
    int status = 0;
    if (argc < 1 || argv[0] == nullptr || argv[0][0] == '\0') {
        std::printf("Tarn: there is no program to run.\n");
        status = 127;
    } else {
        std::vector<char*> args(argv, argv + argc);
        args.push_back(nullptr);
        // Ctrl+C and Ctrl+\ are the program's (gdb interrupts its program
        // with them): the waiter stays to show the status; the program gets
        // the default handling back.
        signal(SIGINT, SIG_IGN);
        signal(SIGQUIT, SIG_IGN);
        posix_spawnattr_t attributes;
        posix_spawnattr_init(&attributes);
        sigset_t defaults;
        sigemptyset(&defaults);
        sigaddset(&defaults, SIGINT);
        sigaddset(&defaults, SIGQUIT);
        posix_spawnattr_setsigdefault(&attributes, &defaults);
        posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF);
        pid_t pid = 0;
        std::fflush(stdout);
        const int error = posix_spawnp(&pid, argv[0], nullptr, &attributes, args.data(), environ);
        posix_spawnattr_destroy(&attributes);
        if (error != 0) {
            std::printf("Tarn could not start \"%s\": %s\n", argv[0], std::strerror(error));
            status = 127;
        } else {
            int wstatus = 0;
            while (waitpid(pid, &wstatus, 0) < 0 && errno == EINTR) {
            }
            if (WIFEXITED(wstatus)) {
                status = WEXITSTATUS(wstatus);
                std::printf("\n\"%s\" ended with exit status %d.\n", argv[0], status);
            } else if (WIFSIGNALED(wstatus)) {
                status = 128 + WTERMSIG(wstatus);
                std::printf("\n\"%s\" was ended by signal %d (%s).\n", argv[0], WTERMSIG(wstatus),
                            strsignal(WTERMSIG(wstatus)));
            }
        }
    }
    std::printf("Press Enter to close this window.");
    std::fflush(stdout);
    int c = 0;
    while ((c = std::getchar()) != EOF && c != '\n') {
    }
    return status;
}
