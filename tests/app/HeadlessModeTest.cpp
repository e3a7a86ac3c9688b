#include "app/HeadlessMode.h"
#include "support/TarnRun.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QDir>
#include <QProcess>
#include <QTemporaryDir>

#include <sys/stat.h>

namespace {

using tarntest::Finished;
using tarntest::runProgram;
using tarntest::runTarn;

QString writeFile(const QTemporaryDir& dir, const char* name, const QByteArray& bytes)
{
    QFile file(dir.filePath(name));
    EXPECT_TRUE(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
    return file.fileName();
}

// --functions lists every readable file and reports each other one with
// the reason, then goes on: a missing file, a 40 GB sparse file (never
// read into memory), a folder. A name that is not UTF-8 is read and
// printed with its own bytes.
TEST(HeadlessMode, FunctionsListsEveryFileAndSaysWhyOneCannotBeRead)
{
    QTemporaryDir dir;
    const QString a =
        writeFile(dir, "a.c", "int main(void)\r\n{\r\n}\r\n\r\nvoid Shape::draw() const {}\n");
    const QString b = writeFile(dir, "b.c", "int f(int);\n");
    const QString c = writeFile(dir, "c.c", "\n\nstatic int g() {}");
    const QString missing = dir.filePath("missing.c");
    QFile huge(dir.filePath("huge.c"));
    ASSERT_TRUE(huge.open(QIODevice::WriteOnly));
    ASSERT_TRUE(huge.resize(qint64(40) << 30));
    huge.close();
    const Finished run = runTarn({"--functions", a, missing, b, huge.fileName(), dir.path(), c});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, (a + ":1: main\n" + a + ":5: Shape::draw\n" + c + ":3: g\n").toUtf8());
    EXPECT_EQ(run.err, ("tarn: cannot read " + missing + ": no such file\ntarn: cannot read " +
                        huge.fileName() + ": file too large\ntarn: cannot read " + dir.path() +
                        ": it is a folder\n")
                           .toUtf8());

    // An ISO-8859-1 name, given and printed as its bytes (the shell makes
    // the byte; Qt's own process start would encode the name as UTF-8).
    const QByteArray latinName = "latin\xE9.c";
    {
        const QByteArray path = QFile::encodeName(dir.path()) + '/' + latinName;
        FILE* file = std::fopen(path.constData(), "wb");
        ASSERT_NE(file, nullptr);
        std::fputs("int latin(void) { return 1; }\n", file);
        std::fclose(file);
    }
    const Finished bytes = runProgram(
        "/bin/sh", {"-c", "exec \"$0\" --functions \"$(printf 'latin\\351.c')\"", TARN_EXECUTABLE},
        tarntest::headlessEnvironment(), dir.path());
    EXPECT_EQ(bytes.status, 0) << bytes.err.toStdString();
    EXPECT_EQ(bytes.out, latinName + ":1: latin\n");
    std::remove((QFile::encodeName(dir.path()) + '/' + latinName).constData());
}

// The whole command line is read, options in any order, without a display
// in every case; usage errors go to standard error with status 2.
TEST(HeadlessMode, OptionsAnywhereHelpVersionAndUsageErrors)
{
    QTemporaryDir dir;
    const QString missingProject = dir.filePath("missing.tarn");
    struct Case {
        QStringList arguments;
        int status;
        QByteArray outStart; // the start of standard output
        QByteArray errPart;  // part of standard error ("" : none at all)
    };
    const Case cases[] = {
        {{"--help"}, 0, "Usage: tarn [FILE]...", ""},
        {{"-h"}, 0, "Usage: tarn [FILE]...", ""},
        {{"--build", "--help"}, 0, "Usage: tarn [FILE]...", ""},
        {{"--version"}, 0, "tarn 3.4.0\n", ""},
        {{"hello.c", "--version"}, 0, "tarn 3.4.0\n", ""},
        {{"--frob"}, 2, "", "tarn: unknown option --frob\n"},
        {{"-x", "hello.c"}, 2, "", "tarn: unknown option -x\n"},
        {{"--build", missingProject, "--jobs"}, 2, "", "tarn: --jobs needs the number"},
        {{"--jobs", "2", "hello.c"}, 2, "", "--jobs goes only with --build and --rebuild"},
        {{"--build", "--rebuild", missingProject}, 2, "", "cannot be given together"},
        {{"--build"}, 2, "", "--build needs exactly one project file"},
        {{"--functions"}, 2, "", "--functions needs at least one FILE"},
        // Options after the project, or --jobs first: the project is read.
        {{"--jobs", "2", "--build", missingProject}, 2, "", "missing.tarn: It could not be read"},
        {{missingProject, "--rebuild", "--jobs=3"}, 2, "", "missing.tarn: It could not be read"},
    };
    for (const Case& c : cases) {
        const std::string label = c.arguments.join(' ').toStdString();
        const Finished run = runTarn(c.arguments);
        EXPECT_EQ(run.status, c.status) << label;
        EXPECT_TRUE(run.out.startsWith(c.outStart)) << label << ": " << run.out.toStdString();
        if (c.outStart.isEmpty()) {
            EXPECT_TRUE(run.out.isEmpty()) << label;
        }
        if (c.errPart.isEmpty()) {
            EXPECT_TRUE(run.err.isEmpty()) << label << ": " << run.err.toStdString();
        } else {
            EXPECT_TRUE(run.err.contains(c.errPart)) << label << ": " << run.err.toStdString();
        }
    }
    const Finished help = runTarn({"--help"});
    for (const char* option : {"--functions", "--build", "--jobs", "--version", "--help"})
        EXPECT_TRUE(help.out.contains(option)) << option;
}

// A standard output that cannot take the rows is an error, as for any
// command-line tool: reported on standard error, status 1.
TEST(HeadlessMode, AFailedWriteToStandardOutputIsAnError)
{
    QTemporaryDir dir;
    const QString a = writeFile(dir, "a.c", "int main(void) { return 0; }\n");
    for (const QStringList& arguments :
         {QStringList{"--functions", a}, QStringList{"--help"}, QStringList{"--version"}}) {
        const Finished run = runProgram(TARN_EXECUTABLE, arguments, tarntest::headlessEnvironment(),
                                        QString(), "/dev/full");
        EXPECT_EQ(run.status, 1) << arguments.join(' ').toStdString();
        EXPECT_EQ(run.err, "tarn: cannot write to standard output: No space left on device\n")
            << arguments.join(' ').toStdString();
    }
}

// A project "file" that is a FIFO, a device or a folder is refused at once
// instead of blocking (a FIFO's open waits for a writer) or being read
// without end.
TEST(HeadlessMode, AProjectThatIsNotARegularFileIsRefusedAtOnce)
{
    QTemporaryDir dir;
    const QString fifo = dir.filePath("fifo.tarn");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0644), 0);
    struct Case {
        QString path;
        const char* reason;
    };
    const Case cases[] = {
        {fifo, "It is not a regular file."},
        {"/dev/zero", "It is not a regular file."},
        {dir.path(), "It is a folder, not a project file."},
    };
    for (const Case& c : cases) {
        for (const char* option : {"--build", "--rebuild", "--export-makefile"}) {
            const Finished run = runTarn({option, c.path});
            EXPECT_EQ(run.status, 2) << option << ' ' << c.path.toStdString();
            EXPECT_EQ(run.err, ("tarn: " + c.path + ": " + c.reason + "\n").toUtf8())
                << option << ' ' << c.path.toStdString();
        }
    }
}

