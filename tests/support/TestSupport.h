#pragma once

#include <QByteArray>
#include <QString>

#include <functional>
#include <optional>
#include <ostream>
#include <utility>
#include <vector>

// Readable QStrings in test failures.
inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

// Small helpers shared by the tests.
namespace testsupport {
// Writes bytes to a file, creating folders; returns false on failure.
bool writeFile(const QString& path, const QByteArray& bytes);
// The same for a file named by its bytes (which need not be UTF-8).
bool writeBytes(const QByteArray& path, const QByteArray& bytes);
QByteArray readFile(const QString& path);
// Writes an executable file (a script standing in for a tool).
bool writeScript(const QString& path, const QByteArray& bytes);
// Runs a built program without arguments and hands back its standard output.
QByteArray programOutput(const QString& program);
// Processes events until the predicate holds or the time runs out.
bool waitUntil(const std::function<bool()>& predicate, int timeoutMs = 10000);

// Puts the named environment variables back as they were when it was made
// (set to their old value, or unset).
class SavedVariables {
public:
    explicit SavedVariables(const std::vector<const char*>& names)
    {
        for (const char* name : names)
            m_saved.emplace_back(name, qEnvironmentVariableIsSet(name)
                                           ? std::optional<QByteArray>(qgetenv(name))
                                           : std::nullopt);
    }
    ~SavedVariables()
    {
        for (const auto& [name, value] : m_saved) {
            if (value)
                qputenv(name, *value);
            else
                qunsetenv(name);
        }
    }
    SavedVariables(const SavedVariables&) = delete;
    SavedVariables& operator=(const SavedVariables&) = delete;

private:
    std::vector<std::pair<const char*, std::optional<QByteArray>>> m_saved;
};
} // namespace testsupport
