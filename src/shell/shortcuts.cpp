#include "shortcuts.h"

#include "commands.h"
#include "platform/keystate.h"
#include "platform/platform.h"
#include "program.h"

void Form_KeyDown(Program& program, int keyCode)
{
    KeyState& keys = *program.platform().keys;
    if (keys.peekAsyncKeyState(vk::Control) != 0 && keyCode == 67)
        CopyCanvas(program);
    if (keys.peekAsyncKeyState(vk::Control) != 0 && keyCode == 83)
        SaveImage(program);
    if (keys.peekAsyncKeyState(vk::Control) != 0 && keyCode == 80)
        PrintImage(program);
    if (keys.peekAsyncKeyState(vk::Control) != 0 && keyCode == 79)
        OpenImage(program);
    if (keys.peekAsyncKeyState(vk::Shift) != 0 && keyCode == 46)
        EraseCanvas(program);
}
