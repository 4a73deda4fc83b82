#include "hotkey.h"

#include "canvas/frmmain.h"
#include "platform/platform.h"
#include "program.h"
#include "settings/hotkeyletter.h"
#include "trayicon.h"

#include <QCoreApplication>
#include <QMetaObject>

void HookWindow(Program& program, QWidget* form)
{
    HotKeyHook& hook = program.hotKeyHook;
    hook.HookedForm = form;
    const quintptr hwnd = static_cast<quintptr>(form->winId());
    HotKeys& hk = *program.platform().hotKeys;
    hook.PrevWndProc = hk.windowProc(hwnd);
    Program* p = &program;
    hk.setWindowProc(hwnd, [p](quintptr h, quint32 msg, quintptr wParam, qintptr lParam) {
        return WindowProc(*p, h, msg, wParam, lParam);
    });
}

void UnhookWindow(Program& program)
{
    HotKeyHook& hook = program.hotKeyHook;
    if (!hook.HookedForm || !hook.PrevWndProc)
        return;
    program.platform().hotKeys->setWindowProc(static_cast<quintptr>(hook.HookedForm->winId()),
                                              hook.PrevWndProc);
}

qintptr WindowProc(Program& program, quintptr hwnd, quint32 msg, quintptr wParam, qintptr lParam)
{
    HotKeyHook& hook = program.hotKeyHook;
    // Keep the previous procedure: the call below may re-hook the window.
    const WindowProcFn prev = hook.PrevWndProc;
    if (msg == WM_HOTKEY_MSG && hook.HookedForm) {
        const auto param = static_cast<quint32>(lParam);
        const int key = static_cast<int>(param >> 16);
        const int shift = static_cast<int>(param & 0xffff);
        QMetaObject::invokeMethod(hook.HookedForm.data(), "HotKey", Qt::DirectConnection,
                                  Q_ARG(int, key), Q_ARG(int, shift));
    }
    return prev ? prev(hwnd, msg, wParam, lParam) : 0;
}

void RegisterHotKeyLetter(Program& program, const QString& letter)
{
    const quint32 code = hotKeyVirtualKey(*program.platform().hotKeys, letter);
    FrmMain* canvas = program.frmMain();
    if (code == 0 || !canvas)
        return;
    QList<quint32>& registered = program.hotKeyHook.Registered;
    if (registered.contains(code))
        return; // ours since an earlier registration: asking again would look like a refusal
    if (program.platform().hotKeys->RegisterHotKey(static_cast<quintptr>(canvas->winId()), 1,
                                                   MOD_WIN_FLAG, code)) {
        registered.append(code);
        return;
    }
    // The program keeps running: the tray icon and its menu still capture.
    const QString text = hotKeyTakenText(code);
    TrayIcon* tray = program.tray();
    if (!tray || !tray->showWarning(QCoreApplication::translate("Messages", "Scrawlix"), text))
        program.platform().messages->Show(text, mb::Exclamation,
                                          QCoreApplication::translate("Messages", "Scrawlix"));
}

QString hotKeyTakenText(quint32 code)
{
    const QString key = code >= 0x21 && code < 0x7f
                            ? QString(QChar(char16_t(code)))
                            : QCoreApplication::translate("Messages", "key %1").arg(code);
    return QCoreApplication::translate(
               "Messages", "The hot key Windows key + %1 is already taken by another program, so "
                           "Scrawlix cannot use it. Choose another letter under Configuration in "
                           "the tray menu. Meanwhile a double-click on the tray icon captures the "
                           "screen.")
        .arg(key);
}
