#include "notices.h"

#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcNotice, "scrawlix.notice", QtInfoMsg)

void Notices::setSink(Sink sink)
{
    sink_ = std::move(sink);
    if (!sink_)
        return;
    const QStringList pending = std::exchange(pending_, {});
    for (const QString& text : pending)
        sink_(text);
}

void Notices::tellOnce(const QString& key, const QString& text)
{
    if (told_.contains(key))
        return;
    told_.insert(key);
    // Also in the log: a desktop without a tray still leaves a trace of why.
    qCInfo(lcNotice, "%s", qPrintable(text));
    if (sink_)
        sink_(text);
    else
        pending_.append(text);
}
