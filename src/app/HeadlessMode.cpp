#include "app/HeadlessMode.h"

#include "app/StopSignals.h"
#include "messages/MessageSink.h"
#include "editor/SourceScanner.h"
#include "project/CommandLineBuild.h"
#include "tools/JobManager.h"
#include "tools/PathBytes.h"
#include "tools/ProcessTree.h"
#include "tools/StopJobs.h"

#include <QCoreApplication>
#include <QFile>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include <signal.h>
#include <unistd.h>

#ifndef TARN_VERSION
#define TARN_VERSION "unknown"
#endif

namespace {

using Mode = CommandLineRequest::Mode;

// What a command writes to: rows to `out`, complaints to `err`.
struct HeadlessOutput {
    QIODevice& out;
    QIODevice& err;
    void error(const QByteArray& text) { err.write("tarn: " + text + '\n'); }
};

// `--functions FILE...`: every definition as PATH:LINE: NAME (1-based
// lines, the shape of a compiler diagnostic), in scan order. A file that
// cannot be read whole is reported with the reason, and the rest go on.
int listFunctions(const QStringList& files, HeadlessOutput& io)
{
    int status = 0;
    for (const QString& path : files) {
        QString reason;
        const std::optional<QByteArray> bytes = readSourceFile(path, &reason);
        if (!bytes) {
            io.error("cannot read " + PathToBytes(path) + ": " + reason.toUtf8());
            status = 1;
            continue;
        }
        const QByteArray prefix = PathToBytes(path) + ':';
        QByteArray rows;
        for (const ScannedDefinition& d : ScanDefinitions(*bytes))
            rows += prefix + QByteArray::number(d.line + 1) + ": " + d.name + '\n';
        io.out.write(rows);
    }
    return status;
}

QByteArray usage()
{
    return "Usage: tarn [FILE]...        open sources and projects (.tarn) in windows\n"
           "       tarn OPTION ARGUMENTS  work without a window:\n"
           "  --functions FILE...       list each function definition as FILE:LINE: NAME\n" +
           ProjectCommandHelp() +
           "  --help, -h                show this text\n"
           "  --version                 show Tarn's version\n"
           "  Options may come in any order; after \"--\" every argument is a file.\n"
           "  A build stopped by Ctrl+C, SIGTERM or SIGHUP stops its compilers, shows\n"
           "  what was built and exits with 128 + the signal's number. A build whose\n"
           "  standard output is closed (as by \"| head\") stops the same way and\n"
           "  exits with 141 (128 + SIGPIPE).\n";
}

struct OptionName {
    const char* name;
    Mode mode;
};

// Tarn's commands; add new command-line options here.
const OptionName kCommands[] = {
    {"--functions", Mode::Functions},
    {"--build", Mode::Build},
    {"--rebuild", Mode::Rebuild},
    {"--export-makefile", Mode::ExportMakefile},
    {"--export-compile-commands", Mode::ExportCompileCommands},
};

// The toolkit's options for its windows (QGuiApplication, QApplication):
// with a value, and without.
const char* const kToolkitOptionsWithValue[] = {
    "-platform", "-platformpluginpath", "-platformtheme", "-plugin",       "-display",
    "-geometry", "-qwindowgeometry",    "-qwindowicon",   "-qwindowtitle", "-session",
    "-style",    "-stylesheet",         "-title",         "-name",
};
const char* const kToolkitFlags[] = {"-reverse", "-widgetcount", "-nograb", "-dograb", "-sync"};

template <size_t N> bool isOneOf(const QString& argument, const char* const (&names)[N])
{
    for (const char* name : names) {
        if (argument == QLatin1String(name))
            return true;
    }
    return false;
}

bool isProjectBuild(Mode mode)
{
    return mode == Mode::Build || mode == Mode::Rebuild;
}

int runRequest(const CommandLineRequest& request, HeadlessOutput& io, JobManager& jobs)
{
    switch (request.mode) {
    case Mode::Window:
        return 0;
    case Mode::UsageError:
        io.error(PathToBytes(request.error));
        io.err.write("Try 'tarn --help' for more information.\n");
        return 2;
    case Mode::Help:
        io.out.write(usage());
        return 0;
    case Mode::Version:
        io.out.write("tarn " TARN_VERSION "\n");
        return 0;
    case Mode::Functions:
        return listFunctions(request.files, io);
    case Mode::Build:
    case Mode::Rebuild:
    case Mode::ExportMakefile:
    case Mode::ExportCompileCommands:
        return RunProjectCommand(request.option, request.files, request.jobs, io.out, io.err, jobs);
    }
    return 2;
}

} // namespace

