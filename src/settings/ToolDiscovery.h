#pragma once

#include <QString>

struct SettingsValues;
class SettingsProfile;

// The full path of the program that PATH finds under this name (the first
// executable file of that name in PATH's folders, as a shell finds it);
// empty when there is none.
QString findToolOnPath(const QString& name);

// A first start needs no trip to Options on a machine with the tools
// installed: each of "GCC Path", "GDB Path" and "Make Path" that section
// "Options" of the profile lacks altogether takes the gcc, gdb or make that
// PATH finds. A key that is present, even with an empty value, is the
// user's choice and is kept. Nothing is written: the found paths reach the
// file only when the Options dialog is confirmed.
void findMissingToolPaths(SettingsValues& values, const SettingsProfile& profile);
