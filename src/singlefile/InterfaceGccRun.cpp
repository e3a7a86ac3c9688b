#include "singlefile/InterfaceGccRun.h"

#include "app/IdeSettings.h"
#include "messages/MessageSink.h"
#include "tools/BuildVerdict.h"
#include "tools/Invocation.h"
#include "tools/ToolReports.h"
#include "tools/ToolRunner.h"

void RunGccOnInterface(const QString& heading, const ToolCommand& command, const QString& directory)
{
    if (ideSettings().clearsBeforeBuild())
        ClearMessages();
    AddMessage(heading, 0);
    AddMessage(command.line(), 1);
    ToolPipes pipes;
    pipes.start(command.invocation(directory));
    pipes.waitForEnd();
    ShowGccReport(pipes);
    BuildVerdict verdict;
    verdict.countRows(pipes.bytes(ToolStream::Error), true);
    verdict.addRun(BuildVerdict::Tool::Gcc, command.program(), pipes.result());
    PostBuildVerdict(verdict);
}
