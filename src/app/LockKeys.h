#pragma once

#include <optional>

// The states of the keyboard's lock keys, where the platform tells them
// (on X11 through the keyboard extension); nullopt elsewhere.
struct LockKeys {
    bool caps = false;
    bool num = false;
    bool scroll = false;
};

std::optional<LockKeys> queryLockKeys();
