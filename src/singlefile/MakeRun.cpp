#include "singlefile/MakeRun.h"

#include "settings/IdeSettings.h"
#include "singlefile/SingleFileCommands.h"
#include "tools/MakeJob.h"
#include "settings/IdeContext.h"

int MakeThread(IdeContext& tools, const QString& makeFile)
{
    const MakePlan plan = PlanMake(tools.settings().makePath, makeFile, tools.directory());
    if (!plan.newToolDirectory.isEmpty())
        tools.setDirectory(plan.newToolDirectory);
    const QString refusal =
        plan.unenterableDirectory.isEmpty()
            ? QString()
            : QStringLiteral("Error: cannot enter the directory ") + plan.unenterableDirectory;
    return tools.jobs().start(QStringLiteral("make"), [plan, refusal](JobContext& job) {
        return RunMakeJob(job, plan.invocation, refusal);
    });
}
