#include "framework/FileNameBytes.h"
#include "framework/SafeSave.h"

#include <QDir>
#include <QFile>
#include <QIODevice>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <sys/resource.h>
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QByteArray contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

QStringList filesIn(const QTemporaryDir& dir)
{
    return QDir(dir.path()).entryList(QDir::Files | QDir::Hidden);
}

// Runs the save with the process's file size limit set low, so the write
// comes up short (as on a full disk) even for root.
bool saveWithSizeLimit(const QString& path, const QByteArray& bytes, rlim_t limit, QString* error)
{
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = limit;
    setrlimit(RLIMIT_FSIZE, &small);
    const bool ok = fw::saveFileSafely(path, bytes, error);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);
    return ok;
}

} // namespace

TEST(SafeSave, FailuresLeaveTheOldFileAndNoTemporary)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("keep.c");
    ASSERT_TRUE(fw::saveFileSafely(path, QByteArrayView("old contents"), nullptr));

    // The writer gives up half way.
    EXPECT_EQ(contents(path), "old contents");
    QString error;
    EXPECT_FALSE(fw::saveFileSafely(
        path,
        [](QIODevice& device) {
            device.write("new");
            return false;
        },
        &error));
    EXPECT_EQ(contents(path), "old contents");
    EXPECT_EQ(error, QStringLiteral("The file could not be written: the contents could not be produced."));

    // The disk takes only part of the bytes: of a large write, and of a
    // small one that sits in the file's buffer until the end.
    for (qsizetype size : {qsizetype(64 * 1024), qsizetype(2000)}) {
        error.clear();
        EXPECT_FALSE(saveWithSizeLimit(path, QByteArray(size, 'n'), 16, &error)) << size;
        EXPECT_EQ(contents(path), "old contents") << size;
        // The system's own reason, not "Unknown error".
        EXPECT_EQ(error, QStringLiteral("The file could not be written: %1.")
                             .arg(QString::fromLocal8Bit(std::strerror(EFBIG))))
            << size;
        EXPECT_EQ(filesIn(dir), QStringList{"keep.c"}) << size;
    }

    // A folder that does not exist.
    error.clear();
    EXPECT_FALSE(
        fw::saveFileSafely(dir.filePath("no/such/folder/x.c"), QByteArrayView("x"), &error));
    EXPECT_TRUE(error.startsWith("The file could not be created")) << error.toStdString();
}

// A name is its bytes: one that is not UTF-8 is written under those very
// bytes; an existing file keeps its permissions, a link stays a link and
// its target takes the bytes.
TEST(SafeSave, WritesUnderTheNamesBytesAndKeepsPermissionsAndLinks)
{
    QTemporaryDir dir;
    const QByteArray folder = QFile::encodeName(dir.path());
    const QByteArray name = folder + "/caf\xE9.c";
    const QString path = fw::pathOfFileNameBytes(name);
    EXPECT_EQ(fw::fileNameBytes(path), name);
    EXPECT_EQ(fw::fileNameForDisplay(path), dir.path() + QStringLiteral("/caf\uFFFD.c"));
    QString error;
    ASSERT_TRUE(fw::saveFileSafely(path, QByteArrayView("first"), &error)) << error.toStdString();
    struct stat status {};
    ASSERT_EQ(::stat(name.constData(), &status), 0);
    EXPECT_EQ(status.st_size, 5);

    ASSERT_EQ(::chmod(name.constData(), 0640), 0);
    ASSERT_TRUE(fw::saveFileSafely(path, QByteArrayView("second!"), &error)) << error.toStdString();
    ASSERT_EQ(::stat(name.constData(), &status), 0);
    EXPECT_EQ(status.st_size, 7);
    EXPECT_EQ(status.st_mode & 07777, 0640u);

    const QByteArray link = folder + "/link\xFF.c";
    ASSERT_EQ(::symlink(name.constData(), link.constData()), 0);
    ASSERT_TRUE(fw::saveFileSafely(fw::pathOfFileNameBytes(link), QByteArrayView("third"), &error))
        << error.toStdString();
    ASSERT_EQ(::lstat(link.constData(), &status), 0);
    EXPECT_TRUE(S_ISLNK(status.st_mode));
    ASSERT_EQ(::stat(name.constData(), &status), 0);
    EXPECT_EQ(status.st_size, 5);
    // Nothing else was left beside them.
    int entries = 0;
    if (DIR* listing = ::opendir(folder.constData())) {
        while (const dirent* entry = ::readdir(listing))
            entries += entry->d_name[0] != '.';
        ::closedir(listing);
    }
    EXPECT_EQ(entries, 2);
    // (QTemporaryDir cannot remove a name that is not UTF-8.)
    ::unlink(link.constData());
    ::unlink(name.constData());
}
