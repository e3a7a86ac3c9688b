#pragma once

#include "language/LspProtocol.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <functional>
#include <optional>
#include <vector>

// Text work on a file's bytes for what a language server answers: a line
// by its number, the edits of a rename applied, the rows of a reference
// list.

// Line `line` (zero-based) of the text without its line break (LF, CR LF
// or CR); empty past the end.
QByteArray LineOfText(QByteArrayView text, int line);

// The text with the edits (byte columns, positions of the text before any
// edit) applied; every other byte, line breaks included, stays. Nothing
// when an edit lies outside the text or two edits overlap.
std::optional<QByteArray> ApplyEdits(QByteArrayView text, std::vector<LspTextEdit> edits);

// The message-window rows of a list of places, as Find in Files writes
// them: "PATH:LINE: text" with PATH relative to `folder` for a file in it
// (else whole), LINE 1-based; in path order, then the order of the text
// (as a search of the files would find them), each place once.
using LineText = std::function<QByteArray(const QString& path, int line)>;
QByteArray ReferenceRows(std::vector<LspLocation> locations, const QString& folder,
                         const LineText& lineText);

// What a rename does to the files no window shows: each file's new bytes,
// or the one reason the rename must change nothing ("NAME cannot be
// changed (it is read-only)"). Every file is checked before any is
// written. `unwritable` says why a file cannot take a safe save (empty
// when it can); `isOpen` leaves the files whose windows take the edits.
struct ClosedFileEdits {
    std::vector<std::pair<QString, QByteArray>> files;
    QString problem;
};
ClosedFileEdits PlanClosedFileEdits(const std::vector<LspFileEdits>& edits,
                                    const std::function<bool(const QString&)>& isOpen,
                                    const std::function<QString(const QString&)>& unwritable);
// Why a file cannot take a safe save (a temporary file beside it, then a
// rename over it), or empty: not a regular file, read-only, or its folder
// read-only.
QString UnwritableReason(const QString& path);