CommandLineRequest ParseCommandLine(const QStringList& arguments)
{
    CommandLineRequest request;
    bool help = false;
    bool version = false;
    QString error;
    auto refuse = [&error](const QString& text) {
        if (error.isEmpty())
            error = text;
    };
    bool optionsEnded = false;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments.at(i);
        if (optionsEnded || argument == QLatin1String("-") ||
            !argument.startsWith(QLatin1Char('-'))) {
            request.files << argument;
        } else if (argument == QLatin1String("--")) {
            optionsEnded = true;
        } else if (argument == QLatin1String("--help") || argument == QLatin1String("-h")) {
            help = true;
        } else if (argument == QLatin1String("--version")) {
            version = true;
        } else if (argument == QLatin1String("--jobs")) {
            if (i + 1 < arguments.size())
                request.jobs = arguments.at(++i);
            else
                refuse(QStringLiteral("--jobs needs the number of compiles to run at a time "
                                      "(0: one per core)"));
        } else if (argument.startsWith(QLatin1String("--jobs="))) {
            request.jobs = argument.mid(7);
        } else if (isOneOf(argument, kToolkitOptionsWithValue)) {
            if (i + 1 < arguments.size())
                ++i; // the window's, with its value
            else
                refuse(argument + QStringLiteral(" needs a value"));
        } else if (isOneOf(argument, kToolkitFlags)) {
            // the window's
        } else {
            const OptionName* command = nullptr;
            for (const OptionName& candidate : kCommands) {
                if (argument == QLatin1String(candidate.name))
                    command = &candidate;
            }
            if (!command)
                refuse(QStringLiteral("unknown option ") + argument);
            else if (request.mode != Mode::Window && request.mode != command->mode)
                refuse(request.option + QStringLiteral(" and ") + argument +
                       QStringLiteral(" cannot be given together"));
            else {
                request.mode = command->mode;
                request.option = argument;
            }
        }
    }
    if (error.isEmpty() && !help && !version) {
        if (request.jobs && !isProjectBuild(request.mode))
            refuse(QStringLiteral("--jobs goes only with --build and --rebuild"));
        else if (request.mode == Mode::Functions && request.files.isEmpty())
            refuse(QStringLiteral("--functions needs at least one FILE"));
        else if (request.mode != Mode::Window && request.mode != Mode::Functions &&
                 request.files.size() != 1)
            refuse(request.option + QStringLiteral(" needs exactly one project file (P.tarn)"));
    }
    if (!error.isEmpty()) {
        request.mode = Mode::UsageError;
        request.error = error;
    } else if (help) {
        request.mode = Mode::Help;
    } else if (version) {
        request.mode = Mode::Version;
    }
    return request;
}

QStringList ArgumentsFromArgv(int argc, char** argv)
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << PathFromBytes(argv[i]);
    return arguments;
}

std::optional<int> RunHeadless(int& argc, char** argv)
{
    const CommandLineRequest request = ParseCommandLine(ArgumentsFromArgv(argc, argv));
    if (request.mode == Mode::Window)
        return std::nullopt;
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Tarn"));
    // Unbuffered: each row reaches the file or pipe as soon as the build
    // shows it, so a build that is killed leaves what it had done.
    QFile out;
    QFile err;
    if (!out.open(STDOUT_FILENO, QIODevice::WriteOnly | QIODevice::Unbuffered) ||
        !err.open(STDERR_FILENO, QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        std::fputs("tarn: cannot write to the standard streams\n", stderr);
        return 1;
    }
    HeadlessOutput io{out, err};
    // The builds' jobs; a stop signal reaches them here.
    MessageChannel messages;
    JobManager jobs(messages);
    int status = 0;
    bool outputClosed = false;
    if (isProjectBuild(request.mode)) {
        // What the build's tools leave outside their groups is Tarn's to end.
        BecomeSubreaper();
        // Ctrl+C and the like stop the build the way Stop Build does; so
        // does a reader that closed standard output (SIGPIPE: the write
        // then fails with EPIPE instead of ending Tarn on the spot).
        StopSignals stopSignals([&jobs](int) { StopRunningJobs(jobs); },
                                {SIGINT, SIGTERM, SIGHUP, SIGPIPE});
        status = runRequest(request, io, jobs);
        EndAllDescendants();
        if (const int signal = stopSignals.caught()) {
            const char* name = ::sigabbrev_np(signal);
            io.error("stopped by " +
                     (name ? "SIG" + QByteArray(name) : "signal " + QByteArray::number(signal)));
            status = stopSignals.exitStatus();
            outputClosed = signal == SIGPIPE;
        }
    } else {
        status = runRequest(request, io, jobs);
    }
    // Every row must have arrived: a write that failed (a full disk,
    // /dev/full) or a close that fails is an error, as for any tool.
    out.flush();
    QString writeError = out.error() == QFileDevice::NoError ? QString() : out.errorString();
    out.close();
    if (writeError.isEmpty() && ::close(STDOUT_FILENO) != 0 && errno != EBADF)
        writeError = QString::fromLocal8Bit(std::strerror(errno));
    if (!writeError.isEmpty() && !outputClosed) {
        io.error("cannot write to standard output: " + writeError.toUtf8());
        if (status == 0)
            status = 1;
    }
    err.flush();
    return status;
}
