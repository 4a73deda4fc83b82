#pragma once
// Double-clicks on the tray icon. An XEmbed tray reports them itself, straight after the click
// that starts them; a StatusNotifier host reports clicks only, so there two clicks close together
// make the double-click.
#include <QtGlobal>

#include <optional>

class TrayClicks
{
public:
    explicit TrayClicks(qint64 intervalMs) : interval_(intervalMs) {}

    // A click at the given time. True when it is the second of a pair; the caller then lets the
    // events at hand be handled and asks takePending() whether the tray reported the double-click
    // meanwhile.
    bool click(qint64 ms);
    // The tray reported a double-click itself: the clicks so far are used up.
    void reported();
    // Whether a pair of clicks still waits for its double-click. Asking clears it.
    bool takePending();

private:
    qint64 interval_;
    std::optional<qint64> last_;
    bool pending_ = false;
};
