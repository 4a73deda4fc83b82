#include "hotkey.h"

#include "canvas/frmmain.h"
#include "platform/platform.h"
#include "program.h"
#include "settings/hotkeyletter.h"
#include "trayicon.h"

#include <QCoreApplication>

void RegisterHotKeyLetter(Program& program, const QString& letter)
{
    const quint32 code = hotKeyVirtualKey(*program.platform().hotKeys, letter);
    FrmMain* canvas = program.frmMain();
    if (code == 0 || !canvas)
        return;
    QList<quint32>& registered = program.registeredHotKeys;
    if (registered.contains(code))
        return; // ours since an earlier registration: asking again would look like a refusal
    if (program.platform().hotKeys->RegisterHotKey(static_cast<quintptr>(canvas->winId()),
                                                   HotKeys::ModWin, code)) {
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
