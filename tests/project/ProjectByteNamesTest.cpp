// A source whose file name is not UTF-8 (ISO-8859-1 "latin\xE9.c") built
// with the real gcc through `tarn --rebuild` (the engine Rebuild All runs):
// the name reaches gcc, the object is found beside the source and linked,
// and the rows show the name's own bytes. (The program it links runs in
// HonestBuild.HostileNamesBuildTheSameThroughTarnAndMake.)
#include "project/BuildSteps.h"
#include "project/ProjectFileCodec.h"
#include "tools/PathBytes.h"

#include "support/TarnRun.h"
#include "support/TestSupport.h"

#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdio>

#include <sys/stat.h>
#include <unistd.h>

namespace {

using testsupport::writeBytes;

bool exists(const QByteArray& path)
{
    struct stat status {};
    return ::stat(path.constData(), &status) == 0;
}

class ByteNames : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        root = PathToBytes(dir.path());
        ASSERT_TRUE(writeBytes(root + "/latin\xE9.c", "int twice(int x) { return 2 * x; }\n"));
        ASSERT_TRUE(writeBytes(root + "/main.c", "int twice(int);\n"
                                                 "int main(void) { return twice(21) - 42; }\n"));
        gcc = QStandardPaths::findExecutable("gcc");
        ASSERT_FALSE(gcc.isEmpty());
    }
    void TearDown() override
    {
        // QTemporaryDir cannot remove names that are not UTF-8.
        ::unlink((root + "/latin\xE9.c").constData());
        ::unlink((root + "/latin\xE9.o").constData());
    }
    ProjectFile project(const QByteArray& latinName = "latin\xE9.c") const
    {
        ProjectFile file = NewProjectFile(0);
        file.sources << PathFromBytes(root + '/' + latinName) << PathFromBytes(root + "/main.c");
        return file;
    }

    QTemporaryDir dir;
    QByteArray root;
    QString gcc;
};

// The real program on a .tarn that holds the byte string: gcc gets the
// name, standard output gives its bytes back.
TEST_F(ByteNames, TarnBuildCompilesASourceNamedInBytes)
{
    // The file's bytes, whatever the codec does with such a name: an ASCII
    // stand-in of the same length, then the byte put in its place.
    QByteArray tarn = EncodeProjectFile(project("latin_.c"));
    ASSERT_EQ(tarn.count("latin_.c"), 1);
    tarn.replace("latin_.c", "latin\xE9.c");
    const std::optional<ProjectFile> decoded = DecodeProjectFile(tarn);
    ASSERT_TRUE(decoded);
    ASSERT_EQ(decoded->sources.first(), project().sources.first());
    ASSERT_TRUE(writeBytes(root + "/p.tarn", tarn));
    const tarntest::Finished run = tarntest::runTarn(dir, {"--rebuild", dir.filePath("p.tarn")});
    const QByteArray& out = run.out;
    EXPECT_EQ(run.status, 0) << out.toStdString() << run.err.toStdString();
    EXPECT_TRUE(out.contains("compiling " + root + "/latin\xE9.c with command line of:\n" +
                             PathToBytes(gcc) + " -c " + root + "/latin\xE9.c \n" +
                             "No warnings or errors recieved from gcc\n"))
        << out.toStdString();
    EXPECT_TRUE(out.contains(" " + root + "/latin\xE9.o "));
    EXPECT_TRUE(exists(root + "/latin\xE9.o"));
}

} // namespace
