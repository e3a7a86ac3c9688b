#include "debugger/MiCommand.h"

#include <algorithm>

namespace {

bool needsQuotes(QByteArrayView argument)
{
    if (argument.isEmpty())
        return true;
    for (const char c : argument) {
        const auto u = static_cast<unsigned char>(c);
        if (u <= 0x20 || u == 0x7f || c == '"' || c == '\\')
            return true;
    }
    return false;
}

} // namespace

QByteArray MiLocation(QByteArrayView file, int line)
{
    // The linespec reader ends a bare file name at a blank or a colon; in
    // double quotes it takes the name as it is.
    bool plain = !file.isEmpty();
    for (const char c : file) {
        const auto u = static_cast<unsigned char>(c);
        if (u <= 0x20 || c == ':' || c == '"' || c == '\'' || c == ',')
            plain = false;
    }
    QByteArray out;
    if (plain) {
        out = file.toByteArray();
    } else {
        out += '"';
        out += file;
        out += '"';
    }
    out += ':';
    out += QByteArray::number(line);
    return out;
}

QByteArray MiCommandLine(quint64 token, QByteArrayView operation,
                         const QList<QByteArray>& arguments)
{
    QByteArray line = QByteArray::number(token);
    line += operation;
    for (const QByteArray& argument : arguments) {
        line += ' ';
        if (needsQuotes(argument))
            MiQuoteInto(line, argument);
        else
            line += argument;
    }
    line += '\n';
    return line;
}

MiCommandTokens::Composed MiCommandTokens::compose(QByteArrayView operation,
                                                   const QList<QByteArray>& arguments)
{
    const quint64 token = m_next++;
    m_waiting.push_back(MiPendingCommand{token, operation.toByteArray()});
    return Composed{token, MiCommandLine(token, operation, arguments)};
}

std::optional<MiPendingCommand> MiCommandTokens::answer(const MiRecord& record)
{
    if (record.type != MiRecordType::Result || !record.token)
        return std::nullopt;
    const auto it =
        std::find_if(m_waiting.begin(), m_waiting.end(),
                     [&](const MiPendingCommand& c) { return c.token == *record.token; });
    if (it == m_waiting.end())
        return std::nullopt;
    MiPendingCommand answered = std::move(*it);
    m_waiting.erase(it);
    return answered;
}
