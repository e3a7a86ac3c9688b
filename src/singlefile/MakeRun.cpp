#include "singlefile/MakeRun.h"

#include "app/IdeSettings.h"
#include "singlefile/SingleFileCommands.h"
#include "tools/JobManager.h"
#include "tools/MakeJob.h"
#include "tools/ToolDirectory.h"

int MakeThread(const QString& makeFile)
{
    JobManager* jobs = JobManager::instance();
    if (!jobs)
        return 0;
    const MakePlan plan = PlanMake(ideSettings().makePath, makeFile, toolDirectory());
    if (!plan.newToolDirectory.isEmpty())
        setToolDirectory(plan.newToolDirectory);
    const QString refusal =
        plan.unenterableDirectory.isEmpty()
            ? QString()
            : QStringLiteral("Error: cannot enter the directory ") + plan.unenterableDirectory;
    return jobs->start(QStringLiteral("make"), [plan, refusal](JobContext& job) {
        return RunMakeJob(job, plan.invocation, refusal);
    });
}

QString MakePathMessage()
{
    return QStringLiteral(
        "It appears you have not set your make path! If you have installed Make, the GNU project "
        "manager, you must set the path to its executable on the options menu with the \"browse\" "
        "button.");
}
