#pragma once

#include <QSet>
#include <QString>
#include <QStringList>
#include <functional>

// What a backend has to tell the user about this session's services (a portal that is missing, a
// hot key that cannot be had), once each. The shell supplies the sink, the tray's balloon; what is
// told before the tray exists waits for it.
class Notices
{
public:
    using Sink = std::function<void(const QString& text)>;

    // Delivers what was told so far, then everything told later.
    void setSink(Sink sink);

    // Tells `text` unless something was already told under `key`.
    void tellOnce(const QString& key, const QString& text);

    bool told(const QString& key) const { return told_.contains(key); }

private:
    Sink sink_;
    QSet<QString> told_;
    QStringList pending_;
};
