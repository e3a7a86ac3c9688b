// What `tarn --build/--rebuild` and the exported Makefile do with broken
// sources and hostile file names, with the real gcc and make.
#include "support/TarnRun.h"
#include "support/TestSupport.h"

#include "project/BuildSteps.h"
#include "project/ProjectFileCodec.h"
#include "tools/PathBytes.h"

#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

using tarntest::Finished;
using tarntest::runTarn;
using testsupport::programOutput;
using testsupport::writeBytes;

bool exists(const QString& path)
{
    struct stat status{};
    return ::stat(PathToBytes(path).constData(), &status) == 0;
}

Finished runMake(const QString& directory)
{
    QProcess make;
    make.setWorkingDirectory(directory);
    make.start("make", {"-f", "Makefile"});
    EXPECT_TRUE(make.waitForFinished(120000));
    return {make.exitCode(), make.readAllStandardOutput(), make.readAllStandardError()};
}

// b.c includes b.h; once b.h breaks, b.c no longer compiles, but its old
// object is still there and still newer than b.c. The build must not link
// it: with one compile at a time or several, the rows stop after "Ending
// Compilation" with no link, and the status is 1.
TEST(HonestBuild, AFailedCompileNeverLinksTheOldObject)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QByteArray root = QFile::encodeName(dir.path());
    ASSERT_TRUE(writeBytes(root + "/a.c", "int b(void);\nint main(void) { return b(); }\n"));
    ASSERT_TRUE(writeBytes(root + "/b.h", "#define ZERO 0\n"));
    ASSERT_TRUE(writeBytes(root + "/b.c", "#include \"b.h\"\nint b(void) { return ZERO; }\n"));
    ProjectFile project;
    project.sources = {dir.filePath("a.c"), dir.filePath("b.c")};
    const QString projectPath = dir.filePath("p.tarn");
    ASSERT_TRUE(SaveProjectFile(projectPath, project));
    ASSERT_EQ(runTarn(dir, {"--build", projectPath}).status, 0);

    // Up to date: a build with compiles side by side compiles nothing and
    // only links.
    const Finished current = runTarn(dir, {"--build", "--jobs", "2", projectPath});
    EXPECT_EQ(current.status, 0);
    EXPECT_FALSE(current.out.contains("compiling ")) << current.out.toStdString();
    EXPECT_TRUE(current.out.contains("Linking project"));

    ASSERT_TRUE(writeBytes(root + "/b.h", "#define ZERO 0 +\n"));
    for (const QStringList& extra : {QStringList{}, QStringList{"--jobs", "2"}}) {
        SCOPED_TRACE(extra.join(' ').toStdString());
        const Finished broken = runTarn(dir, QStringList{"--rebuild", projectPath} + extra);
        EXPECT_EQ(broken.status, 1);
        EXPECT_TRUE(broken.out.contains("error")) << broken.out.toStdString();
        EXPECT_FALSE(broken.out.contains("Linking project")) << broken.out.toStdString();
        EXPECT_TRUE(broken.out.endsWith("Ending Compilation\n\n"));
    }

    // Every compile clean but the link fails: status 1 as well.
    ASSERT_TRUE(writeBytes(root + "/b.h", "#define ZERO 0\n"));
    ASSERT_TRUE(writeBytes(root + "/a.c", "int missing(void);\nint main(void) { return missing(); }\n"));
    // The sources just written must be newer than the objects: on a file
    // system with coarse times they could have the same time, which counts
    // as current. The objects are made an hour older.
    int objects = 0;
    for (QDirIterator it(dir.path(), {"*.o"}, QDir::Files, QDirIterator::Subdirectories); it.hasNext();) {
        QFile object(it.next());
        ASSERT_TRUE(object.open(QIODevice::ReadWrite)) << object.fileName().toStdString();
        ASSERT_TRUE(object.setFileTime(QDateTime::currentDateTime().addSecs(-3600),
                                       QFileDevice::FileModificationTime));
        ++objects;
    }
    ASSERT_GE(objects, 1);
    const Finished unlinked = runTarn(dir, {"--build", projectPath});
    EXPECT_EQ(unlinked.status, 1);
    EXPECT_TRUE(unlinked.out.contains("Link errors:")) << unlinked.out.toStdString();
}

