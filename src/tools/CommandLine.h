#pragma once

#include <QString>
#include <QStringList>

// The words of a command line as a POSIX shell would see them, without
// running a shell: blanks separate words, single quotes keep everything
// literally, double quotes keep blanks and honour \" \\ \$ \`, a backslash
// outside quotes keeps the next character. No variables, globs or
// redirections are expanded. An unterminated quote runs to the end of the
// line.
QStringList SplitCommandLine(const QString& commandLine);
