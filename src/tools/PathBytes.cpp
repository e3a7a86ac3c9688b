#include "tools/PathBytes.h"

#include <QFile>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr char16_t kKeptByteBase = 0xDC00;

bool isKeptByte(char16_t c)
{
    return c >= 0xDC80 && c <= 0xDCFF;
}

// Length of the valid UTF-8 sequence at `i`, or 0 when the byte there
// does not start one (overlong forms, surrogates and values past U+10FFFF
// are not valid).
qsizetype validSequence(QByteArrayView bytes, qsizetype i)
{
    const auto at = [&](qsizetype k) { return static_cast<unsigned char>(bytes[k]); };
    const unsigned char b0 = at(i);
    if (b0 < 0x80)
        return 1;
    qsizetype length = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (b0 >= 0xC2 && b0 <= 0xDF) {
        length = 2;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        length = 3;
        if (b0 == 0xE0)
            low = 0xA0;
        else if (b0 == 0xED)
            high = 0x9F;
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        length = 4;
        if (b0 == 0xF0)
            low = 0x90;
        else if (b0 == 0xF4)
            high = 0x8F;
    } else {
        return 0;
    }
    if (i + length > bytes.size())
        return 0;
    const unsigned char b1 = at(i + 1);
    if (b1 < low || b1 > high)
        return 0;
    for (qsizetype k = 2; k < length; ++k) {
        if ((at(i + k) & 0xC0) != 0x80)
            return 0;
    }
    return length;
}

QString errnoText(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

void setError(QString* error, const QString& text)
{
    if (error)
        *error = text;
}

} // namespace

QString PathFromBytes(QByteArrayView bytes)
{
    if (bytes.isValidUtf8())
        return QString::fromUtf8(bytes);
    QString path;
    path.reserve(bytes.size());
    qsizetype start = 0; // first byte of the valid run not yet decoded
    qsizetype i = 0;
    while (i < bytes.size()) {
        const qsizetype length = validSequence(bytes, i);
        if (length > 0) {
            i += length;
            continue;
        }
        path += QString::fromUtf8(bytes.sliced(start, i - start));
        path += QChar(char16_t(kKeptByteBase + static_cast<unsigned char>(bytes[i])));
        start = ++i;
    }
    path += QString::fromUtf8(bytes.sliced(start));
    return path;
}

QByteArray PathToBytes(QStringView path)
{
    if (IsTextPath(path))
        return path.toUtf8();
    QByteArray bytes;
    bytes.reserve(path.size());
    qsizetype start = 0;
    for (qsizetype i = 0; i < path.size(); ++i) {
        const char16_t c = path[i].unicode();
        // A low surrogate after a high one is half of a real character.
        if (!isKeptByte(c) || (i > 0 && QChar::isHighSurrogate(path[i - 1].unicode())))
            continue;
        bytes += path.sliced(start, i - start).toUtf8();
        bytes += char(c - kKeptByteBase);
        start = i + 1;
    }
    bytes += path.sliced(start).toUtf8();
    return bytes;
}

bool IsTextPath(QStringView path)
{
    for (qsizetype i = 0; i < path.size(); ++i) {
        if (isKeptByte(path[i].unicode()) &&
            !(i > 0 && QChar::isHighSurrogate(path[i - 1].unicode())))
            return false;
    }
    return true;
}

QString PathForDisplay(QStringView path)
{
    return QString::fromUtf8(PathToBytes(path));
}

FileType FileTypeOf(const QString& path)
{
    struct stat status{};
    if (path.isEmpty() || ::stat(PathToBytes(path).constData(), &status) != 0)
        return FileType::Missing;
    if (S_ISREG(status.st_mode))
        return FileType::Regular;
    return S_ISDIR(status.st_mode) ? FileType::Folder : FileType::Other;
}

bool CanReadRegularFile(const QString& path)
{
    if (path.isEmpty())
        return false;
    const int fd = ::open(PathToBytes(path).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0)
        return false;
    struct stat status{};
    char byte = 0;
    const bool readable = ::fstat(fd, &status) == 0 && S_ISREG(status.st_mode) && ::pread(fd, &byte, 1, 0) >= 0;
    ::close(fd);
    return readable;
}

std::optional<QByteArray> ReadRegularFile(const QString& path, qint64 limit, QString* error)
{
    const QByteArray name = PathToBytes(path);
    // O_NONBLOCK: opening a FIFO must not wait for a writer before the
    // check below refuses it.
    const int fd = ::open(name.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) {
        setError(error, errno == ENOENT ? QStringLiteral("no such file") : errnoText(errno));
        return std::nullopt;
    }
    struct Closer {
        int fd;
        ~Closer() { ::close(fd); }
    } closer{fd};
    struct stat status{};
    if (::fstat(fd, &status) != 0) {
        setError(error, errnoText(errno));
        return std::nullopt;
    }
    if (S_ISDIR(status.st_mode)) {
        setError(error, QStringLiteral("it is a folder"));
        return std::nullopt;
    }
    if (!S_ISREG(status.st_mode)) {
        setError(error, QStringLiteral("not a regular file"));
        return std::nullopt;
    }
    if (status.st_size > limit) {
        setError(error, QStringLiteral("file too large"));
        return std::nullopt;
    }
    const int flags = ::fcntl(fd, F_GETFL);
    ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    QByteArray bytes;
    bytes.resize(qsizetype(status.st_size));
    qsizetype filled = 0;
    // A file may grow or shrink while it is read: read to its end, but
    // never past the limit.
    for (;;) {
        if (filled == bytes.size()) {
            if (bytes.size() >= limit)
                break;
            bytes.resize(std::min<qint64>(limit, std::max<qint64>(4096, bytes.size() * 2)));
        }
        const ssize_t got = ::read(fd, bytes.data() + filled, size_t(bytes.size() - filled));
        if (got < 0) {
            if (errno == EINTR)
                continue;
            setError(error, errnoText(errno));
            return std::nullopt;
        }
        if (got == 0)
            break;
        filled += got;
    }
    bytes.truncate(filled);
    return bytes;
}

bool SetFileTimesToNow(const QString& path, QString* error)
{
    if (path.isEmpty()) {
        setError(error, QStringLiteral("no file named"));
        return false;
    }
    // Both times from one reading of the clock; a missing file stays missing.
    if (::utimensat(AT_FDCWD, PathToBytes(path).constData(), nullptr, 0) != 0) {
        setError(error, errnoText(errno));
        return false;
    }
    return true;
}

std::optional<qint64> ModificationTimeNs(const QString& path)
{
    struct stat status{};
    if (path.isEmpty() || ::stat(PathToBytes(path).constData(), &status) != 0)
        return std::nullopt;
    return qint64(status.st_mtim.tv_sec) * 1000000000 + status.st_mtim.tv_nsec;
}
