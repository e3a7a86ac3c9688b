#pragma once

#include <QStringList>

#include <optional>

class QIODevice;

// Tarn without a window, for scripts: `tarn --functions FILE...` and the
// other options in the table of HeadlessMode.cpp. Nothing here touches
// QtGui or QtWidgets, so a run needs no display.

// Called first thing by main() with the process's arguments. When the first
// argument names a command-line run, makes a QCoreApplication, runs it
// with standard output and error, and returns the exit status; otherwise
// returns nothing and the program starts its windows as usual.
std::optional<int> RunHeadless(int& argc, char** argv);

// The same run over given streams (arguments without the program name);
// nothing when the arguments do not ask for a command-line run. Needs a
// QCoreApplication when a command uses events or threads.
std::optional<int> RunHeadless(const QStringList& arguments, QIODevice& out, QIODevice& err);

// True when the first argument is one of the command-line options.
bool IsHeadlessRequest(const QStringList& arguments);
