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

// The arguments of a command line that begins with the program path. The
// program path is taken as stored (it may hold blanks), so when the line
// starts with it the words are those of the rest; otherwise the first word
// is dropped.
QStringList ArgumentsAfterProgram(const QString& commandLine, const QString& program,
                                  SplitRules rules = kNativeSplitRules);
