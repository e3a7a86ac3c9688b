#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// The project window's uses of the source scanner. Each reads the file on
// disk afresh; nothing when the file cannot be opened.

// The names of the function definitions, in file order.
std::optional<QStringList> ScanFunctionNames(const QString& path);
// The names written in double quotes after "#include", in file order.
std::optional<QStringList> ScanQuotedIncludeNames(const QString& path);
// The zero-based lines of the first kMaxBrowsedDefinitions definitions.
inline constexpr int kMaxBrowsedDefinitions = 800;
std::optional<QList<int>> ScanDefinitionLines(const QString& path);
