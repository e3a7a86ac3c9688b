#include "singlefile/InterfaceGccRun.h"

#include "settings/IdeSettings.h"
#include "messages/MessageSink.h"
#include "tools/BuildVerdict.h"
#include "tools/Invocation.h"
#include "tools/ToolRunner.h"
#include "tools/WorkerReports.h"

void RunGccOnInterface(const QString& heading, const ToolCommand& command, const QString& directory)
{
    if (ideSettings().clearsBeforeBuild())
        ClearMessages();
    AddMessage(heading, 0);
    AddMessage(command.line(), 1);
    const Invocation invocation = command.invocation(directory);
    BuildVerdict verdict;
    RunWithInterfaceWait([&](const std::atomic<bool>& cancel) {
        MessageBatcher batch;
        return RunWithGccReport(invocation, cancel, batch, QStringLiteral("Errors:"), &verdict);
    });
    PostBuildVerdict(verdict);
}
