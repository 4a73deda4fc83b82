#pragma once

// Virtual-key codes (the Windows numbering, which every backend speaks) of the keys that can
// carry the hot key: letters, digits and the punctuation keys of a US keyboard.

#include <QChar>
#include <QString>
#include <QtGlobal>

// The key that types ch on a US keyboard, with or without Shift: the upper-case character code
// for a letter or digit, the VK_OEM code for punctuation; 0 for anything else.
quint32 usVirtualKey(QChar ch);

// The two characters that a punctuation key types, without and with Shift ("/?" for VK_OEM_2);
// empty for other codes.
QString punctuationKeyCharacters(quint32 vk);
