#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <optional>

// Facts about the bytes of a source file, read without changing them.
namespace sourcetext {

enum class LineBreak { CrLf, Lf, Cr };

// True when the bytes are well-formed UTF-8 (zero bytes allowed; overlong
// forms, surrogates and code points past U+10FFFF are not).
bool isValidUtf8(QByteArrayView bytes);

// The kind of the first line break, or nothing when there is none.
std::optional<LineBreak> firstLineBreak(QByteArrayView bytes);

// The text with every line break (CR LF, lone LF, lone CR) written as eol.
QByteArray convertLineBreaks(QByteArrayView text, QByteArrayView eol);

} // namespace sourcetext
