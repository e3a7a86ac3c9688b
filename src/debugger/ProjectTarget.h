#pragma once

#include "project/BuildJob.h"

#include <QString>

// Whether Start Debugging on a project must build it first, by the project
// build's own rule (headers are not looked at, as Build Project does not):
// the program is current when it exists, every source has an object that
// is not older than the source, and no object is newer than the program.
// A source without an object name is never current.
bool ProjectOutputIsCurrent(const BuildJob& job);
