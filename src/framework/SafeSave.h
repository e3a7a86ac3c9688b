#pragma once

#include <QByteArrayView>
#include <QString>

#include <functional>

class QIODevice;

namespace fw {

// Writes a file so that it is either complete or untouched: the bytes go to
// a temporary file beside it, which replaces the old file only once every
// byte has reached the disk. On failure returns false with a sentence in
// *error, and the old file (if any) is left as it was.
bool saveFileSafely(const QString& path, const std::function<bool(QIODevice&)>& write,
                    QString* error);
bool saveFileSafely(const QString& path, QByteArrayView bytes, QString* error);

} // namespace fw
