#pragma once

// The global hot key: the canvas's window procedure is replaced by ours, which turns hot-key
// messages into calls of the canvas's HotKey method and passes every message on.

#include "platform/hotkeys.h"

#include <QList>
#include <QPointer>
#include <QString>

class Program;
class QWidget;

struct HotKeyHook {
    QPointer<QWidget> HookedForm;  // kept after UnhookWindow
    WindowProcFn PrevWndProc;      // kept after UnhookWindow
    QList<quint32> Registered;     // key codes registered for the canvas; they stay registered
};

void HookWindow(Program& program, QWidget* form);
void UnhookWindow(Program& program);

// The replacement window procedure.
qintptr WindowProc(Program& program, quintptr hwnd, quint32 msg, quintptr wParam, qintptr lParam);

// Registers Windows key + letter (identifier 1) for the canvas. An empty letter registers nothing,
// a letter registered before is not asked for again, and a combination that another program
// holds is reported to the user (hotKeyTakenText) in a tray message, or a message box where the
// tray shows none.
void RegisterHotKeyLetter(Program& program, const QString& letter);

// What the user is told when Windows key + the key code cannot be registered.
QString hotKeyTakenText(quint32 code);
