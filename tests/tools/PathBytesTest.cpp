#include "tools/PathBytes.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Bytes -> held path -> bytes gives every byte back; valid UTF-8 is held as
// its text, anything else as one kept character per byte.
TEST(PathBytes, EveryByteSurvivesTheRoundTrip)
{
    struct Case {
        QByteArray bytes;
        QString held; // empty: not checked
    };
    const Case cases[] = {
        {"/home/me/main.c", "/home/me/main.c"},
        {"/caf\xC3\xA9/\xF0\x9F\x98\x80.c", QString::fromUtf8("/caf\xC3\xA9/\xF0\x9F\x98\x80.c")},
        {"latin\xE9.c", QStringLiteral("latin") + QChar(0xDCE9) + QStringLiteral(".c")},
        // Overlong '/', an encoded surrogate, past U+10FFFF, a cut sequence.
        {"\xC0\xAF", QString(QChar(0xDCC0)) + QChar(0xDCAF)},
        {"\xED\xA0\x80", QString(QChar(0xDCED)) + QChar(0xDCA0) + QChar(0xDC80)},
        {"\xF4\x90\x80\x80", {}},
        {"ab\xE2\x82", QStringLiteral("ab") + QChar(0xDCE2) + QChar(0xDC82)},
        {"\x80\xC3\xA9\xFF", QChar(0xDC80) + QString::fromUtf8("\xC3\xA9") + QChar(0xDCFF)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bytes.toHex().toStdString());
        const QString held = PathFromBytes(c.bytes);
        if (!c.held.isEmpty()) {
            EXPECT_EQ(held, c.held);
        }
        EXPECT_EQ(PathToBytes(held), c.bytes);
        EXPECT_EQ(IsTextPath(held), c.bytes.isValidUtf8());
    }
    // All 256 byte values in one name.
    QByteArray all;
    for (int b = 1; b < 256; ++b)
        all += char(b);
    EXPECT_EQ(PathToBytes(PathFromBytes(all)), all);
    // Shown to a person: a kept byte is a replacement character.
    EXPECT_EQ(PathForDisplay(PathFromBytes("latin\xE9.c")), QString::fromUtf8("latin\xEF\xBF\xBD.c"));
}

// The file helpers reach the file the bytes name, and refuse what would
// hang or exhaust a reader.
TEST(PathBytes, FilesAreReachedByTheirBytes)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QByteArray name = QFile::encodeName(dir.path()) + "/latin\xE9.c";
    {
        FILE* file = std::fopen(name.constData(), "wb");
        ASSERT_NE(file, nullptr);
        std::fputs("int main(void) { return 0; }\n", file);
        std::fclose(file);
    }
    const QString path = PathFromBytes(name);
    EXPECT_EQ(FileTypeOf(path), FileType::Regular);
    QString error;
    const auto bytes = ReadRegularFile(path, 1 << 20, &error);
    ASSERT_TRUE(bytes) << error.toStdString();
    EXPECT_EQ(*bytes, "int main(void) { return 0; }\n");
    EXPECT_FALSE(ReadRegularFile(path, 10, &error));
    EXPECT_EQ(error, "file too large");

    const QString fifo = dir.filePath("fifo");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    EXPECT_EQ(FileTypeOf(fifo), FileType::Other);
    EXPECT_FALSE(ReadRegularFile(fifo, 100, &error)); // returns at once
    EXPECT_EQ(error, "not a regular file");
    EXPECT_FALSE(ReadRegularFile(dir.path(), 100, &error));
    EXPECT_EQ(error, "it is a folder");
    EXPECT_FALSE(ReadRegularFile(dir.filePath("missing.c"), 100, &error));
    EXPECT_EQ(error, "no such file");

    // Touch: the times move up without reading the file, a FIFO included;
    // a missing file is not created.
    ASSERT_EQ(::chmod(name.constData(), 0200), 0); // may be written, not read
    struct stat before{};
    ASSERT_EQ(::stat(name.constData(), &before), 0);
    const timespec old[2] = {{1000, 0}, {1000, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, name.constData(), old, 0), 0);
    EXPECT_TRUE(SetFileTimesToNow(path));
    EXPECT_GE(*ModificationTimeNs(path), qint64(before.st_mtim.tv_sec) * 1000000000);
    EXPECT_TRUE(SetFileTimesToNow(fifo));
    EXPECT_FALSE(SetFileTimesToNow(dir.filePath("missing.c")));
    EXPECT_FALSE(QFile::exists(dir.filePath("missing.c")));
    EXPECT_FALSE(ModificationTimeNs(dir.filePath("missing.c")));
    // Qt's own directory walk cannot name it for the clean-up.
    EXPECT_EQ(::unlink(name.constData()), 0);
}

} // namespace
