#include "project/ProjectFileCodec.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdlib>

#include <sys/stat.h>
#include <unistd.h>

namespace {

QByteArray le32(quint32 value)
{
    QByteArray bytes;
    for (int i = 0; i < 4; ++i)
        bytes.append(char((value >> (8 * i)) & 0xff));
    return bytes;
}

// The 46 bytes of a new project, with the given counts in front.
QByteArray header(quint32 sources, quint32 libraries, quint32 debugInfo = 0)
{
    return le32(sources) + le32(libraries) + le32(0) + le32(0) + le32(debugInfo) + le32(0)
           + le32(0) + le32(0) + QByteArray(1, '\0') + le32(0) + le32(0) + le32(0)
           + QByteArray(1, '\0');
}

TEST(ProjectFileCodec, ANewProjectIsFortySixBytes)
{
    EXPECT_EQ(EncodeProjectFile(NewProjectFile(0)), QByteArray(46, '\0'));
    EXPECT_EQ(EncodeProjectFile(NewProjectFile(1)), header(0, 0, 1));
}

TEST(ProjectFileCodec, StringLengthsTakeTheirThreeForms)
{
    struct Case {
        int length;
        QByteArray prefix;
    } const cases[] = {
        {0, QByteArray(1, '\0')},
        {254, QByteArray("\xfe")},
        {255, QByteArray("\xff\xff\x00", 3)},
        {65533, QByteArray("\xff\xfd\xff")},
        {65534, QByteArray("\xff\xff\xff\xfe\xff\x00\x00", 7)},
        {70000, QByteArray("\xff\xff\xff", 3) + le32(70000)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.length);
        ProjectFile project;
        project.options.otherOptions = QString(c.length, QLatin1Char('x'));
        const QByteArray bytes = EncodeProjectFile(project);
        EXPECT_EQ(bytes.mid(32, c.prefix.size()), c.prefix);
        EXPECT_EQ(bytes.size(), 46 + c.prefix.size() - 1 + c.length);
        const auto back = DecodeProjectFile(bytes);
        ASSERT_TRUE(back);
        EXPECT_EQ(*back, project);
    }
}

TEST(ProjectFileCodec, EveryFieldRoundTripsInItsPlace)
{
    ProjectFile project;
    project.options = {1, 2, 3, 7, "-DX=1  -I/usr/include ", 5, 6, -1, 8, 0x7fffffff};
    project.outputName = QStringLiteral("/home/ünï/out.exe");
    for (int i = 0; i < kProjectListCapacity; ++i) {
        project.sources << QStringLiteral("/src/dir %1/Größe%1.c").arg(i);
        project.libraries << QStringLiteral("lib%1").arg(i);
    }
    const QByteArray bytes = EncodeProjectFile(project);
    // The option fields stand in the file's own order.
    EXPECT_EQ(bytes.left(32), le32(500) + le32(500) + le32(1) + le32(5) + le32(0xffffffff)
                                  + le32(8) + le32(2) + le32(7));
    const QByteArray other = QFile::encodeName(project.options.otherOptions);
    EXPECT_EQ(bytes.mid(33 + other.size(), 12), le32(6) + le32(3) + le32(0x7fffffff));
    const auto back = DecodeProjectFile(bytes);
    ASSERT_TRUE(back);
    EXPECT_EQ(*back, project);
    EXPECT_EQ(EncodeProjectFile(*back), bytes);

    // Any string form is read, and bytes after the last string are not.
    const QByteArray longForm = header(1, 0).left(45) + QByteArray("\xff\xff\xff", 3) + le32(1)
                                + QByteArray("a") + QByteArray("\x03" "b.c" "trailing");
    const auto loose = DecodeProjectFile(longForm);
    ASSERT_TRUE(loose);
    EXPECT_EQ(loose->outputName, "a");
    EXPECT_EQ(loose->sources, QStringList{"b.c"});
}

TEST(ProjectFileCodec, DamagedFilesAreRefusedWhole)
{
    struct Case {
        const char* name;
        QByteArray bytes;
    };
    std::vector<Case> cases = {
        {"empty", QByteArray()},
        {"count -1", header(0xffffffff, 0)},
        {"count 501", header(501, 0) + QByteArray(501, '\0')},
        {"count 2^31-1", header(0x7fffffff, 0)},
        {"libraries -1", header(0, 0xffffffff)},
        {"libraries 501", header(0, 501) + QByteArray(501, '\0')},
        {"string length 0xFFFFFFFF", header(0, 0).left(32) + QByteArray("\xff\xff\xff", 3) + le32(0xffffffff)},
        {"length past the end", header(1, 0) + QByteArray("\x05" "abcd")},
        {"two-byte length past the end", header(1, 0) + QByteArray("\xff\x00\x01" "abc")},
        {"more sources than follow", header(3, 0) + QByteArray("\x01" "a" "\x01" "b")},
        {"libraries missing", header(1, 2) + QByteArray("\x01" "a" "\x01" "m")},
        {"length prefix cut", header(0, 0).left(32) + QByteArray("\xff\x10")},
    };
    const QByteArray valid = header(0, 0);
    for (int n = 1; n < 46; ++n)
        cases.push_back({"prefix of a new project", valid.left(n)});
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.name) + ", " + std::to_string(c.bytes.size()) + " bytes");
        QString error;
        EXPECT_FALSE(DecodeProjectFile(c.bytes, &error));
        EXPECT_TRUE(error.startsWith("It is not a valid project file: ")) << error.toStdString();
    }
    QString error;
    DecodeProjectFile(header(501, 0), &error);
    EXPECT_EQ(error, "It is not a valid project file: it announces 501 sources; a project "
                     "holds 0 to 500.");
}

