#pragma once

#include <QtGlobal>

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
    // previous query of the same key (the query clears it). Zero: neither.
    virtual qint16 GetAsyncKeyState(int vk) = 0;
};
