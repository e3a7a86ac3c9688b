#pragma once

namespace fw {

// Marks a stretch in which the user-interface thread waits in a local event
// loop (a tool run) with code of a command still on the stack. While one is
// active the main window refuses to close, so nothing the waiting command
// uses goes away under it. User-interface thread only.
class BusyScope {
public:
    BusyScope() { ++s_depth; }
    ~BusyScope() { --s_depth; }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

    static bool active() { return s_depth > 0; }

private:
    static inline int s_depth = 0;
};

} // namespace fw
