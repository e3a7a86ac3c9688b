#pragma once

#include <QString>

class SettingsProfile;

// Code intelligence's section of Tarn32.ini:
//
//   [Language]
//   Clangd Path=/usr/bin/clangd
//   Code Intelligence=1
//
// A missing Clangd Path is the clangd that PATH finds (as the tool paths
// of [Options] are on a first start); a path deliberately left empty stays
// empty.
struct LanguageSettings {
    QString clangdPath;
    // View > Code Intelligence.
    bool codeIntelligence = true;

    bool operator==(const LanguageSettings&) const = default;
};

inline constexpr char LanguageSection[] = "Language";

LanguageSettings readLanguageSettings(const SettingsProfile& profile);
void writeLanguageSettings(SettingsProfile& profile, const LanguageSettings& settings);
