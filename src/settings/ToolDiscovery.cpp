#include "settings/ToolDiscovery.h"

#include "settings/SettingsCodec.h"
#include "settings/SettingsProfile.h"

#include <QStandardPaths>

QString findToolOnPath(const QString& name)
{
    // Reads PATH at each call, so a changed environment is seen.
    return QStandardPaths::findExecutable(name);
}

void findMissingToolPaths(SettingsValues& values, const SettingsProfile& profile)
{
    const struct {
        const char* key;
        const char* program;
        QString SettingsValues::*field;
    } tools[] = {
        {"GCC Path", "gcc", &SettingsValues::gccPath},
        {"GDB Path", "gdb", &SettingsValues::gdbPath},
        {"Make Path", "make", &SettingsValues::makePath},
    };
    for (const auto& tool : tools) {
        if (!profile.rawValue(SettingsSection, tool.key))
            values.*tool.field = findToolOnPath(QString::fromLatin1(tool.program));
    }
}
