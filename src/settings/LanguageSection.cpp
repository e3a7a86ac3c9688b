#include "settings/LanguageSection.h"

#include "settings/SettingsProfile.h"
#include "settings/ToolDiscovery.h"

LanguageSettings readLanguageSettings(const SettingsProfile& profile)
{
    LanguageSettings settings;
    settings.clangdPath = profile.rawValue(LanguageSection, "Clangd Path")
                              ? profile.text(LanguageSection, "Clangd Path", QString())
                              : findToolOnPath(QStringLiteral("clangd"));
    settings.codeIntelligence = profile.integer(LanguageSection, "Code Intelligence", 1) != 0;
    return settings;
}

void writeLanguageSettings(SettingsProfile& profile, const LanguageSettings& settings)
{
    profile.setText(LanguageSection, "Clangd Path", settings.clangdPath);
    profile.setInteger(LanguageSection, "Code Intelligence", settings.codeIntelligence ? 1 : 0);
}
