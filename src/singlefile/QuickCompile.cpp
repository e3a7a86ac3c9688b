#include "singlefile/QuickCompile.h"

#include "settings/IdeSettings.h"
#include "editor/CTarnDoc.h"
#include "editor/CTarnView.h"
#include "framework/Prompts.h"
#include "tools/ToolPathMessages.h"
#include "singlefile/InterfaceGccRun.h"
#include "singlefile/SingleFileCommands.h"
#include "settings/IdeContext.h"

#include <QDir>

void QuickCompile(CTarnView& view, IdeContext& tools)
{
    const IdeSettings& settings = tools.settings();
    if (settings.gccPath.isEmpty()) {
        fw::messageBox(&view, GccPathMessage());
        return;
    }
    if (!view.RequireSavedFile())
        return;

    const QString path = QDir::toNativeSeparators(view.sourceDocument()->pathName());
    RunGccOnInterface(tools, QStringLiteral("Compiling ") + path + QStringLiteral(" with command line of:"),
                      QuickCompileCommand(settings.gccPath, path, view.compileOptions));
}
