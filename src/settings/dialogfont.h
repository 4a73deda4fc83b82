#pragma once

// The dialogs are laid out in fixed rectangles made for a small 8-point dialog font. The desktop's
// fonts are often wider, so a dialog takes the largest size, from 8.25 points down, at which every
// one of its texts fits its rectangle.

#include <QList>

class QFont;
class QWidget;

// Gives dialog, and through it its children, the largest point size in [minimumPoints, 8.25], in
// quarter points, at which the texts of the given labels, check boxes and group boxes fit their
// rectangles. Children may set other font attributes of their own, but not the size. Returns the
// size chosen.
qreal fitDialogFont(QWidget* dialog, const QList<QWidget*>& texts, qreal minimumPoints = 6.5);

// Whether the text of a label, check box or group box fits its rectangle with the font given.
bool textFits(const QWidget* widget, const QFont& font);
