#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

#include <optional>

// On Linux a file name is any bytes, not text. Tarn holds paths as QString
// and keeps every byte: a byte that is not part of valid UTF-8 is held as
// the lone low surrogate U+DC80..U+DCFF (U+DC00 plus the byte), so bytes
// read from a project file, the command line or a folder come back
// unchanged when the path goes to a child's argument list, a system call
// or a saved file. Valid UTF-8 is decoded as usual.
//   "latin\xE9.c" -> u"latin\U0000DCE9.c" -> "latin\xE9.c"
QString PathFromBytes(QByteArrayView bytes);
QByteArray PathToBytes(QStringView path);

// The path as a person reads it: each kept byte shown as U+FFFD.
QString PathForDisplay(QStringView path);

// True when every character of the path is text (no kept byte), so Qt's
// own file-name encoding gives the same bytes as PathToBytes.
bool IsTextPath(QStringView path);

// A file's whole contents, for a reader that must neither hang nor run out
// of memory: only regular files are read (a FIFO would wait for a writer, a
// device may never end), and a file larger than `limit` bytes is refused.
// On failure `error` says why in a few words ("no such file", "not a
// regular file", "file too large", or the system's reason).
std::optional<QByteArray> ReadRegularFile(const QString& path, qint64 limit,
                                          QString* error = nullptr);

// What a path names (links followed), without opening it.
enum class FileType { Missing, Regular, Folder, Other };
FileType FileTypeOf(const QString& path);

// Whether a regular file opens and gives its first byte (an empty file
// counts): false for what stat calls regular but cannot be read, such as
// /proc/self/mem, and for anything that is not a regular file.
bool CanReadRegularFile(const QString& path);

// Sets the last-access and last-modification times of an existing file to
// now without opening it, so a file that may be touched but not read, or a
// FIFO, is handled at once. A missing file is never created.
bool SetFileTimesToNow(const QString& path, QString* error = nullptr);

// The last-modification time in nanoseconds since the epoch, or nothing
// when the file cannot be examined.
std::optional<qint64> ModificationTimeNs(const QString& path);