TEST(HeadlessMode, CommandLineParsing)
{
    using Mode = CommandLineRequest::Mode;
    struct Case {
        QStringList arguments;
        Mode mode;
        QStringList files;
        std::optional<QString> jobs;
    };
    const Case cases[] = {
        {{}, Mode::Window, {}, {}},
        {{"hello.c"}, Mode::Window, {"hello.c"}, {}},
        {{"-platform", "offscreen", "hello.c", "-reverse"}, Mode::Window, {"hello.c"}, {}},
        {{"-"}, Mode::Window, {"-"}, {}},
        {{"hello.c", "--functions", "b.c"}, Mode::Functions, {"hello.c", "b.c"}, {}},
        {{"--functions", "--", "-odd.c", "--build"}, Mode::Functions, {"-odd.c", "--build"}, {}},
        {{"--jobs", "2", "--build", "p.tarn"}, Mode::Build, {"p.tarn"}, "2"},
        {{"p.tarn", "--rebuild", "--jobs=0"}, Mode::Rebuild, {"p.tarn"}, "0"},
        {{"--export-makefile", "p.tarn"}, Mode::ExportMakefile, {"p.tarn"}, {}},
        {{"--export-compile-commands", "p.tarn"}, Mode::ExportCompileCommands, {"p.tarn"}, {}},
        {{"--help", "--frob"}, Mode::UsageError, {}, {}},
        {{"-h"}, Mode::Help, {}, {}},
        {{"--version", "--build"}, Mode::Version, {}, {}},
        {{"--jobs"}, Mode::UsageError, {}, {}},
        {{"-style"}, Mode::UsageError, {}, {}},
        {{"--build", "a.tarn", "b.tarn"}, Mode::UsageError, {}, {}},
        {{"--functions", "a.c", "--build"}, Mode::UsageError, {}, {}},
        {{"--rebuild=p.tarn"}, Mode::UsageError, {}, {}},
    };
    for (const Case& c : cases) {
        const std::string label = c.arguments.join(' ').toStdString();
        const CommandLineRequest request = ParseCommandLine(c.arguments);
        EXPECT_EQ(request.mode, c.mode) << label;
        EXPECT_EQ(request.error.isEmpty(), c.mode != Mode::UsageError) << label;
        if (c.mode == Mode::UsageError)
            continue;
        EXPECT_EQ(request.files, c.files) << label;
        EXPECT_EQ(request.jobs, c.jobs) << label;
    }
}

} // namespace
