#pragma once

#include <QByteArray>
#include <QString>

#include <functional>
#include <ostream>

// Small helpers shared by the widget tests.
namespace testsupport {
// Writes bytes to a file, creating folders; returns false on failure.
bool writeFile(const QString& path, const QByteArray& bytes);
QByteArray readFile(const QString& path);
// Processes events until the predicate holds or the time runs out.
bool waitUntil(const std::function<bool()>& predicate, int timeoutMs = 10000);
} // namespace testsupport
