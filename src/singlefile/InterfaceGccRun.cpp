#include "singlefile/InterfaceGccRun.h"

#include "app/IdeSettings.h"
#include "messages/MessageSink.h"
#include "tools/BuildVerdict.h"
#include "tools/Invocation.h"
#include "tools/ToolDirectory.h"
#include "tools/ToolRunner.h"
#include "tools/WorkerReports.h"

void RunGccOnInterface(const QString& heading, const ToolCommand& command)
{
    if (ideSettings().clearsBeforeBuild())
        ClearMessages();
    AddMessage(heading, 0);
    AddMessage(command.line(), 1);
    const Invocation invocation = command.invocation(toolDirectory());
    BuildVerdict verdict;
    RunWithInterfaceWait([&](const std::atomic<bool>& cancel) {
        MessageBatcher batch;
        return RunWithGccReport(invocation, cancel, batch, QStringLiteral("Errors:"), &verdict);
    });
    PostBuildVerdict(verdict);
}

QString GccPathMessage()
{
    return QStringLiteral(
        "It appears you have not set your gcc path! GCC is the base C compiler for djgpp, you must "
        "set the path to its executable on the options menu with the \"browse\" button.");
}
