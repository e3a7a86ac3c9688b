#include "singlefile/MakeRun.h"

#include "app/IdeSettings.h"
#include "messages/MessageSink.h"
#include "singlefile/SingleFileCommands.h"
#include "tools/BuildVerdict.h"
#include "tools/ToolSession.h"
#include "tools/WorkerReports.h"

int MakeThread(ToolSession& tools, const QString& makeFile)
{
    const MakePlan plan = PlanMake(ideSettings().makePath, makeFile, tools.directory());
    if (!plan.newToolDirectory.isEmpty())
        tools.setDirectory(plan.newToolDirectory);
    return tools.jobs().start(QStringLiteral("make"), [plan](JobContext& job) {
        MessageBatcher batch;
        if (!plan.unenterableDirectory.isEmpty())
            batch.add(QStringLiteral("Error: cannot enter the directory ") + plan.unenterableDirectory, 1);
        BuildVerdict verdict;
        const ChildResult result = RunWithMakeReport(plan.invocation, job.cancelFlag(), batch, &verdict);
        // A stopped make ends with Stop Build's one row instead.
        if (result.end != ChildResult::End::Cancelled)
            batch.add(QStringLiteral("Ending make"), 1);
        batch.post();
        PostBuildVerdict(verdict);
        return result.end == ChildResult::End::Finished ? result.exitCode : 1;
    });
}
