#include "settingsstore.h"

#include "inigroupfile.h"

#include <QSettings>
#include <QStandardPaths>

namespace {
const QString Group = QStringLiteral("Settings");
const QString AppName = QStringLiteral("Scrawlix");
} // namespace

std::unique_ptr<SettingsStore> SettingsStore::forUser()
{
#ifdef Q_OS_WIN
    // The registry: nobody edits it by hand around our keys.
    auto store = std::unique_ptr<SettingsStore>(new SettingsStore);
    store->registry_ = std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                                   AppName, AppName);
    return store;
#else
    // Where Qt would keep it; QSettings itself is not used, since it rewrites the whole file
    // and blocks on a file that is a pipe.
    return atFile(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
                  QLatin1Char('/') + AppName + QLatin1Char('/') + AppName +
                  QStringLiteral(".conf"));
#endif
}

std::unique_ptr<SettingsStore> SettingsStore::atFile(const QString& path)
{
    auto store = std::unique_ptr<SettingsStore>(new SettingsStore);
    store->file_ = std::make_unique<IniGroupFile>(path, Group);
    return store;
}

SettingsStore::SettingsStore() = default;
SettingsStore::~SettingsStore() = default;

QString SettingsStore::read(const QString& key) const
{
    if (file_)
        return file_->read(key);
    return registry_->value(Group + QLatin1Char('/') + key).toString();
}

bool SettingsStore::save(const QString& key, const QString& value)
{
    // Written through at once: the store outlives the program, and it may end abruptly.
    if (file_)
        return file_->save(key, value);
    registry_->setValue(Group + QLatin1Char('/') + key, value);
    registry_->sync();
    return registry_->status() == QSettings::NoError;
}


QString SettingsStore::location() const
{
    return file_ ? file_->path() : registry_->fileName();
}
