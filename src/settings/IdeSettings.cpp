#include "settings/IdeSettings.h"

#include "framework/SafeSave.h"

#include "settings/FontRecord.h"
#include "settings/SettingsCodec.h"
#include "settings/SettingsProfile.h"
#include "settings/ToolDiscovery.h"
#include "framework/Prompts.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <functional>

namespace {

const QString& gccPathWarning()
{
    static const QString text = QStringLiteral(
        "It appears that you have not yet set your program paths in the View->Options menu.  "
        "Tarn may not work correctly until you do!");
    return text;
}

// The whole file; empty when it is missing. An error text when it exists
// but cannot be read.
QByteArray readSettingsFile(const QString& path, QString* error = nullptr)
{
    QFile file(path);
    if (!QFileInfo(path).isFile())
        return {};
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = file.errorString();
        return {};
    }
    return file.readAll();
}

StoredSettings toStored(const IdeSettings& settings)
{
    StoredSettings stored;
    static_cast<SettingsValues&>(stored) = settings;
    stored.font = fontRecordFromFont(settings.sourceFont);
    return stored;
}

IdeSettings fromStored(const StoredSettings& stored)
{
    IdeSettings settings;
    static_cast<SettingsValues&>(settings) = stored;
    settings.sourceFont = stored.font ? fontFromFontRecord(*stored.font) : defaultSourceFont();
    return settings;
}

// Writes through a temporary file that replaces the old one only when
// complete, so a failure never leaves a half-written settings file.
bool writeSettingsFile(const QString& path, const QByteArray& bytes, QString* error)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    return fw::saveFileSafely(path, bytes, error);
}

} // namespace

LoadedSettings LoadSettings(QWidget* parent)
{
    // A file that cannot be read is the same as a first start.
    const SettingsProfile profile =
        SettingsProfile::fromBytes(readSettingsFile(settingsFilePath()));
    StoredSettings stored = readStoredSettings(profile);
    findMissingToolPaths(stored, profile);
    // Only the gcc path is tested: it is the one every build needs. On a
    // first start it is empty only when PATH holds no gcc either.
    if (stored.gccPath.isEmpty())
        fw::messageBox(parent, gccPathWarning());
    LoadedSettings loaded;
    loaded.settings = fromStored(stored);
    loaded.settings.editor = readEditorSwitches(profile);
    loaded.settings.language = readLanguageSettings(profile);
    loaded.session = readSession(profile);
    loaded.paneLayout = readDebuggerPaneLayout(profile);
    return loaded;
}

namespace {

// Reads the file, lets `change` edit it and writes it back safely. Other
// sections and keys of the file are kept, so a file that exists but cannot
// be read is not replaced; either failure is reported naming the file.
bool updateSettingsFile(QWidget* parent, const std::function<void(SettingsProfile&)>& change)
{
    const QString path = settingsFilePath();
    QString error;
    const QByteArray old = readSettingsFile(path, &error);
    if (error.isEmpty()) {
        SettingsProfile profile = SettingsProfile::fromBytes(old);
        change(profile);
        if (writeSettingsFile(path, profile.toBytes(), &error))
            return true;
    }
    fw::messageBox(parent,
                   QStringLiteral("The settings could not be saved to %1.\n%2")
                       .arg(QDir::toNativeSeparators(path), error),
                   fw::Prompts::Icon::Error);
    return false;
}

} // namespace

bool SaveSettings(const IdeSettings& settings, QWidget* parent)
{
    return updateSettingsFile(parent, [&settings](SettingsProfile& profile) {
        writeStoredSettings(profile, toStored(settings));
    });
}

bool SaveEditorSwitches(const EditorSwitches& switches, QWidget* parent)
{
    return updateSettingsFile(parent, [&switches](SettingsProfile& profile) {
        writeEditorSwitches(profile, switches);
    });
}

bool SaveLanguageSettings(const LanguageSettings& language, QWidget* parent)
{
    return updateSettingsFile(parent, [&language](SettingsProfile& profile) {
        writeLanguageSettings(profile, language);
    });
}

bool SaveSession(const Session& session, QWidget* parent)
{
    return updateSettingsFile(
        parent, [&session](SettingsProfile& profile) { writeSession(profile, session); });
}

bool SaveDebuggerPaneLayout(const DebuggerPaneLayout& layout, QWidget* parent)
{
    return updateSettingsFile(
        parent, [&layout](SettingsProfile& profile) { writeDebuggerPaneLayout(profile, layout); });
}
