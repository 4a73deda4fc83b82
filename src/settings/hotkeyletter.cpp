#include "hotkeyletter.h"

#include "platform/hotkeys.h"
#include "settingtable.h"

#include <QCoreApplication>

namespace {

// The letter as the user can read it: a control character shows as its code.
QString shown(const QString& letter)
{
    const QChar c = letter.isEmpty() ? QChar() : letter.at(0);
    if (c.unicode() < 0x20 || c.unicode() == 0x7f)
        return QCoreApplication::translate("Settings", "the control character %1").arg(c.unicode());
    return QCoreApplication::translate("Settings", "\"%1\"", "a hot-key letter in quotes")
        .arg(letter.left(c.isHighSurrogate() ? 2 : 1));
}

} // namespace

quint32 hotKeyVirtualKey(const HotKeys& keys, const QString& letter)
{
    if (letter.isEmpty())
        return 0;
    return keys.virtualKeyFor(letter.at(0));
}

QString hotKeyLetterInEffect(const HotKeys& keys, const QString& stored)
{
    if (stored.isEmpty() || hotKeyVirtualKey(keys, stored) != 0)
        return stored;
    return settingTable().HotKey.fallback;
}

QString untypableLetterMessage(const QString& letter)
{
    return QCoreApplication::translate("Settings",
                                       "No key on this keyboard types %1, so it cannot be the "
                                       "hot-key letter. Please choose a letter, a digit or a "
                                       "punctuation key that the keyboard has.")
        .arg(shown(letter));
}

QString untypableLetterNotice(const QString& letter)
{
    return QCoreApplication::translate("Settings",
                                       "No key on this keyboard types the hot-key letter %1, so "
                                       "the hot key is Windows key + V until Scrawlix ends. "
                                       "Choose another letter in the options.")
        .arg(shown(letter));
}
