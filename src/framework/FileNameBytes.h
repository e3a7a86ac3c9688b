#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

namespace fw {

// A document's path as the bytes of its file name. Paths are held as text
// with every byte that is not part of valid UTF-8 kept as U+DC80 plus the
// byte (the rule of tools/PathBytes.h, which the layers above use; the
// framework lies below them and keeps its own copy of the two directions it
// needs).
QByteArray fileNameBytes(QStringView path);
// The path of a file name's bytes.
QString pathOfFileNameBytes(QByteArrayView bytes);
// Whether the path holds a kept byte.
bool holdsKeptBytes(QStringView path);
// The path as a person reads it: each kept byte shown as U+FFFD.
QString fileNameForDisplay(QStringView path);

} // namespace fw
