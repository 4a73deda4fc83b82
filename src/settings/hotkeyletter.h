#pragma once

// The hot-key letter and the key that carries it. A letter is only a hot key if some key of the
// user's keyboard types it; é on a US keyboard, a control character or a sign that needs AltGr
// would leave the program with no hot key at all.

#include <QString>
#include <QtGlobal>

class HotKeys;

// The virtual-key code for the stored letter: the key that types its first character; 0 for an
// empty letter or one that no key types.
quint32 hotKeyVirtualKey(const HotKeys& keys, const QString& letter);

// The letter that counts in this run: an empty letter stays empty (no hot key, as stored by the
// options dialog); a letter that no key types gives way to the default V.
QString hotKeyLetterInEffect(const HotKeys& keys, const QString& stored);

// Why a letter cannot be the hot key, for the options dialog.
QString untypableLetterMessage(const QString& letter);
// What the tray says when start-up finds such a letter in the settings.
QString untypableLetterNotice(const QString& letter);
