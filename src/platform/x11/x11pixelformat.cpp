#include "x11pixelformat.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

constexpr quint32 opaque = 0xff000000u;

void copyOpaque(quint32* dst, const quint32* src, size_t n)
{
    size_t i = 0;
#if defined(__SSE2__)
    const __m128i a = _mm_set1_epi32(static_cast<int>(opaque));
    for (; i + 8 <= n; i += 8) {
        const auto* s = reinterpret_cast<const __m128i*>(src + i);
        auto* d = reinterpret_cast<__m128i*>(dst + i);
        _mm_storeu_si128(d, _mm_or_si128(_mm_loadu_si128(s), a));
        _mm_storeu_si128(d + 1, _mm_or_si128(_mm_loadu_si128(s + 1), a));
    }
#endif
    for (; i < n; ++i)
        dst[i] = src[i] | opaque;
}

int lowestBit(quint32 mask)
{
    int shift = 0;
    while (mask != 0 && (mask & 1u) == 0) {
        mask >>= 1;
        ++shift;
    }
    return shift;
}

// One colour channel of a true-colour pixel, scaled to 0..255.
struct Channel {
    quint32 mask = 0;
    int shift = 0;
    quint32 max = 0;
    explicit Channel(quint32 m) : mask(m), shift(lowestBit(m)), max(m >> lowestBit(m)) {}
    int operator()(quint32 pixel) const
    {
        if (max == 0)
            return 0;
        const quint32 v = (pixel & mask) >> shift;
        return static_cast<int>((v * 255u + max / 2) / max);
    }
};

quint32 readPixel(const uchar* row, int x, int bpp, bool lsbFirst)
{
    switch (bpp) {
    case 8:
        return row[x];
    case 16: {
        const uchar* p = row + 2 * x;
        return lsbFirst ? (p[0] | p[1] << 8) : (p[0] << 8 | p[1]);
    }
    case 24: {
        const uchar* p = row + 3 * x;
        return lsbFirst ? (p[0] | p[1] << 8 | p[2] << 16) : (p[0] << 16 | p[1] << 8 | p[2]);
    }
    case 32: {
        const uchar* p = row + 4 * x;
        return lsbFirst ? (quint32(p[0]) | quint32(p[1]) << 8 | quint32(p[2]) << 16
                           | quint32(p[3]) << 24)
                        : (quint32(p[0]) << 24 | quint32(p[1]) << 16 | quint32(p[2]) << 8
                           | quint32(p[3]));
    }
    default:
        return 0;
    }
}

} // namespace

void makeOpaque(quint32* p, size_t n)
{
    size_t i = 0;
#if defined(__SSE2__)
    while (i < n && (reinterpret_cast<quintptr>(p + i) & 15) != 0)
        p[i++] |= opaque;
    const __m128i a = _mm_set1_epi32(static_cast<int>(opaque));
    for (; i + 16 <= n; i += 16) {
        auto* v = reinterpret_cast<__m128i*>(p + i);
        const __m128i v0 = _mm_or_si128(_mm_load_si128(v), a);
        const __m128i v1 = _mm_or_si128(_mm_load_si128(v + 1), a);
        const __m128i v2 = _mm_or_si128(_mm_load_si128(v + 2), a);
        const __m128i v3 = _mm_or_si128(_mm_load_si128(v + 3), a);
        _mm_store_si128(v, v0);
        _mm_store_si128(v + 1, v1);
        _mm_store_si128(v + 2, v2);
        _mm_store_si128(v + 3, v3);
    }
#endif
    for (; i < n; ++i)
        p[i] |= opaque;
}

X11PixelLayout X11PixelLayout::ofRoot(const xcb_setup_t* setup, const xcb_screen_t* screen)
{
    X11PixelLayout l;
    l.depth = screen->root_depth;
    l.serverLsbFirst = setup->image_byte_order == XCB_IMAGE_ORDER_LSB_FIRST;
    for (auto it = xcb_setup_pixmap_formats_iterator(setup); it.rem > 0; xcb_format_next(&it)) {
        if (it.data->depth == l.depth) {
            l.bitsPerPixel = it.data->bits_per_pixel;
            l.scanlinePad = it.data->scanline_pad;
        }
    }
    for (auto d = xcb_screen_allowed_depths_iterator(screen); d.rem > 0; xcb_depth_next(&d)) {
        for (auto v = xcb_depth_visuals_iterator(d.data); v.rem > 0; xcb_visualtype_next(&v)) {
            if (v.data->visual_id != screen->root_visual)
                continue;
            l.visualClass = v.data->_class;
            l.redMask = v.data->red_mask;
            l.greenMask = v.data->green_mask;
            l.blueMask = v.data->blue_mask;
            l.colormapEntries = v.data->colormap_entries;
        }
    }
    const bool hostLsbFirst = Q_BYTE_ORDER == Q_LITTLE_ENDIAN;
    l.rgb32 = l.trueColor() && l.bitsPerPixel == 32 && l.serverLsbFirst == hostLsbFirst
              && l.redMask == 0xff0000 && l.greenMask == 0xff00 && l.blueMask == 0xff;
    return l;
}

int X11PixelLayout::bytesPerLine(int width) const
{
    const qint64 bits = qint64(width) * bitsPerPixel;
    const qint64 pad = scanlinePad > 0 ? scanlinePad : 32;
    return static_cast<int>((bits + pad - 1) / pad * pad / 8);
}

void X11PixelLayout::convertRows(const uchar* src, int srcBpl, int rows, int width, QImage* out,
                                 QPoint at, const QVector<QRgb>& colormap) const
{
    if (rgb32) {
        for (int y = 0; y < rows; ++y) {
            auto* dst = reinterpret_cast<quint32*>(out->scanLine(at.y() + y)) + at.x();
            copyOpaque(dst, reinterpret_cast<const quint32*>(src + qint64(y) * srcBpl),
                       size_t(width));
        }
        return;
    }
    const int bpp = bitsPerPixel;
    const bool lsb = serverLsbFirst;
    if (trueColor()) {
        const Channel r(redMask), g(greenMask), b(blueMask);
        for (int y = 0; y < rows; ++y) {
            const uchar* row = src + qint64(y) * srcBpl;
            auto* dst = reinterpret_cast<QRgb*>(out->scanLine(at.y() + y)) + at.x();
            for (int x = 0; x < width; ++x) {
                const quint32 p = readPixel(row, x, bpp, lsb);
                dst[x] = qRgb(r(p), g(p), b(p));
            }
        }
        return;
    }
    // Colormapped: each pixel is an index into the default colormap.
    const int n = colormap.size();
    for (int y = 0; y < rows; ++y) {
        const uchar* row = src + qint64(y) * srcBpl;
        auto* dst = reinterpret_cast<QRgb*>(out->scanLine(at.y() + y)) + at.x();
        for (int x = 0; x < width; ++x) {
            const quint32 p = readPixel(row, x, bpp, lsb);
            dst[x] = p < quint32(n) ? (colormap.at(static_cast<int>(p)) | opaque) : opaque;
        }
    }
}
