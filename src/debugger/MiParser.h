#pragma once

#include "debugger/MiValue.h"

#include <QByteArray>
#include <QByteArrayView>

#include <optional>
#include <vector>

// What one line of gdb's machine interface output is.
enum class MiRecordType {
    Result,        // [token]^done|running|connected|error|exit[,results]
    ExecAsync,     // [token]*class[,results]  e.g. *stopped,reason="breakpoint-hit",...
    StatusAsync,   // [token]+class[,results]  e.g. +download,...
    NotifyAsync,   // [token]=class[,results]  e.g. =breakpoint-modified,bkpt={...}
    ConsoleStream, // ~"text"  gdb's answers meant for a person
    TargetStream,  // @"text"  the program's output, when gdb relays it
    LogStream,     // &"text"  gdb's own log (echoed commands, warnings)
    Prompt,        // (gdb)
    Malformed,     // anything else: error says why, line holds the bytes
};

// One line, parsed. Results of result and async records are the items of a
// tuple, so record.results["frame"]["line"] reads like gdb's text.
struct MiRecord {
    MiRecordType type = MiRecordType::Malformed;
    std::optional<quint64> token;
    QByteArray resultClass; // "done", "stopped", "breakpoint-modified", ...
    MiValue results = MiValue::tuple();
    QByteArray stream; // a stream record's text, escapes undone
    QByteArray error;  // Malformed: what is wrong and at which column
    QByteArray line;   // Malformed: the whole line as it came (a cut one: its start)
    // Malformed: a line longer than the stream parser keeps, of this many
    // bytes, dropped unread (0: not a cut line).
    qint64 cutBytes = 0;

    bool isResult(QByteArrayView cls) const
    {
        return type == MiRecordType::Result && resultClass == cls;
    }
};

// Parses one line (without its line end; a CR right before it is the
// caller's to drop). Never throws; what is not a record comes back as
// Malformed with a reason. Nesting deeper than kMiMaxDepth tuples and lists
// is refused as Malformed, so hostile input cannot exhaust the stack.
constexpr int kMiMaxDepth = 1000;
MiRecord ParseMiLine(QByteArrayView line);

// Undoes the escapes of a c-string's body (between the quotes) as gdb writes
// them: \n \t \r \b \f \v \a \e \" \\ \' and octal \o, \oo, \ooo. An
// unknown letter after a backslash stands for itself. Nothing when a
// backslash ends the text or an octal escape is above \377.
std::optional<QByteArray> UnescapeMiString(QByteArrayView body);

// Cuts a byte stream from gdb into lines and parses each. Lines end with LF
// or CR LF; a line that has not ended yet is held back until its end comes,
// so a record split across reads is parsed whole. Empty lines are skipped.
//
// A line longer than the limit is not kept: from the moment it passes the
// limit its bytes are dropped as they come, and when it ends it comes back
// as a Malformed record that says "record of N bytes cut" (cutBytes holds N,
// line the first kCutHeadBytes). So the parser never holds more than the
// limit, however much gdb writes without a line end.
class MiStreamParser {
public:
    // The records Tarn asks gdb for are bounded by Tarn's own limits (a
    // thousand frames, a thousand members, values gdb cuts at its
    // max-value-size of 64 KiB and 200 elements): the largest stay well under
    // a few MiB even for a frame full of big locals. 16 MiB leaves that a wide
    // margin and bounds what one line of a runaway gdb can cost.
    static constexpr qsizetype kMaxRecordBytes = 16 * 1024 * 1024;
    static constexpr qsizetype kCutHeadBytes = 64;

    explicit MiStreamParser(qsizetype maxRecordBytes = kMaxRecordBytes)
        : m_limit(maxRecordBytes)
    {
    }

    // Appends the records of the lines completed by bytes to out.
    void feed(QByteArrayView bytes, std::vector<MiRecord>& out);
    // Bytes held back, waiting for their line end.
    qsizetype pendingBytes() const { return m_pending.size(); }

private:
    MiRecord cutRecord();

    qsizetype m_limit;
    QByteArray m_pending;
    // The line being dropped: its length so far (0: none) and its start.
    qint64 m_cut = 0;
    QByteArray m_cutHead;
};
