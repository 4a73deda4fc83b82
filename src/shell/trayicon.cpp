#include "trayicon.h"

#include "capturecontroller.h"
#include "captureflow.h"
#include "commandtable.h"
#include "menuextender.h"
#include "platform/keystate.h"
#include "platform/platform.h"
#include "program.h"
#include "ui/art.h"

#include <QAction>
#include <QGuiApplication>
#include <QMenu>
#include <QStyleHints>
#include <QSystemTrayIcon>
#include <QTimer>

#include <algorithm>

TrayIcon::TrayIcon(Program& program, QWidget* canvas)
    : QObject(canvas), program_(program),
      trayClicks_(QGuiApplication::styleHints()->mouseDoubleClickInterval())
{
    STI = new QSystemTrayIcon(canvas);
    STI->setToolTip(tr("Scrawlix"));
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
    mnuMenu->setTitle(tr("&Menu"));
    // The commands in the menu, section by section, in the table's order within each.
    QList<const CommandRow*> rows;
    for (const CommandRow& row : commandTable()) {
        if (row.menu.name)
            rows.append(&row);
    }
    std::stable_sort(rows.begin(), rows.end(), [](const CommandRow* a, const CommandRow* b) {
        return a->menu.section < b->menu.section;
    });

    Program& p = program_;
    int separators = 0;
    const CommandRow* previous = nullptr;
    for (const CommandRow* row : rows) {
        if (previous && row->menu.section != previous->menu.section) {
            auto* separator = new QAction(mnuMenu->parent());
            separator->setObjectName(QStringLiteral("mnuSep%1").arg(++separators));
            setStoredCaption(separator, QStringLiteral("-"));
            mnuMenu->addAction(separator);
        }
        auto* a = new QAction(mnuMenu->parent());
        a->setObjectName(QLatin1String(row->menu.name));
        const QString key = QLatin1String(row->menu.iconKey);
        setStoredCaption(a, commandText(row->menu.caption) + QStringLiteral("|#") + key);
        mnuMenu->addAction(a);
        imgList.insert(key, artIcon(QStringLiteral("icons/") + QLatin1String(row->icon)));
        switch (row->menu.state) {
        case MenuState::Enabled:
            break;
        case MenuState::WhileCanvasKept:
            a->setEnabled(program_.capture.keepsCanvas());
            connect(&program_.capture, &CaptureController::stateChanged, a,
                    [a](CaptureController::State s) {
                        a->setEnabled(s == CaptureController::State::Kept);
                    });
            break;
        case MenuState::Hidden:
            a->setEnabled(false);
            a->setVisible(false);
            break;
        }
        connect(a, &QAction::triggered, this, [&p, run = row->run] { run(p, QString()); });
        previous = row;
    }
    connect(mnuMenu, &QMenu::aboutToHide, this, [this] { menuHidden_.start(); });
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
    STI->showMessage(tr("Scrawlix"), text, QSystemTrayIcon::Information, 5000);
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
