#pragma once

#include <QChar>
#include <QObject>
#include <QtGlobal>

// System-wide hot keys. A press of a registered combination is reported by the pressed signal,
// from the event loop, with the virtual-key code and the modifier bits of the combination.
class HotKeys : public QObject
{
    Q_OBJECT
public:
    // The modifier bits of a combination. Their values are the ones Windows uses (MOD_ALT,
    // MOD_CONTROL, MOD_SHIFT, MOD_WIN), so the Win32 backend passes them through as they are.
    enum Modifier : quint32 {
        ModAlt = 0x1,
        ModControl = 0x2,
        ModShift = 0x4,
        ModWin = 0x8, // the Windows key, Super on Linux
    };

    using QObject::QObject;

    // Registers modifiers + vk for the program, owned by `window` where the system ties hot keys
    // to a window (Win32: the canvas, whose window procedure then receives the presses).
    // Registrations are never withdrawn. A failed registration returns false; it is not
    // reported to the user.
    virtual bool RegisterHotKey(quintptr window, quint32 modifiers, quint32 vk) = 0;

    // The virtual-key code of a key on the user's keyboard that types ch, with or without Shift,
    // or 0 when no key does (é on a US keyboard, a control character).
    virtual quint32 virtualKeyFor(QChar ch) const = 0;

Q_SIGNALS:
    // A registered combination was pressed: its virtual-key code and modifier bits.
    void pressed(quint32 vk, quint32 modifiers);
};
