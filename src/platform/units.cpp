#include "units.h"

#include <cfenv>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace units {

long long roundHalfEven(double v)
{
    // nearbyint rounds with the current mode, which is to-nearest-even unless someone changed it.
    const int saved = std::fegetround();
    if (saved != FE_TONEAREST)
        std::fesetround(FE_TONEAREST);
    const double r = std::nearbyint(v);
    if (saved != FE_TONEAREST)
        std::fesetround(saved);
    return static_cast<long long>(r);
}

double twipsPerPixel(double dpi)
{
    return dpi > 0 ? 1440.0 / dpi : 15.0;
}

int twipsToPixels(double twips, double tpp)
{
    return static_cast<int>(roundHalfEven(twips / tpp));
}

int pixelsToHimetric(int pixels, double dpi)
{
    return static_cast<int>(roundHalfEven(pixels * 2540.0 / dpi));
}

float himetricToTwips(int himetric)
{
    return static_cast<float>(std::abs(static_cast<double>(himetric)) / HimetricPerPixel * 15.0);
}

std::int16_t toInt16(double v)
{
    const long long r = roundHalfEven(v);
    if (r > std::numeric_limits<std::int16_t>::max())
        return std::numeric_limits<std::int16_t>::max();
    if (r < std::numeric_limits<std::int16_t>::min())
        return std::numeric_limits<std::int16_t>::min();
    return static_cast<std::int16_t>(r);
}

} // namespace units

namespace units {
QRect twipsRectToPixels(double left, double top, double width, double height, double tppX,
                        double tppY)
{
    return QRect(twipsToPixels(left, tppX), twipsToPixels(top, tppY), twipsToPixels(width, tppX),
                 twipsToPixels(height, tppY));
}
} // namespace units
