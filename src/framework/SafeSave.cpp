#include "framework/SafeSave.h"

#include "framework/FileNameBytes.h"

#include <QFile>
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
        QFile file;
        if (!file.open(fd, QIODevice::WriteOnly, QFileDevice::DontCloseHandle))
            return fail(file.errorString());
        // Flush before the rename: a short write (disk full, size limit)
        // shows only here.
        if (!write(file) || !file.flush())
            return fail(file.errorString());
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
