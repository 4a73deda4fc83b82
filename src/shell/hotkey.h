#pragma once

// The global hot key: Windows key + the letter of the options, registered for the canvas. Its
// presses come as the hot-key service's pressed signal, which Program::start hands to
// HotKeyPressed (captureflow.h).

#include <QString>
#include <QtGlobal>

class Program;

// Registers Windows key + letter for the canvas. An empty letter registers nothing, a letter
// registered before is not asked for again, and a combination that another program holds is
// reported to the user (hotKeyTakenText) in a tray message, or a message box where the tray shows
// none.
void RegisterHotKeyLetter(Program& program, const QString& letter);

// What the user is told when Windows key + the key code cannot be registered.
QString hotKeyTakenText(quint32 code);
