#include "captureflow.h"

#include "canvas/frmmain.h"
#include "capturecontroller.h"
#include "platform/keystate.h"
#include "platform/platform.h"
#include "program.h"
#include "settings/hotkeyletter.h"
#include "settings/settingsstore.h"
#include "settings/settingtable.h"
#include "toolbox/frmtoolbox.h"

#include <QEventLoop>

#include <exception>
#include <thread>

void runBesideEvents(Program& program, const std::function<void()>& work)
{
    const CaptureController::Hold hold(program.capture);
    QEventLoop loop;
    std::exception_ptr failure;
    std::thread worker([&] {
        try {
            work();
        } catch (...) {
            failure = std::current_exception();
        }
        // Queued, so it lands even when the loop has not started yet.
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    // The loop also ends when the program quits; the work is still waited for.
    worker.join();
    if (failure)
        std::rethrow_exception(failure);
}

void SetTopMost(Program& program, QWidget* window)
{
    if (window)
        program.platform().topMost->SetTopMost(window);
}

void ShowToolbox(Program& program)
{
    FrmToolbox* toolbox = program.frmToolbox();
    if (!toolbox)
        return;
    toolbox->show();
    toolbox->setWindowState(Qt::WindowNoState);
    toolbox->raise();
    toolbox->activateWindow();
}

void showToolboxOverCanvas(Program& program)
{
    FrmMain* canvas = program.frmMain();
    FrmToolbox* toolbox = program.frmToolbox();
    if (!canvas || !toolbox)
        return;
    // Shown without taking the focus, which stays with the canvas.
    toolbox->setAttribute(Qt::WA_ShowWithoutActivating);
    toolbox->show();
    toolbox->setAttribute(Qt::WA_ShowWithoutActivating, false);
    toolbox->setWindowState(Qt::WindowNoState);
    canvas->raise();
    toolbox->raise();
    SetTopMost(program, toolbox);
    canvas->activateWindow();
    canvas->setFocus(Qt::OtherFocusReason);
}

void CaptureAndShow(Program& program, const QString& kind)
{
    program.capture.captureAndShow(kind);
}

void ShowHideCanvas(Program& program, const QString& action)
{
    program.capture.showHideCanvas(action);
}

void SendToTray(Program& program)
{
    program.capture.sendToTray();
}

void HotKeyPressed(Program& program, quint32 vk, quint32 modifiers)
{
    HotKeys& hotKeys = *program.platform().hotKeys;
    const QString stored = program.settings().read(settingTable().HotKey.key);
    const QString letter = hotKeyLetterInEffect(hotKeys, stored);
    const quint32 code = hotKeyVirtualKey(hotKeys, letter);
    // An empty letter matches nothing.
    if (code == 0 || modifiers != HotKeys::ModWin || vk != code)
        return;
    const bool ctrl = program.platform().keys->GetAsyncKeyState(vk::Control) != 0;
    CaptureAndShow(program, ctrl ? QStringLiteral("window") : QStringLiteral("screen"));
}
