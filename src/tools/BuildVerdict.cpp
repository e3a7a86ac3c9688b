#include "tools/BuildVerdict.h"

#include "messages/MessageClassifier.h"
#include "messages/MessageSink.h"
#include "messages/RowBytes.h"

#include <QFileInfo>

#include <cstring>

namespace {

QString plural(int count, const char* one)
{
    return QString::number(count) + QLatin1Char(' ') + QLatin1String(one) + (count == 1 ? "" : "s");
}

bool wentWrong(const ChildResult& result)
{
    return result.end != ChildResult::End::Finished || result.exitCode != 0;
}

} // namespace

void BuildVerdict::countRows(QByteArrayView bytes, bool streamEnd)
{
    ForEachOutputRow(bytes, streamEnd, [this](QByteArrayView row) {
        if (classifyMessageBytes(row) != IconDiagnostic)
            return;
        // Both words end with a colon, and neither holds one: the first
        // colon ending either word tells which stands first.
        const char* data = row.data();
        const qsizetype size = row.size();
        auto endsWith = [data]<size_t N>(qsizetype colon, const char (&word)[N]) {
            constexpr qsizetype length = N - 1;
            return colon >= length && std::memcmp(data + colon - length, word, length) == 0;
        };
        for (qsizetype at = 0; at < size; ++at) {
            const void* found = std::memchr(data + at, ':', size_t(size - at));
            if (!found)
                return;
            at = static_cast<const char*>(found) - data;
            if (endsWith(at, "error")) {
                ++m_errors;
                return;
            }
            if (endsWith(at, "warning")) {
                ++m_warnings;
                return;
            }
        }
    });
}

void BuildVerdict::addRun(Tool tool, const QString& program, const ChildResult& result)
{
    if (m_failed || !wentWrong(result))
        return;
    m_failed = true;
    m_tool = tool;
    m_toolName = QFileInfo(program).fileName();
    if (m_toolName.isEmpty())
        m_toolName = tool == Tool::Make ? QStringLiteral("make") : QStringLiteral("gcc");
    m_failure = result;
}

void BuildVerdict::setStopped()
{
    if (!m_failed)
        addRun(Tool::Gcc, QString(), ChildResult{ChildResult::End::Cancelled, -1, QString()});
}

void BuildVerdict::setIncomplete()
{
    if (m_failed)
        return;
    m_failed = true;
    m_incomplete = true;
}

void BuildVerdict::add(const BuildVerdict& later)
{
    m_errors += later.m_errors;
    m_warnings += later.m_warnings;
    if (m_failed || !later.m_failed)
        return;
    m_failed = true;
    m_incomplete = later.m_incomplete;
    m_tool = later.m_tool;
    m_toolName = later.m_toolName;
    m_failure = later.m_failure;
}

bool BuildVerdict::failed() const
{
    return m_failed || m_errors > 0;
}

QString BuildVerdict::counted() const
{
    QString text = plural(m_errors, "error");
    if (m_warnings > 0)
        text += QStringLiteral(", ") + plural(m_warnings, "warning");
    return text;
}

QString BuildVerdict::text() const
{
    if (m_incomplete)
        return m_errors > 0 || m_warnings > 0 ? QStringLiteral("Build failed: ") + counted()
                                              : QStringLiteral("Build failed");
    if (m_failed) {
        switch (m_failure.end) {
        case ChildResult::End::NotStarted: return QStringLiteral("Build failed: could not start ") + m_toolName;
        case ChildResult::End::Crashed: return QStringLiteral("Build failed: ") + m_toolName + QStringLiteral(" crashed");
        case ChildResult::End::Cancelled: return QStringLiteral("Build stopped");
        case ChildResult::End::Finished: break;
        }
        if (m_tool == Tool::Make) {
            QString text = m_toolName + QStringLiteral(" failed (exit status %1)").arg(m_failure.exitCode);
            if (m_errors > 0 || m_warnings > 0)
                text += QStringLiteral(": ") + counted();
            return text;
        }
    }
    if (failed()) {
        if (m_errors == 0 && m_warnings == 0)
            return QStringLiteral("Build failed (%1 exit status %2)").arg(m_toolName).arg(m_failure.exitCode);
        return QStringLiteral("Build failed: ") + counted();
    }
    if (m_warnings > 0)
        return QStringLiteral("Build succeeded: ") + plural(m_warnings, "warning");
    return QStringLiteral("Build succeeded");
}

void PostBuildVerdict(MessageChannel& messages, const BuildVerdict& verdict)
{
    std::vector<MessageEntry> entries(1);
    entries[0].kind = MessageEntry::Kind::Status;
    entries[0].text = verdict.text();
    messages.post(std::move(entries));
}
