#pragma once

#include "project/ProjectFile.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <optional>

// The ".tarn" file: headerless little-endian 4-byte integers and
// length-prefixed strings, back to back, in this order:
//
//   sourceCount, libraryCount, ansi, preprocessOnly, debugInfo, language,
//   noAsm, optimizeLevel, otherOptions (string), noAssemble, traditional,
//   warningLevel, outputName (string), sourceCount source paths,
//   libraryCount library names.
//
// A string is its length and then its bytes, no terminator. The length is
// one byte when below 255; 0xFF and a 2-byte length up to 65533; 0xFF,
// 0xFFFF and a 4-byte length from 65534 on. The reader takes any of the
// three forms. Text is the bytes of the host's file-name encoding
// (QFile::encodeName), so lengths count bytes.
//
// Reading trusts nothing: each count is checked against the list capacity
// and each length against the bytes that remain before anything is
// allocated, so a damaged or hostile file is refused whole and costs no
// more memory than its own size. Bytes after the last string are ignored.
// Option values are kept as stored, in range or not.

// A new project: every option 0 but debugInfo, no sources or libraries.
ProjectFile NewProjectFile(int debugInfo);

// The file's bytes. Lists longer than kProjectListCapacity are written in
// full; the editing commands never let them grow that far.
QByteArray EncodeProjectFile(const ProjectFile& project);

// The project held in bytes, or nothing with a sentence for the user in
// *error (for example "It is not a valid project file: it announces 501
// sources; a project holds 0 to 500.").
std::optional<ProjectFile> DecodeProjectFile(QByteArrayView bytes, QString* error = nullptr);

// Larger files are not read: no project comes near it.
inline constexpr qint64 kMaxProjectFileBytes = qint64(1) << 30;

// Reads and decodes the file at path (a FIFO or device is refused before
// it is opened). On failure returns nothing and *error
// says why in a sentence that fits after the file's name: a folder, a file
// that cannot be read, or "It is not a valid project file: ...".
std::optional<ProjectFile> LoadProjectFile(const QString& path, QString* error = nullptr);

// Writes the project safely (a complete new file or the old one untouched).
bool SaveProjectFile(const QString& path, const ProjectFile& project, QString* error = nullptr);
