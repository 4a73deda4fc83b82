#pragma once

// Drawing primitives on the canvas image. Each returns the rectangle it changed, so the window
// repaints only that.

#include <QColor>
#include <QImage>
#include <QPointF>
#include <QRect>

// A line of the given width with round caps and joins.
QRect drawLine(QImage& image, const QPointF& from, const QPointF& to, const QColor& color, int width);

// A circle around centre: an outline of outlineWidth in outlineColor, the inside filled with
// fillColor when filled.
QRect drawCircle(QImage& image, const QPointF& centre, double radius, int outlineWidth,
                 const QColor& outlineColor, bool filled, const QColor& fillColor);

// A box with corners a and b: its outline of the given width, or filled completely.
QRect drawBox(QImage& image, const QPointF& a, const QPointF& b, int width, const QColor& color,
              bool filled);

// ANDs block into the image at (left, top): white takes the block's colour, black stays black.
QRect stampAnd(QImage& image, const QImage& block, int left, int top);

// The highlighter square's top-left edge for a stamp of side w at x (or y): round(x - w / 2),
// halves to even.
int stampEdge(double v, int w);
