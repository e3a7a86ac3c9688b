#include "singlefile/InterfaceGccRun.h"

#include "settings/IdeContext.h"
#include "messages/MessageSink.h"
#include "tools/BuildVerdict.h"
#include "tools/Invocation.h"
#include "tools/ToolRunner.h"
#include "tools/WorkerReports.h"

void RunGccOnInterface(IdeContext& context, const QString& heading, const ToolCommand& command)
{
    MessageChannel& messages = context.messages();
    if (context.settings().clearsBeforeBuild())
        messages.clear();
    messages.add(heading, 0);
    messages.add(command.line(), 1);
    const Invocation invocation = command.invocation(context.directory());
    BuildVerdict verdict;
    RunWithInterfaceWait(messages, [&](const std::atomic<bool>& cancel) {
        MessageBatcher batch(messages);
        return RunWithGccReport(invocation, cancel, batch, QStringLiteral("Errors:"), &verdict);
    });
    PostBuildVerdict(messages, verdict);
}
