#pragma once

#include "imaging/picture.h"

#include <QColor>
#include <QFont>
#include <QImage>
#include <QList>
#include <QPointF>
#include <QRect>
#include <QSize>
#include <optional>

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

// A text label on the canvas: what it says, where it is, whether it is still open for typing (then
// it is framed and follows the drawing attributes), whether it is shown, and its font and colour.
struct TextLabelData {
    QString text;
    QPoint pos;
    bool open = false;
    bool visible = false;
    QFont font;
    QColor color;
};

// What the canvas shows: the background picture, the persistent image drawn over it, and the text
// labels. It knows no window: the canvas window paints the image and the labels, and turns mouse
// events into the drawing operations below, each of which returns the rectangle it changed.
class CanvasDocument
{
public:
    // The background picture. Assigning it starts the drawing afresh from the picture, on an
    // image of the given size filled with the background colour first.
    const Picture& picture() const { return picture_; }
    void setPicture(const Picture& picture, const QSize& size, const QColor& background);
    // Gives the image a new size: the picture and the drawing so far stay where they were.
    void resize(const QSize& size, const QColor& background);
    // Lets go of the picture and the image; a canvas sent away shows neither again before a
    // new picture is set.
    void releasePicture();

    // The persistent image: picture plus drawing. Null while there is neither: the canvas is
    // then all background.
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

    // The text labels by index. Label 0 is the template that every new label copies; it is never
    // shown. A deleted label leaves an empty slot, so an index is not used twice until the labels
    // are cleared.
    int labelCount() const { return static_cast<int>(labels_.size()); }
    // Null for a deleted label or an index out of range.
    const TextLabelData* label(int i) const;
    // The template's font and colour: those of the window, at first.
    void setTemplateFormat(const QFont& font, const QColor& color);
    // A new label at index labelCount(), a hidden copy of the template. Returns its index.
    int addLabel();
    void setLabelText(int i, const QString& text);
    void moveLabel(int i, const QPoint& pos);
    void setLabelOpen(int i, bool open);
    void setLabelVisible(int i, bool visible);
    // Gives label i this font and colour; true when that changed anything.
    bool formatLabel(int i, const QFont& font, const QColor& color);
    // Deletes label i; the template stays.
    void removeLabel(int i);
    // Deletes every label but the template.
    void removeLabels();
    // Empties and hides every label, the template included, keeping them.
    void blankLabels();

private:
    TextLabelData* labelAt(int i);
    // The image to draw on, made of the background colour if there is none yet.
    QImage& surface();

    Picture picture_;
    QImage image_;
    QSize size_;         // the canvas's, from the last setPicture or resize
    QColor background_;
    bool drawn_ = false; // anything drawn on the image since the picture was set
    QPointF pen_;
    HighlightSource highlight_;
    QList<std::optional<TextLabelData>> labels_{TextLabelData{{}, {}, true, false, {}, {}}};
};
