#include "editor/CTarnDoc.h"

#include "framework/SafeSave.h"

#include "editor/CTarnView.h"

#include <QFile>
#include <QFileInfo>

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

bool CTarnDoc::readFile(const QString& path, QString* error)
{
    const QFileInfo info(path);
    if (info.isDir()) {
        *error = QStringLiteral("It is a folder, not a file.");
        return false;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
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
    const QByteArrayView bytes = view ? view->textBytes() : QByteArrayView(m_pending);
    return fw::saveFileSafely(path, bytes, error);
}
