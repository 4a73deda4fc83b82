#include "canvasdocument.h"

#include "drawing.h"

#include <QPainter>

#include <algorithm>

QImage HighlightSource::block(int w) const
{
    // No picture yet has a null size, whose width and height are -1.
    const int bw = std::min(std::max(w, 0), std::max(size.width(), 0));
    const int bh = std::min(std::max(w, 0), std::max(size.height(), 0));
    if (bw == 0 || bh == 0)
        return {};
    if (lastBlock.size() != QSize(bw, bh) || lastBlock.pixel(0, 0) != BackColor.rgb()) {
        lastBlock = QImage(bw, bh, QImage::Format_RGB32);
        lastBlock.fill(BackColor);
    }
    return lastBlock;
}

void CanvasDocument::setPicture(const Picture& picture, const QSize& size, const QColor& background)
{
    picture_ = picture;
    image_ = QImage();
    size_ = QSize();
    drawn_ = false;
    resize(size, background);
}

void CanvasDocument::resize(const QSize& size, const QColor& background)
{
    if (size.isEmpty() || size == size_)
        return;
    size_ = size;
    background_ = background;
    // A picture that fills the image exactly is the image: the pixels are shared until the
    // first drawing, so a canvas that is only looked at holds one copy of the screen.
    // Before anything is drawn the image is only the picture on the background, so it is made
    // afresh at the new size rather than copied over.
    if (!drawn_)
        image_ = QImage();
    const QImage& pixels = picture_.image();
    if (image_.isNull() && pixels.size() == size && pixels.format() == QImage::Format_RGB32) {
        image_ = pixels;
        return;
    }
    // Nothing to show but the background: the window paints that, and the image is made when
    // something is first drawn. A capture clears the canvas just before it takes its picture.
    if (image_.isNull() && picture_.isNull())
        return;
    QImage fresh(size, QImage::Format_RGB32);
    fresh.fill(background);
    QPainter p(&fresh);
    if (!picture_.isNull())
        p.drawImage(QPoint(0, 0), picture_.image());
    // The drawing made so far stays where it was.
    if (!image_.isNull())
        p.drawImage(QPoint(0, 0), image_);
    p.end();
    image_ = fresh;
}

QImage& CanvasDocument::surface()
{
    if (image_.isNull() && !size_.isEmpty()) {
        image_ = QImage(size_, QImage::Format_RGB32);
        image_.fill(background_);
    }
    drawn_ = true;
    return image_;
}

void CanvasDocument::releasePicture()
{
    picture_ = Picture();
    image_ = QImage();
    size_ = QSize();
    drawn_ = false;
}

QRect CanvasDocument::penTo(const QPointF& to, const QColor& color, int width)
{
    const QRect dirty = drawLine(surface(), pen_, to, color, width);
    pen_ = to;
    return dirty;
}

QRect CanvasDocument::line(const QPointF& a, const QPointF& b, const QColor& color, int width)
{
    const QRect dirty = drawLine(surface(), a, b, color, width);
    pen_ = b;
    return dirty;
}

QRect CanvasDocument::circle(const QPointF& centre, double radius, int outlineWidth,
                             const QColor& color, bool filled)
{
    return drawCircle(surface(), centre, radius, outlineWidth, color, filled, color);
}

QRect CanvasDocument::box(const QPointF& a, const QPointF& b, int width, const QColor& color,
                          bool filled)
{
    return drawBox(surface(), a, b, width, color, filled);
}

QRect CanvasDocument::highlight(const QPointF& at, const QColor& color, int w)
{
    highlight_.BackColor = color;
    return stampAnd(surface(), highlight_.block(w), stampEdge(at.x(), w), stampEdge(at.y(), w));
}

// Text labels ------------------------------------------------------------------------------------

TextLabelData* CanvasDocument::labelAt(int i)
{
    if (i < 0 || i >= labels_.size() || !labels_[i])
        return nullptr;
    return &*labels_[i];
}

const TextLabelData* CanvasDocument::label(int i) const
{
    if (i < 0 || i >= labels_.size() || !labels_[i])
        return nullptr;
    return &*labels_[i];
}

void CanvasDocument::setTemplateFormat(const QFont& font, const QColor& color)
{
    labels_[0]->font = font;
    labels_[0]->color = color;
}

int CanvasDocument::addLabel()
{
    TextLabelData fresh = *labels_[0];
    fresh.visible = false;
    labels_.append(fresh);
    return labelCount() - 1;
}

void CanvasDocument::setLabelText(int i, const QString& text)
{
    if (TextLabelData* l = labelAt(i))
        l->text = text;
}

void CanvasDocument::moveLabel(int i, const QPoint& pos)
{
    if (TextLabelData* l = labelAt(i))
        l->pos = pos;
}

void CanvasDocument::setLabelOpen(int i, bool open)
{
    if (TextLabelData* l = labelAt(i))
        l->open = open;
}

void CanvasDocument::setLabelVisible(int i, bool visible)
{
    if (TextLabelData* l = labelAt(i))
        l->visible = visible;
}

bool CanvasDocument::formatLabel(int i, const QFont& font, const QColor& color)
{
    TextLabelData* l = labelAt(i);
    if (!l || (l->font == font && l->color == color))
        return false;
    l->font = font;
    l->color = color;
    return true;
}

void CanvasDocument::removeLabel(int i)
{
    if (i > 0 && i < labels_.size())
        labels_[i].reset();
}

void CanvasDocument::removeLabels()
{
    labels_.erase(labels_.begin() + 1, labels_.end());
}

void CanvasDocument::blankLabels()
{
    for (std::optional<TextLabelData>& l : labels_) {
        if (l) {
            l->text.clear();
            l->visible = false;
        }
    }
}
