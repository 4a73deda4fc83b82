#pragma once

// The window manager draws a window's title in its frame, beside an icon and up to three buttons,
// and cuts it short ("To…ox") when the frame is too narrow. Windows narrower than their titles
// need are made this wide.

#include <QString>

class QWidget;

// The width a window needs so that its frame shows the whole title: the title in a bold font
// somewhat larger than the application's, as title bars have it, and room for the icon, the
// buttons and their spacing, all at the screen's resolution.
int titleBarWidth(const QString& title);

// Widens a window of fixed size, keeping its contents where they are, when its title needs more.
void fitTitle(QWidget* window);
