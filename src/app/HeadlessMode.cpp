#include "app/HeadlessMode.h"

#include "editor/SourceScanner.h"
#include "project/CommandLineBuild.h"

#include <QCoreApplication>
#include <QFile>

#include <cstdio>

namespace {

// What a command writes to: rows to `out`, complaints to `err`.
struct HeadlessOutput {
    QIODevice& out;
    QIODevice& err;
    void error(const QByteArray& text) { err.write("tarn: " + text + '\n'); }
};

// A command takes the arguments after its option and returns the exit status.
using HeadlessCommand = int (*)(const QStringList& arguments, HeadlessOutput& io);

// `--functions FILE...`: every definition as PATH:LINE: NAME (1-based
// lines, the shape of a compiler diagnostic), in scan order.
int listFunctions(const QStringList& files, HeadlessOutput& io)
{
    if (files.isEmpty()) {
        io.error("--functions needs at least one FILE");
        return 2;
    }
    int status = 0;
    for (const QString& path : files) {
        const std::optional<QByteArray> bytes = readSourceFile(path);
        if (!bytes) {
            io.error("cannot read " + QFile::encodeName(path));
            status = 1;
            continue;
        }
        const QByteArray prefix = QFile::encodeName(path) + ':';
        QByteArray rows;
        for (const ScannedDefinition& d : ScanDefinitions(*bytes))
            rows += prefix + QByteArray::number(d.line + 1) + ": " + d.name + '\n';
        io.out.write(rows);
    }
    return status;
}

int buildProject(const QStringList& arguments, HeadlessOutput& io)
{
    return RunProjectCommand(QStringLiteral("--build"), arguments, io.out, io.err);
}

int rebuildProject(const QStringList& arguments, HeadlessOutput& io)
{
    return RunProjectCommand(QStringLiteral("--rebuild"), arguments, io.out, io.err);
}

int exportProjectMakefile(const QStringList& arguments, HeadlessOutput& io)
{
    return RunProjectCommand(QStringLiteral("--export-makefile"), arguments, io.out, io.err);
}

int exportCompileCommands(const QStringList& arguments, HeadlessOutput& io)
{
    return RunProjectCommand(QStringLiteral("--export-compile-commands"), arguments, io.out, io.err);
}

int showHelp(const QStringList&, HeadlessOutput& io)
{
    io.out.write("Usage: tarn [FILE]...        open sources and projects (.tarn) in windows\n"
                 "       tarn OPTION ARGUMENTS  work without a window:\n"
                 "  --functions FILE...       list each function definition as FILE:LINE: NAME\n" +
                 ProjectCommandHelp() +
                 "  --help                    show this text\n");
    return 0;
}

struct HeadlessOption {
    const char* name;
    HeadlessCommand run;
};

// Add new command-line options here.
const HeadlessOption kOptions[] = {
    {"--functions", listFunctions},
    {"--build", buildProject},
    {"--rebuild", rebuildProject},
    {"--export-makefile", exportProjectMakefile},
    {"--export-compile-commands", exportCompileCommands},
    {"--help", showHelp},
};

const HeadlessOption* findOption(const QStringList& arguments)
{
    if (arguments.isEmpty())
        return nullptr;
    for (const HeadlessOption& option : kOptions) {
        if (arguments.first() == QLatin1String(option.name))
            return &option;
    }
    return nullptr;
}

} // namespace

bool IsHeadlessRequest(const QStringList& arguments)
{
    return findOption(arguments) != nullptr;
}

std::optional<int> RunHeadless(const QStringList& arguments, QIODevice& out, QIODevice& err)
{
    const HeadlessOption* option = findOption(arguments);
    if (!option)
        return std::nullopt;
    HeadlessOutput io{out, err};
    return option->run(arguments.mid(1), io);
}

std::optional<int> RunHeadless(int& argc, char** argv)
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    if (!IsHeadlessRequest(arguments))
        return std::nullopt;
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Tarn"));
    QFile out;
    QFile err;
    if (!out.open(stdout, QIODevice::WriteOnly) || !err.open(stderr, QIODevice::WriteOnly)) {
        std::fputs("tarn: cannot write to the standard streams\n", stderr);
        return 1;
    }
    const std::optional<int> status = RunHeadless(arguments, out, err);
    out.flush();
    err.flush();
    return status;
}
