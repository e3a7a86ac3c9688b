#pragma once

#include "settings/LogFontRecord.h"

#include <QString>

#include <optional>

class SettingsProfile;

// The tool paths and switches: what the stored form and the live settings
// have in common.
struct SettingsValues {
    QString gccPath;
    QString gdbPath;
    QString makePath;
    QString libcPath;
    int debugDefault = 0;
    int moveBraces = 1;
    int clearBeforeBuild = 1;
    int keepLevelAfterSemicolon = 1;
    int minimizeOnTile = 0;

    // "Clear" is a switch: any value other than 0 turns it on, for every
    // compile, link, build and Export and Make alike.
    bool clearsBeforeBuild() const { return clearBeforeBuild != 0; }

    bool operator==(const SettingsValues&) const = default;
};

// The ten values of section "Options" of Tarn32.ini as they are stored: the
// font as its record, so this codec needs nothing beyond QtCore.
struct StoredSettings : SettingsValues {
    // nullopt when the "Font" value is missing, of another length, not hex
    // or fails its checksum; the caller then uses the default font.
    std::optional<LogFontRecord> font;

    // What a missing file gives: every key at its default.
    static StoredSettings defaults();

    bool operator==(const StoredSettings&) const = default;
};

// The section that holds the settings.
inline constexpr char SettingsSection[] = "Options";

// Reads the ten keys; a missing key gives its default.
StoredSettings readStoredSettings(const SettingsProfile& profile);

// The settings file: Tarn32.ini in the per-user configuration folder.
QString settingsFilePath();
// Writes the ten keys, one at a time, in the fixed order of the format:
// "GCC Path", "GDB Path", "Make Path", "LibC Path", "Auto Indent",
// "Debug Default", "Font", "Clear", "Level", "Tile". A missing font record
// leaves the "Font" key as it is.
void writeStoredSettings(SettingsProfile& profile, const StoredSettings& settings);
