#pragma once

#include <QString>

class JobManager;

// The row that ends the output of the jobs Stop Build ended.
inline const QString kStoppedByUserRow = QStringLiteral("Stopped by the user");

// Stop Build: asks every running job not yet asked to stop (a make, a
// project build, Export and Make) to stop; their tools are ended with
// their process groups and no further step of theirs starts. Once the last
// of them has ended, one row "Stopped by the user" with a separator follows
// everything they wrote. Returns at once; false (and nothing happens) when
// no such job runs, so a second press while they wind down does nothing.
bool StopRunningJobs(JobManager& jobs);
