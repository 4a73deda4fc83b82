#pragma once

// Opening a picture file without stopping the program: the file is read and decoded on a worker
// thread while the event loop keeps turning. After a short delay a small modal window shows that
// the program is busy and offers Cancel. A decode that is cancelled or runs past its time cannot
// always be stopped inside the decoder; it is then left to finish on its own and its result is
// thrown away.

#include "openfile.h"

#include <QString>

class QWidget;

struct BackgroundOpenOptions {
    OpenLimits limits;
    int progressDelayMs = 500; // how long a decode runs before the progress window shows
    int timeLimitMs = 20000;   // how long it may run at all
};

// The title of the progress window, in the user's language.
QString openingTitle();

// Reads and decodes the file on a worker; returns when it is done, cancelled or out of time.
// parent is the window the progress window belongs to; it may be null.
LoadedImage readImageFileInBackground(const QString& path, const BackgroundOpenOptions& options,
                                      QWidget* parent);
