#include "framework/SafeSave.h"

#include <QSaveFile>

namespace fw {

bool saveFileSafely(const QString& path, const std::function<bool(QIODevice&)>& write,
                    QString* error)
{
    QSaveFile file(path);
    auto fail = [&](const char* what) {
        if (error)
            *error = QStringLiteral("The file could not be %1: %2.")
                         .arg(QLatin1String(what), file.errorString());
        file.cancelWriting();
        return false;
    };
    if (!file.open(QIODevice::WriteOnly))
        return fail("created");
    // Flush before commit: a short write (disk full, size limit) shows only
    // here, and Qt 6.4's commit() would otherwise install the cut-off file.
    if (!write(file) || !file.flush())
        return fail("written");
    if (!file.commit()) {
        if (error)
            *error = QStringLiteral("The file could not be written: %1.").arg(file.errorString());
        return false;
    }
    return true;
}

bool saveFileSafely(const QString& path, QByteArrayView bytes, QString* error)
{
    return saveFileSafely(
        path, [bytes](QIODevice& device) { return device.write(bytes.data(), bytes.size()) == bytes.size(); },
        error);
}

} // namespace fw
