#include "tools/ToolEnvironment.h"

#include <QStringList>

#include <algorithm>

#include <unistd.h>

namespace {

const QString kAll = QStringLiteral("LC_ALL");
const QString kMessages = QStringLiteral("LC_MESSAGES");
const QString kLanguage = QStringLiteral("LANGUAGE");

// The categories other than LC_MESSAGES that LC_ALL rules when it is set.
const QStringList& otherCategories()
{
    static const QStringList categories{
        QStringLiteral("LC_CTYPE"),     QStringLiteral("LC_NUMERIC"),
        QStringLiteral("LC_TIME"),      QStringLiteral("LC_COLLATE"),
        QStringLiteral("LC_MONETARY"),  QStringLiteral("LC_PAPER"),
        QStringLiteral("LC_NAME"),      QStringLiteral("LC_ADDRESS"),
        QStringLiteral("LC_TELEPHONE"), QStringLiteral("LC_MEASUREMENT"),
        QStringLiteral("LC_IDENTIFICATION"),
    };
    return categories;
}

} // namespace

QProcessEnvironment ToolEnvironment(const QProcessEnvironment& user)
{
    QProcessEnvironment tool = user;
    // An empty LC_ALL is as good as none: the categories keep their own.
    const QString all = user.value(kAll);
    if (!all.isEmpty()) {
        for (const QString& category : otherCategories())
            tool.insert(category, all);
    }
    tool.remove(kAll);
    tool.remove(kLanguage);
    tool.insert(kMessages, QStringLiteral("C"));
    return tool;
}

std::vector<EnvironmentSetting> UserLocaleSettings(const QProcessEnvironment& user)
{
    const QProcessEnvironment tool = ToolEnvironment(user);
    QStringList names = otherCategories();
    names << kAll << kMessages << kLanguage;
    names.sort();
    std::vector<EnvironmentSetting> settings;
    for (const QString& name : names) {
        const bool had = user.contains(name);
        if (had == tool.contains(name) && user.value(name) == tool.value(name))
            continue;
        settings.push_back({name, had ? std::optional<QString>(user.value(name)) : std::nullopt});
    }
    return settings;
}

std::vector<QByteArray> ToolEnvironmentBytes()
{
    const QProcessEnvironment user = QProcessEnvironment::systemEnvironment();
    const QProcessEnvironment tool = ToolEnvironment(user);
    const std::vector<EnvironmentSetting> changed = UserLocaleSettings(user);
    const auto isChanged = [&changed](QByteArrayView name) {
        const QString text = QString::fromLocal8Bit(name);
        return std::any_of(changed.begin(), changed.end(),
                           [&text](const EnvironmentSetting& s) { return s.name == text; });
    };
    std::vector<QByteArray> entries;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        const QByteArrayView text(*entry);
        const qsizetype equals = text.indexOf('=');
        if (!isChanged(equals < 0 ? text : text.first(equals)))
            entries.emplace_back(text.toByteArray());
    }
    for (const EnvironmentSetting& setting : changed) {
        if (tool.contains(setting.name))
            entries.push_back(setting.name.toLocal8Bit() + '=' +
                              tool.value(setting.name).toLocal8Bit());
    }
    return entries;
}
