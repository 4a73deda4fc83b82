#include "trayicon.h"

#include "capturecontroller.h"
#include "captureflow.h"
#include "commands.h"
#include "menuextender.h"
#include "platform/keystate.h"
#include "platform/platform.h"
#include "program.h"

#include <QAction>
#include <QGuiApplication>
#include <QMenu>
#include <QStyleHints>
#include <QSystemTrayIcon>
#include <QTimer>

TrayIcon::TrayIcon(Program& program, QWidget* canvas)
    : QObject(canvas), program_(program),
      trayClicks_(QGuiApplication::styleHints()->mouseDoubleClickInterval())
{
    STI = new QSystemTrayIcon(canvas);
    STI->setToolTip(QStringLiteral("Scrawlix"));
    connect(STI, &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason r) { STI_Activated(r); });
    trayClock_.start();

    mnuMenu = new QMenu(canvas);
    buildMenu();
    // The icon's own menu: an XEmbed tray shows it on the right button by itself, and a
    // StatusNotifier host reads it over D-Bus and shows it as its own, since many such hosts
    // never ask the program to show a menu.
    STI->setContextMenu(mnuMenu);
}

void TrayIcon::buildMenu()
{
    mnuMenu->setObjectName(QStringLiteral("mnuMenu"));
    mnuMenu->setTitle(QStringLiteral("&Menu"));
    auto item = [this](const char* name, const char* caption) {
        auto* a = new QAction(mnuMenu->parent());
        a->setObjectName(QLatin1String(name));
        setStoredCaption(a, QString::fromUtf8(caption));
        mnuMenu->addAction(a);
        return a;
    };
    QAction* mnuCaptureScreen = item("mnuCaptureScreen", "Capture Screen|#getscreen");
    QAction* mnuCaptureWindow = item("mnuCaptureWindow", "Capture Window|#getwin");
    QAction* mnuToolbox = item("mnuToolbox", "Show Toolbox|#toolbox");
    QAction* mnuOpen = item("mnuOpen", "Open|#open");
    item("mnuSep1", "-");
    QAction* mnuAbout = item("mnuAbout", "&About|#about");
    QAction* mnuConfig = item("mnuConfig", "&Configuration|#config");
    QAction* mnuHelp = item("mnuHelp", "&Help|#help");
    item("mnuSep2", "-");
    mnuShow = item("mnuShow", "Show|#show");
    mnuHide = item("mnuHide", "Hide|#hide");
    item("mnusep3", "-");
    QAction* mnuSendtoTray = item("mnuSendtoTray", "Send to System Tray|#sendtotray");
    QAction* mnuExit = item("mnuExit", "E&xit|#exit");

    mnuShow->setEnabled(program_.capture.keepsCanvas());
    mnuHide->setEnabled(false);
    mnuHide->setVisible(false);
    connect(&program_.capture, &CaptureController::stateChanged, mnuShow,
            [this](CaptureController::State s) {
                mnuShow->setEnabled(s == CaptureController::State::Kept);
            });
    connect(mnuMenu, &QMenu::aboutToHide, this, [this] { menuHidden_.start(); });

    Program& p = program_;
    connect(mnuCaptureScreen, &QAction::triggered, this,
            [&p] { CaptureAndShow(p, QStringLiteral("screen")); });
    connect(mnuCaptureWindow, &QAction::triggered, this,
            [&p] { CaptureAndShow(p, QStringLiteral("window")); });
    connect(mnuToolbox, &QAction::triggered, this, [&p] { ShowToolbox(p); });
    connect(mnuOpen, &QAction::triggered, this, [&p] { menuOpen(p); });
    connect(mnuAbout, &QAction::triggered, this, [&p] { menuAbout(p); });
    connect(mnuConfig, &QAction::triggered, this, [&p] { menuConfig(p); });
    connect(mnuHelp, &QAction::triggered, this, [&p] { menuHelp(p); });
    connect(mnuShow, &QAction::triggered, this,
            [&p] { ShowHideCanvas(p, QStringLiteral("show")); });
    connect(mnuHide, &QAction::triggered, this,
            [&p] { ShowHideCanvas(p, QStringLiteral("hide")); });
    connect(mnuSendtoTray, &QAction::triggered, this, [this] { mnuSendtoTray_Click(); });
    connect(mnuExit, &QAction::triggered, this, [&p] { ExitProgram(p); });
}

QWindow* TrayIcon::menuWindowIfShown() const
{
    // A menu item's command runs once the menu is hidden, before the screen has caught up.
    constexpr qint64 recentMs = 500;
    if (mnuMenu->isVisible() || (menuHidden_.isValid() && menuHidden_.elapsed() < recentMs))
        return mnuMenu->windowHandle();
    return nullptr;
}

void TrayIcon::showIcon(const QIcon& icon)
{
    STI->setIcon(icon);
    STI->setVisible(true);
}

bool TrayIcon::isIconVisible() const
{
    return STI->isVisible();
}

void TrayIcon::notify(const QString& text)
{
    STI->showMessage(QStringLiteral("Scrawlix"), text, QSystemTrayIcon::Information, 5000);
}

bool TrayIcon::showsMessages() const
{
    Platform& platform = program_.platform();
    const bool tray = platform.hasSystemTray ? platform.hasSystemTray()
                                             : QSystemTrayIcon::isSystemTrayAvailable();
    return STI->isVisible() && tray && QSystemTrayIcon::supportsMessages();
}

bool TrayIcon::showWarning(const QString& title, const QString& text)
{
    if (!STI->isVisible() || !QSystemTrayIcon::isSystemTrayAvailable() ||
        !QSystemTrayIcon::supportsMessages())
        return false;
    STI->showMessage(title, text, QSystemTrayIcon::Warning, 15000);
    return true;
}

void TrayIcon::Form_Unload()
{
    program_.menuExtender.DetachMenus(mnuMenu);
    STI->setVisible(false);
    program_.menuExtender.DetachMenus(mnuMenu);
}

void TrayIcon::STI_DblClick()
{
    const bool ctrl = program_.platform().keys->GetAsyncKeyState(vk::Control) != 0;
    CaptureAndShow(program_, ctrl ? QStringLiteral("window") : QStringLiteral("screen"));
}

void TrayIcon::STI_Activated(int reason)
{
    switch (reason) {
    case QSystemTrayIcon::DoubleClick:
        trayClicks_.reported();
        STI_DblClick();
        break;
    case QSystemTrayIcon::Context:
        STI_MouseDown(2);
        break;
    case QSystemTrayIcon::Trigger:
        STI_MouseDown(1);
        if (trayClicks_.click(trayClock_.elapsed())) {
            QTimer::singleShot(0, this, [this] {
                if (trayClicks_.takePending())
                    STI_DblClick();
            });
        }
        break;
    case QSystemTrayIcon::MiddleClick:
        STI_MouseDown(4);
        break;
    default:
        break;
    }
}

void TrayIcon::STI_MouseDown(int button)
{
    // On an XEmbed tray the menu is open already when the right button is reported.
    if (button == 2 && !mnuMenu->isVisible())
        mnuMenu->popup(QCursor::pos());
}

void TrayIcon::mnuSendtoTray_Click()
{
    SendToTray(program_);
}
