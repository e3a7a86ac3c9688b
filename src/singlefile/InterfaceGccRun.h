#pragma once

#include <QString>

class ToolCommand;

// The gcc run of Quick Compile, Build Source and Link on the user-interface
// thread: clears the message window when the "Clear" setting is on, shows
// the heading (no separator) and the command line (with one), runs the
// command in Tarn's current directory with its argument list, waits (the
// window keeps painting but takes no input) and shows the gcc report.
void RunGccOnInterface(const QString& heading, const ToolCommand& command);

// The gcc-path message of the compile commands.
QString GccPathMessage();
