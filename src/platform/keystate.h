#pragma once

#include <QtGlobal>

#include <functional>

// Virtual-key codes the program asks about.
namespace vk {
constexpr int Shift = 16;
constexpr int Control = 17;
constexpr int Add = 107;      // keypad plus
constexpr int Subtract = 109; // keypad minus
} // namespace vk

// Asynchronous keyboard state, system-wide.
class KeyState
{
public:
    virtual ~KeyState() = default;

    // Bit 0x8000: the key is down now. Bit 0x0001: the key was pressed since the
    // previous query of the same key (the query clears it), and no longer ago than
    // RecentPressMs. Zero: neither.
    virtual qint16 GetAsyncKeyState(int vk) = 0;
    // The same answer, but the pressed-since bit stays for the next GetAsyncKeyState: for the
    // canvas's shortcut keys, which ask about Ctrl at every key (Ctrl's own press included) and
    // must not use up a tap of Ctrl meant for the hot key that follows.
    virtual qint16 peekAsyncKeyState(int vk) = 0;

    // Asks for `pressed` to be called soon after every key press, wherever the focus is, so a
    // caller need not ask about keys while none is pressed. False when this keyboard cannot
    // tell; the caller then keeps asking.
    virtual bool watchPresses(std::function<void()> pressed)
    {
        Q_UNUSED(pressed)
        return false;
    }
};

// How long a press counts as "pressed since the previous query". Long enough for a tap of Ctrl
// just before the hot key; short enough that a Ctrl+C typed in another program a while ago does
// not turn the next capture into a window capture.
constexpr qint64 RecentPressMs = 1000;

// Whether a press at pressedAtMs still counts at nowMs, both read from one millisecond clock.
constexpr bool pressIsRecent(qint64 pressedAtMs, qint64 nowMs)
{
    return nowMs - pressedAtMs <= RecentPressMs;
}
