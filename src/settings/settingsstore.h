#pragma once

#include <QString>
#include <memory>

class IniGroupFile;
class QSettings;

// The per-user store of the program's defaults: application "Scrawlix", section "Settings".
// On Linux that is $XDG_CONFIG_HOME/Scrawlix/Scrawlix.conf, on Windows the user's registry.
// An absent key and an empty one both read as "". A file that cannot be read (not a regular
// file, not text) reads as empty and is never written.
class SettingsStore
{
public:
    // The user's own store.
    static std::unique_ptr<SettingsStore> forUser();
    // An INI file at the given path (tests, tools).
    static std::unique_ptr<SettingsStore> atFile(const QString& path);

    ~SettingsStore();

    QString read(const QString& key) const;
    // False when the value could not be stored; it then lasts until the program ends.
    bool save(const QString& key, const QString& value);

    // Where the store lives, for the message when it cannot be written.
    QString location() const;

private:
    SettingsStore();
    std::unique_ptr<IniGroupFile> file_;
    std::unique_ptr<QSettings> registry_;
};
