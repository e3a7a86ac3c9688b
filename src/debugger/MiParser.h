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
    QByteArray line;   // Malformed: the whole line as it came

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
class MiStreamParser {
public:
    // Appends the records of the lines completed by bytes to out.
    void feed(QByteArrayView bytes, std::vector<MiRecord>& out);
    std::vector<MiRecord> feed(QByteArrayView bytes);
    // At the end of the stream: the record of a last line that has no line
    // end, if any.
    std::optional<MiRecord> finish();
    // Bytes held back, waiting for their line end.
    qsizetype pendingBytes() const { return m_pending.size(); }

private:
    QByteArray m_pending;
};
