#pragma once

#include <QString>
#include <QStringList>

class QWidget;

// Starts a program with its arguments in a terminal window, in the given
// folder (Tarn's current directory), through Tarn's waiter (see TerminalLaunch.h). A file
// that exists but is not executable (and is no folder) is opened with the
// desktop's handler instead. When no terminal is found a message box says
// so. Returns true when something was started.
bool RunInTerminal(QWidget* parent, const QString& directory, const QString& program,
                   const QStringList& arguments);

// The program the terminal runs as waiter: Tarn's own executable unless a
// test set another (empty restores it).
QString terminalWaiter();
void setTerminalWaiter(const QString& program);
