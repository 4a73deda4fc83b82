#include "settingsstore.h"

#include <QSettings>

namespace {
const QString Group = QStringLiteral("Settings");
const QString AppName = QStringLiteral("Scrawlix");
} // namespace

std::unique_ptr<SettingsStore> SettingsStore::forUser()
{
    return std::unique_ptr<SettingsStore>(new SettingsStore(
        std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope, AppName, AppName)));
}

std::unique_ptr<SettingsStore> SettingsStore::atFile(const QString& path)
{
    return std::unique_ptr<SettingsStore>(
        new SettingsStore(std::make_unique<QSettings>(path, QSettings::IniFormat)));
}

SettingsStore::SettingsStore(std::unique_ptr<QSettings> settings) : settings_(std::move(settings))
{
}

SettingsStore::~SettingsStore() = default;

QString SettingsStore::read(const QString& key) const
{
    return settings_->value(Group + QLatin1Char('/') + key).toString();
}

void SettingsStore::save(const QString& key, const QString& value)
{
    settings_->setValue(Group + QLatin1Char('/') + key, value);
    // Written through at once: the store outlives the program, and it may end abruptly.
    settings_->sync();
}

QString SettingsStore::location() const
{
    return settings_->fileName();
}
