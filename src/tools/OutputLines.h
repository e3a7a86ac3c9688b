#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>

// Cuts a tool's output stream into message-window rows:
// - each line feed ends a row; a carriage return just before it is dropped
//   (DOS tools end lines with CR LF, the host's gcc with a bare LF), any
//   other character stays;
// - what follows the last line feed is one more row, empty when the output
//   ends with a line feed (so "a\r\n" gives "a" and "");
// - zero bytes are kept like any other byte.
// Lines are decoded whole, after cutting, so a multibyte character is never
// split: as UTF-8 when the line is valid UTF-8, else as Latin-1, which keeps
// one character per byte and so never loses a byte.
QStringList CutOutputLines(const QByteArray& output);

// The same cutting over a stream that arrives in pieces: bytes are kept
// until their line is complete, so a line (and a character) split between
// two pieces comes out whole. Feeding any split of an output and then
// finishing gives exactly CutOutputLines of the whole.
class LineAssembler {
public:
    void feed(QByteArrayView bytes);
    // Rows completed so far (the unfinished line is held back).
    const QStringList& rows() const { return m_rows; }
    // Hands over the rows completed so far (the unfinished line stays).
    QStringList takeRows()
    {
        QStringList rows;
        rows.swap(m_rows);
        return rows;
    }
    // Ends the stream: adds what follows the last line feed as one more row
    // (empty when the stream ended with a line feed) and hands over all rows.
    // The assembler is empty afterwards.
    QStringList finish();

private:
    void completeLine(QByteArrayView line);

    QByteArray m_pending;
    QStringList m_rows;
};

// One line's bytes as text, by the rule above.
QString DecodeOutputLine(QByteArrayView line);

// True when the bytes are well-formed UTF-8 (no overlong forms, surrogates
// or values above U+10FFFF).
bool IsValidUtf8(QByteArrayView bytes);
