#pragma once

#include "debugger/MiParser.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>

#include <optional>
#include <vector>

// A linespec for "file:line" that gdb reads whatever the file name holds:
// the name in double quotes when it needs them (blanks, quotes, colons).
// It is then quoted again like any other argument of MiCommandLine.
QByteArray MiLocation(QByteArrayView file, int line);

// "12-break-insert ARG ARG\n": the token, the operation (with its leading
// '-'), each argument as gdb reads it, one line end.
//
// An argument goes as it is when it is a plain run of bytes, else as a
// c-string (MiQuoteInto). gdb ends an unquoted argument at a blank and reads a
// leading '"' as a c-string, so an empty argument, one with a blank,
// control byte, quote or backslash is quoted. Bytes above 0x7f go as they
// are in a plain argument and as octal escapes in a quoted one: gdb reads
// both back to the same bytes. Quoting is of the whole argument: gdb takes
// '"a b.c":5' for two arguments ('a b.c' and ':5'), so a location with a
// blank in its file name is passed as one quoted argument
// ("\"a b.c\":5", see MiLocation) or with --source and --line.
QByteArray MiCommandLine(quint64 token, QByteArrayView operation,
                         const QList<QByteArray>& arguments = {});

// A command sent and not yet answered.
struct MiPendingCommand {
    quint64 token = 0;
    QByteArray operation;
};

// Gives each command the next token and matches the result records that
// come back to the commands they answer. gdb answers every command with
// exactly one result record carrying the command's token ("12^done",
// "13^error,msg=..."); async and stream records never answer a command.
class MiCommandTokens {
public:
    struct Composed {
        quint64 token = 0;
        QByteArray line; // ready to write to gdb
    };
    Composed compose(QByteArrayView operation, const QList<QByteArray>& arguments = {});

    // For a result record whose token names a waiting command: that command,
    // which no longer waits. Nothing for any other record (no token, a token
    // never sent or already answered, not a result record).
    std::optional<MiPendingCommand> answer(const MiRecord& record);

    qsizetype waitingCount() const { return qsizetype(m_waiting.size()); }

private:
    quint64 m_next = 1;
    std::vector<MiPendingCommand> m_waiting; // a handful at a time, oldest first
};
