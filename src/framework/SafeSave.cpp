#include "framework/SafeSave.h"

#include "framework/FileNameBytes.h"

#include <QIODevice>
#include <QRandomGenerator>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fw {

namespace {

QString systemError(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

// The file a save replaces: a link's target (the link stays a link).
QByteArray savedFileOf(const QByteArray& path)
{
    struct stat link {};
    if (::lstat(path.constData(), &link) != 0 || !S_ISLNK(link.st_mode))
        return path;
    char resolved[PATH_MAX];
    if (!::realpath(path.constData(), resolved))
        return path; // a dangling link is replaced like a file
    return QByteArray(resolved);
}

// Writes to the descriptor through a buffer of its own; a failed write
// keeps the system's reason ("No space left on device"), which a buffered
// QFile on a descriptor loses.
class DescriptorWriter : public QIODevice {
public:
    explicit DescriptorWriter(int fd) : m_fd(fd)
    {
        m_buffer.reserve(BufferBytes);
        open(QIODevice::WriteOnly | QIODevice::Unbuffered);
    }
    // Writes what the buffer holds; false (and the reason in errorString)
    // when the system refused.
    bool drain()
    {
        qsizetype done = 0;
        while (!m_failed && done < m_buffer.size()) {
            const ssize_t n = ::write(m_fd, m_buffer.constData() + done, size_t(m_buffer.size() - done));
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0) {
                m_failed = true;
                setErrorString(systemError(n < 0 ? errno : EIO));
                break;
            }
            done += n;
        }
        m_buffer.resize(0);
        return !m_failed;
    }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 size) override
    {
        if (m_failed)
            return -1;
        if (m_buffer.size() + size > BufferBytes && !drain())
            return -1;
        if (size >= BufferBytes) {
            m_buffer.append(data, size);
            return drain() ? size : -1;
        }
        m_buffer.append(data, size);
        return size;
    }

private:
    static constexpr qsizetype BufferBytes = 64 * 1024;
    int m_fd;
    QByteArray m_buffer;
    bool m_failed = false;
};

} // namespace

// The file's name goes to the system as its bytes (a name that is not
// UTF-8 included): a temporary file beside it, with the old file's
// permissions, takes the bytes, reaches the disk and then takes the
// file's place in one rename.
bool saveFileSafely(const QString& path, const std::function<bool(QIODevice&)>& write,
                    QString* error)
{
    const QByteArray target = savedFileOf(fileNameBytes(path));
    struct stat old {};
    const bool exists = ::stat(target.constData(), &old) == 0;
    QByteArray temporary;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temporary = target + '.' + QByteArray::number(QRandomGenerator::global()->generate(), 36);
        fd = ::open(temporary.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC,
                    exists ? (old.st_mode & 0777) : 0666);
        if (fd < 0 && errno != EEXIST)
            break;
    }
    if (fd < 0) {
        if (error)
            *error = QStringLiteral("The file could not be created: %1.").arg(systemError(errno));
        return false;
    }
    auto fail = [&](const QString& reason) {
        if (error)
            *error = QStringLiteral("The file could not be written: %1.").arg(reason);
        if (fd >= 0)
            ::close(fd);
        ::unlink(temporary.constData());
        return false;
    };
    if (exists)
        (void)::fchmod(fd, old.st_mode & 07777); // the creation mode went through the umask
    {
        // Everything written before the rename: a short write (disk full,
        // size limit) shows here, with the system's reason.
        DescriptorWriter file(fd);
        const bool written = write(file);
        if (!file.drain() || !written) {
            const QString reason = file.errorString();
            return fail(reason.isEmpty() || reason == QLatin1String("Unknown error")
                            ? QStringLiteral("the contents could not be produced")
                            : reason);
        }
    }
    if (::fsync(fd) != 0)
        return fail(systemError(errno));
    const int closed = ::close(fd);
    fd = -1;
    if (closed != 0)
        return fail(systemError(errno));
    if (::rename(temporary.constData(), target.constData()) != 0)
        return fail(systemError(errno));
    return true;
}

bool saveFileSafely(const QString& path, QByteArrayView bytes, QString* error)
{
    return saveFileSafely(
        path, [bytes](QIODevice& device) { return device.write(bytes.data(), bytes.size()) == bytes.size(); },
        error);
}

} // namespace fw
