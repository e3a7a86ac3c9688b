// The debugging session's breakpoints: inserted, deleted, enabled and
// conditioned through gdb, kept up to date from its notices, and the
// temporary one of Run to Cursor.
#include "debugger/DebugSession.h"

namespace {

QString errorText(const MiRecord& record)
{
    return QString::fromUtf8(record.results["msg"].bytes());
}

} // namespace

void DebugSession::runToLine(const QByteArray& file, int line)
{
    if (m_state != State::Stopped)
        return;
    command("-break-insert", {"-t", MiLocation(file, line)}, [this, file, line](const MiRecord& r) {
        if (r.isResult("error")) {
            emit breakpointProblem(file, line, errorText(r));
            return;
        }
        upsertBreakpoint(ReadMiBreakpoint(r.results["bkpt"]));
        continueRunning();
    });
}

void DebugSession::insertBreakpoint(const BreakpointRequest& request)
{
    QList<QByteArray> arguments;
    if (request.temporary)
        arguments << "-t";
    if (!request.enabled)
        arguments << "-d";
    if (!request.condition.isEmpty())
        arguments << "-c" << request.condition;
    arguments << MiLocation(request.file, request.line);
    command("-break-insert", arguments, [this, request](const MiRecord& r) {
        if (r.isResult("error")) {
            emit breakpointProblem(request.file, request.line, errorText(r));
            return;
        }
        const DebugBreakpoint breakpoint = ReadMiBreakpoint(r.results["bkpt"]);
        upsertBreakpoint(breakpoint);
        if (breakpoint.line > 0 && breakpoint.line != request.line)
            emit breakpointMoved(request.file, request.line, breakpoint.line);
    });
}

void DebugSession::deleteBreakpoint(int number)
{
    command("-break-delete", {QByteArray::number(number)}, [this, number](const MiRecord& r) {
        if (!r.isResult("done"))
            return;
        m_breakpoints.removeIf([number](const DebugBreakpoint& b) { return b.number == number; });
        emit breakpointsChanged();
    });
}

void DebugSession::setBreakpointEnabled(int number, bool enabled)
{
    command(enabled ? "-break-enable" : "-break-disable", {QByteArray::number(number)},
            [this, number, enabled](const MiRecord& r) {
                if (!r.isResult("done"))
                    return;
                for (DebugBreakpoint& b : m_breakpoints) {
                    if (b.number == number)
                        b.enabled = enabled;
                }
                emit breakpointsChanged();
            });
}

void DebugSession::setBreakpointCondition(int number, const QByteArray& condition)
{
    QList<QByteArray> arguments{QByteArray::number(number)};
    if (!condition.trimmed().isEmpty())
        arguments << condition.trimmed();
    command("-break-condition", arguments, [this, number, condition](const MiRecord& r) {
        if (r.isResult("error")) {
            setStatus(errorText(r));
            return;
        }
        for (DebugBreakpoint& b : m_breakpoints) {
            if (b.number == number)
                b.condition = condition.trimmed();
        }
        emit breakpointsChanged();
    });
}

int DebugSession::breakpointAt(const QByteArray& file, int line) const
{
    for (const DebugBreakpoint& b : m_breakpoints) {
        if (b.line == line && !b.temporary && (b.fullname == file || b.file == file))
            return b.number;
    }
    return 0;
}

void DebugSession::handleBreakpointNotice(const MiRecord& record)
{
    if (record.resultClass == "breakpoint-deleted") {
        const qint64 number = record.results["id"].number().value_or(0);
        m_breakpoints.removeIf([number](const DebugBreakpoint& b) { return b.number == number; });
        emit breakpointsChanged();
        return;
    }
    // breakpoint-created, breakpoint-modified
    upsertBreakpoint(ReadMiBreakpoint(record.results["bkpt"]));
}

void DebugSession::upsertBreakpoint(const DebugBreakpoint& breakpoint)
{
    if (breakpoint.number <= 0)
        return;
    for (DebugBreakpoint& b : m_breakpoints) {
        if (b.number == breakpoint.number) {
            if (b == breakpoint)
                return;
            b = breakpoint;
            emit breakpointsChanged();
            return;
        }
    }
    m_breakpoints.append(breakpoint);
    emit breakpointsChanged();
}