// Source names that hold make's and the shell's characters: `tarn --build`
// and make on the exported Makefile build the same objects and the same
// program, and nothing in a name ever runs.
TEST(HonestBuild, HostileNamesBuildTheSameThroughTarnAndMake)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QByteArray root = QFile::encodeName(dir.path());
    const QList<QByteArray> names = {
        "my file.c",      "$(touch PWNED).c", "`touch PWNED`.c", "a=b.c",        "x|y.c",
        "h#sh.c",         "c:olon.c",         "star*.c",         "q?.c",         "br[ack]et.c",
        "back\\slash.c",  "bs\\ blank.c",     "bs\\#hash.c",     "it's.c",       "quo\"te.c",
        "dollar$HOME.c",  "amp&lt<gt>.c",     "paren(.c",        "~tilde!.c",    "caret^{}.c",
        "latin\xE9.c",      "-dash.c",          "odd dir $@:/sub.c", "ctl\x01.c",
    };
    ProjectFile project;
    QByteArray declarations;
    QByteArray calls;
    for (int i = 0; i < names.size(); ++i) {
        const QByteArray n = QByteArray::number(i);
        ASSERT_TRUE(writeBytes(root + "/src/" + names[i], "int f" + n + "(void) { return " + n + "; }\n"));
        project.sources << PathFromBytes(root + "/src/" + names[i]);
        declarations += "int f" + n + "(void);\n";
        calls += " + f" + n + "()";
    }
    ASSERT_TRUE(writeBytes(root + "/src/main.c", "#include <stdio.h>\n" + declarations +
                                                     "int main(void) { printf(\"%d\\n\", 0" +
                                                     calls + "); return 0; }\n"));
    project.sources << dir.filePath("src/main.c");
    project.outputName = dir.filePath("out/pro gram=$1.exe");
    ASSERT_TRUE(QDir().mkpath(dir.filePath("out")));
    project.options.otherOptions = "-DD=$HOME '-DQ=a b' -O1";
    const QString projectPath = dir.filePath("p.tarn");
    ASSERT_TRUE(SaveProjectFile(projectPath, project));
    const QByteArray expected = QByteArray::number(names.size() * (names.size() - 1) / 2) + "\n";

    const Finished built = runTarn(dir, {"--rebuild", projectPath});
    ASSERT_EQ(built.status, 0) << built.out.toStdString();
    EXPECT_EQ(programOutput(project.outputName), expected);

    for (const QString& source : project.sources)
        ASSERT_EQ(::unlink(PathToBytes(SourceObject(source)).constData()), 0) << source.toStdString();
    ASSERT_TRUE(QFile::remove(project.outputName));
    const Finished exported = runTarn(dir, {"--export-makefile", projectPath});
    ASSERT_EQ(exported.status, 0) << exported.err.toStdString();
    const Finished made = runMake(dir.path());
    EXPECT_EQ(made.status, 0) << made.err.toStdString();
    for (const QString& source : project.sources)
        EXPECT_TRUE(exists(SourceObject(source))) << source.toStdString();
    EXPECT_EQ(programOutput(project.outputName), expected);
    // Up to date now: make has nothing to do.
    EXPECT_TRUE(runMake(dir.path()).out.contains("is up to date")) << made.out.toStdString();
    EXPECT_FALSE(QFile::exists(dir.filePath("PWNED")));
    EXPECT_FALSE(QFile::exists(dir.filePath("src/PWNED")));
    // The byte-named object goes with the folder.
    ::unlink(root + "/src/latin\xE9.c");
    ::unlink(root + "/src/latin\xE9.o");
}

// A name make cannot read back is refused: nothing is written, the name
// and the reason go to standard error, status 1. tarn's own build is not
// bothered by the name.
TEST(HonestBuild, NamesMakeCannotReadAreRefusedByTheExport)
{
    struct Case {
        QByteArray source;
        QString outputName;
        const char* reason;
    };
    const Case cases[] = {
        {"tab\t`touch PWNED`.c", "", "holding a tab"},
        {"semi;touch PWNED.c", "", "the start of a recipe"},
        {"ok.c", "100%.exe", "as a pattern"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.reason);
        QTemporaryDir dir;
        ASSERT_TRUE(dir.isValid());
        const QByteArray source = QFile::encodeName(dir.path()) + "/" + c.source;
        ASSERT_TRUE(writeBytes(source, "int main(void) { return 0; }\n"));
        ProjectFile project;
        project.sources = {PathFromBytes(source)};
        project.outputName = c.outputName;
        const QString projectPath = dir.filePath("p.tarn");
        ASSERT_TRUE(SaveProjectFile(projectPath, project));
        const Finished exported = runTarn(dir, {"--export-makefile", projectPath});
        EXPECT_EQ(exported.status, 1);
        EXPECT_TRUE(exported.err.contains("Error: cannot write a Makefile rule for ")) << exported.err.toStdString();
        EXPECT_TRUE(exported.err.contains(c.reason)) << exported.err.toStdString();
        EXPECT_FALSE(exported.out.contains("Wrote file"));
        EXPECT_FALSE(QFile::exists(dir.filePath("Makefile")));
        EXPECT_EQ(runTarn(dir, {"--build", projectPath}).status, 0);
        EXPECT_FALSE(QFile::exists(dir.filePath("PWNED")));
    }
}

} // namespace
