#include "singlefile/QuickCompile.h"

#include "app/IdeSettings.h"
#include "editor/CTarnDoc.h"
#include "editor/CTarnView.h"
#include "framework/Prompts.h"
#include "messages/MessageSink.h"
#include "singlefile/QuickCompileLine.h"
#include "tools/ToolReports.h"
#include "tools/ToolRunner.h"

#include <QDir>

void QuickCompile(CTarnView& view)
{
    const IdeSettings& settings = ideSettings();
    if (settings.gccPath.isEmpty()) {
        fw::messageBox(&view, QStringLiteral(
            "It appears you have not set your gcc path! GCC is the base C compiler for djgpp, "
            "you must set the path to its executable on the options menu with the \"browse\" "
            "button."));
        return;
    }
    if (!view.RequireSavedFile())
        return;

    const QString path = QDir::toNativeSeparators(view.sourceDocument()->pathName());
    const QString commandLine = QuickCompileCommandLine(settings.gccPath, path, view.compileOptions);
    if (settings.clearBeforeBuild)
        ClearMessages();
    AddMessage(QStringLiteral("Compiling ") + path + QStringLiteral(" with command line of:"), 0);
    AddMessage(commandLine, 1);

    ToolPipes pipes;
    RunTool(commandLine, pipes, 1);
    pipes.waitForEnd();
    ShowGccReport(pipes);
}
