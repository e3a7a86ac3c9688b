#include "singlefile/MakeRun.h"

#include "app/IdeSettings.h"
#include "messages/MessageSink.h"
#include "singlefile/SingleFileCommands.h"
#include "tools/BuildVerdict.h"
#include "tools/JobManager.h"
#include "tools/ToolDirectory.h"
#include "tools/WorkerReports.h"

int MakeThread(const QString& makeFile)
{
    JobManager* jobs = JobManager::instance();
    if (!jobs)
        return 0;
    const MakePlan plan = PlanMake(ideSettings().makePath, makeFile, toolDirectory());
    if (!plan.newToolDirectory.isEmpty())
        setToolDirectory(plan.newToolDirectory);
    return jobs->start(QStringLiteral("make"), [plan](JobContext& job) {
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

QString MakePathMessage()
{
    return QStringLiteral(
        "It appears you have not set your make path! If you have installed Make, the GNU project "
        "manager, you must set the path to its executable on the options menu with the \"browse\" "
        "button.");
}
