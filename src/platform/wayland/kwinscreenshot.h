#pragma once

// The screen read through KWin's screenshot interface (org.kde.KWin.ScreenShot2): KWin writes the
// raw pixels of an area into a pipe of ours, without the pointer and without asking the user. KWin
// grants the interface only to programs whose installed desktop entry names it in
// X-KDE-DBUS-Restricted-Interfaces, with the program's full path in Exec.

#include "compositorgrab.h"

#include <QDBusConnection>
#include <QVariantMap>
#include <memory>

// The picture that KWin's answer describes, read from the pipe's bytes; Format_RGB32, or a null
// image with `why` when the answer and the bytes do not make a picture.
QImage kwinShotImage(const QVariantMap& results, const QByteArray& bytes, QString* why);

class KWinScreenShot : public CompositorShot
{
public:
    // Null where KWin offers no screenshot interface on this bus.
    static std::unique_ptr<KWinScreenShot> open(const QDBusConnection& bus);

    QString name() const override { return QStringLiteral("kwin-screenshot"); }
    QImage shoot(const QRect& area, QString* why) override;

private:
    explicit KWinScreenShot(const QDBusConnection& bus) : bus_(bus) {}
    QDBusConnection bus_;
};
