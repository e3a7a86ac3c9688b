#pragma once

#include <QString>

// Sets the last-access and last-modification times of an existing file to
// now, so that the next project build compiles it again. A missing file is
// never created; false when the file cannot be opened or its times cannot
// be set.
bool TouchFileTimes(const QString& path);
