#pragma once

#include <QString>
#include <QStringList>

// How a command line is cut into words. Posix: blanks separate words,
// single quotes keep everything literally, double quotes keep blanks and
// honour \" \\ \$ \`, a backslash outside quotes keeps the next character.
// Windows: only double quotes group, backslashes are path separators.
enum class SplitRules { Posix, Windows };

#ifdef Q_OS_WIN
inline constexpr SplitRules kNativeSplitRules = SplitRules::Windows;
#else
inline constexpr SplitRules kNativeSplitRules = SplitRules::Posix;
#endif

// The words of a command line as a shell would see them, without running a
// shell: no variables, globs or redirections are expanded. An unterminated
// quote runs to the end of the line.
QStringList SplitCommandLine(const QString& commandLine, SplitRules rules = kNativeSplitRules);
