#include "singlefile/QuickCompile.h"

#include "settings/IdeSettings.h"
#include "editor/CTarnDoc.h"
#include "editor/CTarnView.h"
#include "framework/Prompts.h"
#include "tools/ToolPathMessages.h"
#include "singlefile/InterfaceGccRun.h"
#include "singlefile/SingleFileCommands.h"
#include "tools/ToolSession.h"

#include <QDir>

void QuickCompile(CTarnView& view, ToolSession& tools)
{
    const IdeSettings& settings = ideSettings();
    if (settings.gccPath.isEmpty()) {
        fw::messageBox(&view, GccPathMessage());
        return;
    }
    if (!view.RequireSavedFile())
        return;

    const QString path = QDir::toNativeSeparators(view.sourceDocument()->pathName());
    RunGccOnInterface(QStringLiteral("Compiling ") + path + QStringLiteral(" with command line of:"),
                      QuickCompileCommand(settings.gccPath, path, view.compileOptions), tools.directory());
}
