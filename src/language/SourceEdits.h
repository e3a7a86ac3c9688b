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
