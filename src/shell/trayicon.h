#pragma once

#include "trayclicks.h"

#include <QElapsedTimer>
#include <QHash>
#include <QIcon>
#include <QObject>

class Program;
class QAction;
class QMenu;
class QSystemTrayIcon;
class QWidget;
class QWindow;

// The tray icon and its popup menu. A double-click captures, the right button opens the menu; the
// menu's "Show" item is enabled exactly while a hidden canvas is kept. The menu is the icon's
// context menu too, which Qt exports over D-Bus to StatusNotifier hosts.
class TrayIcon : public QObject
{
    Q_OBJECT
public:
    // The icon and the menu belong to the canvas window, and go with it.
    TrayIcon(Program& program, QWidget* canvas);

    QMenu* menu() const { return mnuMenu; }
    // The menu's window while it is shown or was a moment ago; null otherwise.
    QWindow* menuWindowIfShown() const;
    // The popup-menu icons by key, as the items' captions name them.
    const QHash<QString, QIcon>& icons() const { return imgList; }

    // Puts the icon in the tray.
    void showIcon(const QIcon& icon);
    bool isIconVisible() const;
    // A notification from the icon, titled "Scrawlix" in the user's language.
    void notify(const QString& text);
    // Whether a notification from the icon reaches the user: a tray shows the icon and its
    // balloons.
    bool showsMessages() const;
    // A warning balloon beside the icon; false where the tray shows none.
    bool showWarning(const QString& title, const QString& text);
    // The canvas is closing: the menu loses its icons and the icon leaves the tray.
    void Form_Unload();

    // What the tray icon reports, as QSystemTrayIcon gives it.
    void STI_Activated(int reason);
    void STI_DblClick();
    void STI_MouseDown(int button);

private:
    void buildMenu();

    Program& program_;
    QSystemTrayIcon* STI;
    QMenu* mnuMenu;
    QHash<QString, QIcon> imgList;
    TrayClicks trayClicks_;
    QElapsedTimer trayClock_;
    QElapsedTimer menuHidden_; // since the menu last went
};
