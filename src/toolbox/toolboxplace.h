#pragma once

#include <QPoint>

#include <optional>

// Where the toolbox is shown. The window manager places each showing, and may move the window a
// little after it first appears (decorations, placement); the user may move it any time later.
// Only a move of the user's is remembered, and then every later showing goes back to where the
// toolbox was when it was last hidden.
class ToolboxPlace
{
public:
    // Moves this soon after the window first appears are still the window manager's placement.
    static constexpr qint64 SettleMs = 250;

    // The window is about to be shown: the place to ask for, if the user has chosen one.
    std::optional<QPoint> showing();
    // The window system shows the window, at pos, at time ms (any clock that only goes forward).
    void exposed(QPoint pos, qint64 ms);
    // The window is now at pos.
    void moved(QPoint pos, qint64 ms);
    // The window is hidden from pos.
    void hiding(QPoint pos);

    bool userMoved() const { return userMoved_; }

private:
    std::optional<QPoint> placedAt_;
    qint64 exposedMs_ = 0;
    bool userMoved_ = false;
    std::optional<QPoint> kept_;
};
