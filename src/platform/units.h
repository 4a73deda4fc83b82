#pragma once

// Unit conversions. Window geometry is kept in twips (1/1440 inch) where the program stores it,
// pictures report their size in HIMETRIC (1/100 mm), the screen works in pixels.

#include <cstdint>

namespace units {

// Nearest integer, halves to the even neighbour (97.5 -> 98, 98.5 -> 98).
long long roundHalfEven(double v);

// 1440 / dots per inch; 15 at 96 dpi.
double twipsPerPixel(double dpi);

// Pixel count of a length in twips, rounded half to even.
int twipsToPixels(double twips, double twipsPerPixel);

// Picture size in HIMETRIC from its pixel size: pixels x 2540 / dpi, rounded (1024 px at 96 dpi
// gives 27093).
int pixelsToHimetric(int pixels, double dpi);

// HIMETRIC units per 15 twips (one pixel at 96 dpi), the fixed factor the program converts picture
// sizes with.
constexpr double HimetricPerPixel = 26.4575;

// Twips for a picture dimension: |HIMETRIC| / 26.4575 x 15, as a single-precision number. Both
// are lengths at the screen's dots per inch, so a picture of n pixels at any dpi gives n pixels'
// worth of twips at that dpi again (at 96 dpi: |HIMETRIC| / 26.4575 x twips per pixel).
float himetricToTwips(int himetric);

// 16-bit signed rounding of a twips value, as the saved canvas top edge is kept. Values out of
// range saturate.
std::int16_t toInt16(double v);

} // namespace units

#include <QRect>

namespace units {
// A window or widget rectangle given in twips, in pixels.
QRect twipsRectToPixels(double left, double top, double width, double height, double tppX,
                        double tppY);
} // namespace units
