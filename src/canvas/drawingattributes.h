#pragma once

#include <QColor>
#include <QString>

// What the drawing is made with: the colour, size, fill, font and font styles chosen in the
// toolbox. The toolbox hands out a fresh copy whenever the user changes one of them, so the canvas
// always draws with the current choice.
struct DrawingAttributes {
    QColor color{255, 255, 0}; // pen, shape and text colour
    int size = 1;              // pen width in pixels, text size in points
    bool filled = false;       // circles and rectangles solid rather than outlined
    QString fontFamily;        // empty: the label keeps its font
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;

    bool operator==(const DrawingAttributes& o) const
    {
        return color == o.color && size == o.size && filled == o.filled &&
               fontFamily == o.fontFamily && bold == o.bold && italic == o.italic &&
               underline == o.underline && strikeOut == o.strikeOut;
    }
    bool operator!=(const DrawingAttributes& o) const { return !(*this == o); }
};