TEST(ProjectFileCodec, LoadingRefusesWhatIsNotAProjectFile)
{
    QTemporaryDir dir;
    QString error;
    // A 200 MB file is mapped, not read: a huge first count or a huge string
    // length is refused without touching the rest.
    const QString huge = dir.filePath("huge.tarn");
    QFile file(huge);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(header(0, 0).left(32) + QByteArray("\xff\xff\xff", 3) + le32(0xf0000000));
    ASSERT_TRUE(file.resize(200 * 1024 * 1024));
    file.close();

    const QString locked = dir.filePath("locked.tarn");
    ASSERT_TRUE(SaveProjectFile(locked, NewProjectFile(1), &error));
    QFile::setPermissions(locked, QFileDevice::WriteOwner);

    // Refused before it is opened: opening it would wait for a writer.
    const QString fifo = dir.filePath("fifo.tarn");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);

    struct Case {
        QString path;
        QString errorStart;
    } const cases[] = {
        {fifo, "It is not a regular file."},
        {dir.path(), "It is a folder, not a project file."},
        {dir.filePath("missing.tarn"), "It could not be read: "},
        {huge, "It is not a valid project file: a text of 4026531840 bytes"},
        {"/dev/null", "It is not a regular file."},
        {locked, "It could not be read: "},
        // No user, the superuser included, can open it.
        {dir.filePath(QString(300, u'n') + ".tarn"), "It could not be read: File name too long."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path.toStdString());
        if (c.path == locked && geteuid() == 0)
            continue; // the superuser reads any file
        EXPECT_FALSE(LoadProjectFile(c.path, &error));
        EXPECT_TRUE(error.startsWith(c.errorStart)) << error.toStdString();
    }
}

// A save that the file system cannot hold fails with a reason and leaves the
// old project file exactly as it was. Needs a small file system of its own
// (a tmpfs mounted by the superuser); skipped where none can be mounted.
TEST(ProjectFileCodec, SaveOnAFullFileSystemKeepsTheOldFile)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QByteArray mountPoint = QFile::encodeName(dir.path());
    const QByteArray command = "mount -t tmpfs -o size=32k tmpfs '" + mountPoint + "' 2>/dev/null";
    if (geteuid() != 0 || std::system(command.constData()) != 0)
        GTEST_SKIP() << "no small file system can be mounted here";
    struct Unmount {
        QByteArray point;
        ~Unmount() { std::system(("umount '" + point + "'").constData()); }
    } unmount{mountPoint};

    const QString path = dir.filePath("p.tarn");
    ProjectFile small = NewProjectFile(1);
    small.sources << "/src/a.c";
    ASSERT_TRUE(SaveProjectFile(path, small));
    const QByteArray before = EncodeProjectFile(small);

    ProjectFile large = small;
    large.options.otherOptions = QString(64 * 1024, u'x');
    QString error;
    EXPECT_FALSE(SaveProjectFile(path, large, &error));
    EXPECT_FALSE(error.isEmpty());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), before);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"p.tarn"}); // no leftovers
}

} // namespace
