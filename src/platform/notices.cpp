#include "notices.h"

#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcNotice, "scrawlix.notice", QtInfoMsg)

void Notices::setSink(Sink sink)
{
    sink_ = std::move(sink);
    if (!sink_)
        return;
    const auto pending = std::exchange(pending_, {});
    for (const auto& [text, weight] : pending)
        sink_(text, weight);
}

void Notices::tellOnce(const QString& key, const QString& text, Weight weight)
{
    if (told_.contains(key))
        return;
    told_.insert(key);
    tell(text, weight);
}

void Notices::tell(const QString& text, Weight weight)
{
    // Also in the log: wherever the notice goes, a trace of why remains.
    qCInfo(lcNotice, "%s", qPrintable(text));
    if (sink_)
        sink_(text, weight);
    else
        pending_.emplace_back(text, weight);
}

NoticeWay noticeWay(bool trayShowsMessages, bool desktopNotifications, Notices::Weight weight)
{
    if (trayShowsMessages)
        return NoticeWay::Tray;
    if (desktopNotifications)
        return NoticeWay::Desktop;
    return weight == Notices::Weight::Important ? NoticeWay::MessageBox : NoticeWay::LogOnly;
}
