#include "titlebar.h"

#include <QApplication>
#include <QFontMetrics>
#include <QScreen>
#include <QWidget>

int titleBarWidth(const QString& title)
{
    QFont font = QApplication::font();
    font.setBold(true);
    if (font.pointSizeF() > 0)
        font.setPointSizeF(font.pointSizeF() + 1);
    const QFontMetrics metrics(font);
    // An icon and three buttons of about a title bar's height each, with their spacing: 112
    // pixels at 96 dots per inch.
    const QScreen* screen = QGuiApplication::primaryScreen();
    const double dpi = screen ? screen->logicalDotsPerInch() : 96.0;
    return metrics.horizontalAdvance(title) + qRound(112 * dpi / 96.0);
}

void fitTitle(QWidget* window)
{
    const int needed = titleBarWidth(window->windowTitle());
    if (window->width() >= needed)
        return;
    if (window->minimumWidth() == window->maximumWidth())
        window->setFixedWidth(needed);
    else
        window->setMinimumWidth(needed);
}
