#include "tools/StopJobs.h"

#include "messages/MessageSink.h"
#include "tools/JobManager.h"

#include <memory>
#include <set>

bool StopRunningJobs(JobManager& jobs)
{
    const std::vector<int> ids = jobs.uncancelledJobs();
    if (ids.empty())
        return false;
    struct Waiting {
        std::set<int> ids;
        QMetaObject::Connection connection;
        MessageChannel* messages = nullptr;
    };
    auto waiting = std::make_shared<Waiting>();
    waiting->ids.insert(ids.begin(), ids.end());
    waiting->messages = &jobs.messages();
    waiting->connection =
        QObject::connect(&jobs, &JobManager::jobFinished, &jobs, [waiting](int id, int) {
            const std::shared_ptr<Waiting> keep = waiting; // the disconnect drops this slot
            if (keep->ids.erase(id) == 0 || !keep->ids.empty())
                return;
            QObject::disconnect(keep->connection);
            // Through the ordered queue: after every row the jobs posted.
            keep->messages->add(kStoppedByUserRow, 1);
        });
    jobs.cancelAll();
    return true;
}
