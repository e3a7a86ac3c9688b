#include "editor/CTarnDoc.h"

#include "framework/SafeSave.h"

#include "editor/CTarnView.h"

#include "tools/PathBytes.h"

#include <QFile>
#include <QIODevice>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

CTarnDoc::CTarnDoc() = default;

CTarnView* CTarnDoc::sourceView() const
{
    for (fw::View* view : views()) {
        if (auto* source = dynamic_cast<CTarnView*>(view))
            return source;
    }
    return nullptr;
}

QByteArray CTarnDoc::takePendingText()
{
    m_hasPending = false;
    return std::exchange(m_pending, QByteArray());
}

// The file is opened by its name's bytes (a name that is not UTF-8
// included), then read through Qt.
bool CTarnDoc::readFile(const QString& path, QString* error)
{
    const QByteArray name = PathToBytes(path);
    const int fd = ::open(name.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        *error = QStringLiteral("The file could not be opened: %1.").arg(QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    struct stat status {};
    if (::fstat(fd, &status) == 0 && S_ISDIR(status.st_mode)) {
        ::close(fd);
        *error = QStringLiteral("It is a folder, not a file.");
        return false;
    }
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        *error = QStringLiteral("The file could not be opened: %1.").arg(file.errorString());
        return false;
    }
    if (file.size() > kMaxFileSize) {
        *error = QStringLiteral("The file holds %1 MB; the editor takes files of up to %2 MB.")
                     .arg(file.size() >> 20)
                     .arg(kMaxFileSize >> 20);
        return false;
    }
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        *error = QStringLiteral("The file could not be read: %1.").arg(file.errorString());
        return false;
    }
    if (CTarnView* view = sourceView()) {
        view->loadText(bytes);
    } else {
        m_pending = std::move(bytes);
        m_hasPending = true;
    }
    return true;
}

bool CTarnDoc::writeFile(const QString& path, QString* error)
{
    const CTarnView* view = sourceView();
    if (!view)
        return fw::saveFileSafely(path, QByteArrayView(m_pending), error);
    // Written as the two pieces the edit control holds: gathering the text
    // in one piece would move the control's gap across it, and the next key
    // at the caret would move it back (50 MB each way in a large file).
    const TextPieces text = view->textPieces();
    return fw::saveFileSafely(
        path,
        [text](QIODevice& device) {
            for (const QByteArrayView piece : {text.first, text.second}) {
                if (device.write(piece.data(), piece.size()) != piece.size())
                    return false;
            }
            return true;
        },
        error);
}
