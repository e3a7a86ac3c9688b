#include "singlefile/RunInTerminal.h"

#include "framework/Prompts.h"
#include "singlefile/TerminalLaunch.h"
#include "tools/ProcessTree.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

namespace {
QString g_waiter;

QString findProgram(const QString& name)
{
    if (name.contains(u'/')) {
        const QFileInfo info(name);
        return info.isFile() && info.isExecutable() ? info.absoluteFilePath() : QString();
    }
    return QStandardPaths::findExecutable(name);
}
} // namespace

QString terminalWaiter()
{
    return g_waiter.isEmpty() ? QCoreApplication::applicationFilePath() : g_waiter;
}

void setTerminalWaiter(const QString& program)
{
    g_waiter = program;
}

bool RunInTerminal(QWidget* parent, const QString& directory, const QString& program,
                   const QStringList& arguments)
{
    const QFileInfo info(QDir(directory).filePath(program));
    if (!program.isEmpty() && info.isFile() && !info.isExecutable()) {
        // The desktop's handler is the user's, not Tarn's: it outlives Tarn.
        bool opened = false;
        StartOutsideTarn([&] {
            opened = QDesktopServices::openUrl(QUrl::fromLocalFile(info.absoluteFilePath()));
        });
        return opened;
    }

    const std::optional<TerminalProgram> terminal =
        FindTerminal(qEnvironmentVariable("TERMINAL"), findProgram);
    if (!terminal) {
        fw::messageBox(parent, QStringLiteral(
            "No terminal program was found to run \"%1\" in. Install a terminal such as xterm, or "
            "name one in the TERMINAL environment variable.").arg(program));
        return false;
    }
    const Invocation run = TerminalInvocation(*terminal, terminalWaiter(), program, arguments, directory);
    // The terminal is the user's, not Tarn's: it stays open after Tarn ends.
    bool started = false;
    StartOutsideTarn([&] {
        started = QProcess::startDetached(run.program, run.arguments, run.workingDirectory);
    });
    if (!started) {
        fw::messageBox(parent, QStringLiteral("The terminal \"%1\" could not be started.").arg(run.program));
        return false;
    }
    return true;
}
