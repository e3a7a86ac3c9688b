#pragma once

#include <QStringList>

#include <optional>

class QIODevice;

// Tarn without a window, for scripts: `tarn --functions FILE...`, the
// project commands of CommandLineBuild.h, --help and --version. Nothing
// here touches QtGui or QtWidgets, so a run needs no display.

// The whole command line taken apart. Options may come in any order and
// before or after the files; "--" ends the options (a file may then start
// with '-'). The toolkit's own window options (-platform NAME, -style NAME,
// -session ID, -reverse, ...) are left to the window and skipped here.
struct CommandLineRequest {
    enum class Mode {
        Window, // no option of Tarn's: open the files (if any) in windows
        Help,
        Version,
        Functions,
        Build,
        Rebuild,
        ExportMakefile,
        ExportCompileCommands,
        UsageError,
    };
    Mode mode = Mode::Window;
    // The command's option as typed ("--build"), for its messages.
    QString option;
    QStringList files;
    // The value of --jobs, when given.
    std::optional<QString> jobs;
    // Why the command line was refused (UsageError).
    QString error;
};
CommandLineRequest ParseCommandLine(const QStringList& arguments);

// The program's arguments (without its name), each decoded as a path whose
// bytes are kept (PathBytes.h).
QStringList ArgumentsFromArgv(int argc, char** argv);

// Called first thing by main() with the process's arguments. When the
// command line asks for a run without a window (or is refused), makes a
// QCoreApplication, runs it with standard output and error, and returns
// the exit status; otherwise returns nothing and the program starts its
// windows as usual. A write to standard output that fails (a full disk,
// /dev/full) is reported and makes the status 1.
std::optional<int> RunHeadless(int& argc, char** argv);
