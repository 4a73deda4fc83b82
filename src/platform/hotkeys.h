#pragma once

#include <QChar>
#include <QtGlobal>
#include <functional>

// Message number of a hot-key press, delivered to the hooked window procedure.
constexpr quint32 WM_HOTKEY_MSG = 0x312;
// Modifier flag of the Windows (Super) key.
constexpr quint32 MOD_WIN_FLAG = 8;

// A window procedure: window handle, message, first and second parameter.
using WindowProcFn = std::function<qintptr(quintptr hwnd, quint32 msg, quintptr wParam, qintptr lParam)>;

// System-wide hot keys, reported as WM_HOTKEY_MSG to the window procedure that is
// installed for the owner window. The second parameter carries the virtual-key code
// in its high 16 bits and the modifier flags in its low 16 bits.
class HotKeys
{
public:
    virtual ~HotKeys() = default;

    // Registers modifiers + vk for the window. Registrations are never withdrawn.
    // A failed registration returns false; it is not reported to the user.
    virtual bool RegisterHotKey(quintptr hwnd, int id, quint32 modifiers, quint32 vk) = 0;

    // The virtual-key code of a key on the user's keyboard that types ch, with or without Shift,
    // or 0 when no key does (é on a US keyboard, a control character).
    virtual quint32 virtualKeyFor(QChar ch) const = 0;

    // The window procedure currently installed for hwnd (the default one passes through
    // and returns 0), and its replacement.
    virtual WindowProcFn windowProc(quintptr hwnd) const = 0;
    virtual void setWindowProc(quintptr hwnd, WindowProcFn proc) = 0;
};
