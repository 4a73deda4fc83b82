#include "settingtable.h"

#include "settingsstore.h"

#include <algorithm>

bool parseWholeNumber(const QString& text, int low, int high, int* out)
{
    const QString t = text.trimmed();
    if (t.isEmpty())
        return false;
    for (QChar c : t) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    }
    bool ok = false;
    const int v = t.toInt(&ok);
    if (!ok || v < low || v > high)
        return false;
    *out = v;
    return true;
}

Setting::Setting(std::vector<const Setting*>& table, const char* name, const char* byDefault,
                 Seeding when)
    : key(QLatin1String(name)), fallback(QLatin1String(byDefault)), seeding(when), numeric_(false)
{
    table.push_back(this);
}

Setting::Setting(std::vector<const Setting*>& table, const char* name, const char* byDefault,
                 Seeding when, int low, int high)
    : key(QLatin1String(name)), fallback(QLatin1String(byDefault)), seeding(when), numeric_(true),
      low_(low), high_(high)
{
    table.push_back(this);
}

bool Setting::accepts(const QString& text) const
{
    int v = 0;
    return !numeric_ || parseWholeNumber(text, low_, high_, &v);
}

int Setting::number(const QString& text) const
{
    int v = 0;
    return parseWholeNumber(text, low_, high_, &v) ? v : fallback.toInt();
}

int Setting::number(const SettingsStore& store) const
{
    return number(store.read(key));
}

int Setting::position(const QString& text, int count) const
{
    if (count <= 0)
        return -1;
    int v = 0;
    return parseWholeNumber(text, low_, std::min(high_, count - 1), &v) ? v : fallback.toInt();
}

int Setting::position(const SettingsStore& store, int count) const
{
    return position(store.read(key), count);
}

const SettingTable& settingTable()
{
    static const SettingTable table;
    return table;
}

void seedSettings(SettingsStore& store, Seeding moment)
{
    for (const Setting* row : settingTable().rows()) {
        if (row->seeding == moment && store.read(row->key).isEmpty())
            store.save(row->key, row->fallback);
    }
}
