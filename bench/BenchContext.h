#pragma once

// The context the benchmarks make their windows and commands with, as the
// IDE's main window does with its own.
#include "settings/IdeContext.h"

inline IdeContext& benchContext()
{
    static IdeContext context;
    return context;
}
