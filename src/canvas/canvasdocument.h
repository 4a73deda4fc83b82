#pragma once

#include "imaging/picture.h"

#include <QColor>
#include <QImage>
#include <QPointF>
#include <QRect>
#include <QSize>

// The highlighter's source block: a surface the size of the canvas, all of one colour. Only a
// w x w block is ever copied from it, so it keeps no image of its own size.
struct HighlightSource {
    QSize size;
    QColor BackColor = Qt::white;
    // The w x w block at (0, 0), clipped to the surface. The last block is kept, as the
    // highlighter asks for one on every mouse move.
    QImage block(int w) const;
    mutable QImage lastBlock{};
};

// What the canvas shows: the background picture and the persistent image drawn over it. It knows
// no window: the canvas window paints the image and turns mouse events into the drawing
// operations below, each of which returns the rectangle it changed.
class CanvasDocument
{
public:
    // The background picture. Assigning it starts the drawing afresh from the picture, on an
    // image of the given size filled with the background colour first.
    const Picture& picture() const { return picture_; }
    void setPicture(const Picture& picture, const QSize& size, const QColor& background);
    // Gives the image a new size: the picture and the drawing so far stay where they were.
    void resize(const QSize& size, const QColor& background);

    // The persistent image: picture plus drawing.
    QImage& image() { return image_; }
    const QImage& image() const { return image_; }

    // Where the next pen segment starts.
    QPointF penPosition() const { return pen_; }
    void setPenPosition(const QPointF& at) { pen_ = at; }

    // The area the highlighter's colour block may cover; a capture sets it to the canvas's size.
    QSize highlightArea() const { return highlight_.size; }
    void setHighlightArea(const QSize& size) { highlight_.size = size; }

    // A pen segment from the pen position to `to`, which becomes the pen position.
    QRect penTo(const QPointF& to, const QColor& color, int width);
    // A line from a to b; b becomes the pen position.
    QRect line(const QPointF& a, const QPointF& b, const QColor& color, int width);
    // A circle of the given radius with an outline of outlineWidth, filled or not.
    QRect circle(const QPointF& centre, double radius, int outlineWidth, const QColor& color,
                 bool filled);
    // A box with corners a and b: an outline of the given width, or filled.
    QRect box(const QPointF& a, const QPointF& b, int width, const QColor& color, bool filled);
    // The highlighter's square of side w centred on `at`, ANDed with the colour.
    QRect highlight(const QPointF& at, const QColor& color, int w);

private:
    Picture picture_;
    QImage image_;
    QPointF pen_;
    HighlightSource highlight_;
};
