#include "tools/MakeJob.h"

#include "messages/MessageSink.h"
#include "tools/BuildVerdict.h"
#include "tools/JobManager.h"
#include "tools/WorkerReports.h"

int RunMakeJob(JobContext& context, const Invocation& make, const QString& firstRow)
{
    MessageBatcher batch(context.messages());
    if (!firstRow.isEmpty())
        batch.add(firstRow, 1);
    BuildVerdict verdict;
    const ChildResult result = RunWithMakeReport(make, context.cancelFlag(), batch, &verdict);
    if (result.end != ChildResult::End::Cancelled)
        batch.add(QStringLiteral("Ending make"), 1);
    batch.post();
    PostBuildVerdict(context.messages(), verdict);
    return result.end == ChildResult::End::Finished ? result.exitCode : 1;
}
