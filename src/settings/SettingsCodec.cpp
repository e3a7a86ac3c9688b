#include "settings/SettingsCodec.h"

#include "settings/SettingsProfile.h"

#include <QStandardPaths>

#include <type_traits>
#include <variant>

namespace {

using TextField = QString StoredSettings::*;
using IntegerField = int StoredSettings::*;
using FontField = std::optional<LogFontRecord> StoredSettings::*;

// One row per key: its name in the file, the field it fills and the value a
// missing key gives (integers only; a missing text is empty, a missing font
// falls back to the caller's default font). The rows are in the order the
// keys are written.
struct SettingKey {
    const char* key;
    std::variant<TextField, IntegerField, FontField> field;
    int defaultValue = 0;
};

const SettingKey settingKeys[] = {
    {"GCC Path", &StoredSettings::gccPath},
    {"GDB Path", &StoredSettings::gdbPath},
    {"Make Path", &StoredSettings::makePath},
    {"LibC Path", &StoredSettings::libcPath},
    {"Auto Indent", &StoredSettings::moveBraces, 1},
    {"Debug Default", &StoredSettings::debugDefault, 0},
    {"Font", &StoredSettings::font},
    {"Clear", &StoredSettings::clearBeforeBuild, 1},
    {"Level", &StoredSettings::keepLevelAfterSemicolon, 1},
    {"Tile", &StoredSettings::minimizeOnTile, 0},
};

} // namespace

StoredSettings StoredSettings::defaults()
{
    return readStoredSettings(SettingsProfile());
}

StoredSettings readStoredSettings(const SettingsProfile& profile)
{
    StoredSettings settings;
    for (const SettingKey& row : settingKeys) {
        std::visit(
            [&](auto field) {
                using Field = decltype(field);
                if constexpr (std::is_same_v<Field, TextField>) {
                    settings.*field = profile.text(SettingsSection, row.key, QString());
                } else if constexpr (std::is_same_v<Field, IntegerField>) {
                    settings.*field = profile.integer(SettingsSection, row.key, row.defaultValue);
                } else {
                    const std::optional<QByteArray> value =
                        profile.rawValue(SettingsSection, row.key);
                    settings.*field =
                        value ? LogFontRecord::fromProfileValue(*value) : std::nullopt;
                }
            },
            row.field);
    }
    return settings;
}

void writeStoredSettings(SettingsProfile& profile, const StoredSettings& settings)
{
    for (const SettingKey& row : settingKeys) {
        std::visit(
            [&](auto field) {
                using Field = decltype(field);
                if constexpr (std::is_same_v<Field, TextField>) {
                    profile.setText(SettingsSection, row.key, settings.*field);
                } else if constexpr (std::is_same_v<Field, IntegerField>) {
                    profile.setInteger(SettingsSection, row.key, settings.*field);
                } else if (const std::optional<LogFontRecord>& font = settings.*field) {
                    profile.setRawValue(SettingsSection, row.key, font->toProfileValue());
                }
            },
            row.field);
    }
}

QString settingsFilePath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/Tarn32.ini");
}
