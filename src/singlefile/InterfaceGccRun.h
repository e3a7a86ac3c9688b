#pragma once

#include <QString>

class IdeContext;
class ToolCommand;

// The gcc run of Quick Compile, Build Source and Link on the user-interface
// thread: clears the message window when the "Clear" setting is on, shows
// the heading (no separator) and the command line (with one), runs the
// command in Tarn's current directory with its argument list, waits (the
// window keeps painting but takes no input), shows the gcc report and puts
// the build's verdict in the status bar.
void RunGccOnInterface(IdeContext& context, const QString& heading, const ToolCommand& command);
