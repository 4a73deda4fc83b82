#include "x11imagereader.h"

#include "x11shm.h"

#include <xcb/shm.h>

#include <algorithm>
#include <vector>

namespace {

// Size of the pieces a shared-memory read is made of.
constexpr int shmBandBytes = 1 << 20;
// Size of the pieces a plain read is made of: all are asked for before the first answer is read.
constexpr int plainBandBytes = 4 << 20;

} // namespace

X11ImageReader::X11ImageReader(std::shared_ptr<X11Connection> connection, Transfer transfer)
    : c_(std::move(connection))
{
    if (!c_->isOpen())
        return;
    layout_ = X11PixelLayout::ofRoot(xcb_get_setup(c_->xcb()), c_->screen());
    shm_ = transfer == Transfer::Auto && serverHasShm(c_->xcb());
}

std::unique_ptr<ShmSegment> X11ImageReader::segment(size_t bytes)
{
    if (!shm_)
        return nullptr;
    std::unique_ptr<ShmSegment> s = attachSegment(c_->xcb(), bytes);
    // No shared memory to give, or a server on another machine, which cannot see ours.
    if (!s)
        shm_ = false;
    return s;
}

CapturedBitmap X11ImageReader::read(xcb_drawable_t from, const QRect& area)
{
    CapturedBitmap result;
    if (area.isEmpty() || !c_->isOpen() || layout_.bitsPerPixel < 8)
        return result;
    const int width = area.width();
    const int height = area.height();
    // The common case: the pixels are RGB32 already, and the server writes them straight into
    // the memory the picture is handed out over.
    if (layout_.rgb32) {
        if (std::unique_ptr<ShmSegment> seg = segment(size_t(width) * size_t(height) * 4)) {
            uchar* const base = seg->addr;
            const auto makeBand = [base, width](int y, int rows) {
                populatePages(base + qint64(y) * width * 4, size_t(width) * size_t(rows) * 4);
            };
            const auto opaqueBand = [base, width](int y, int rows) {
                makeOpaque(reinterpret_cast<quint32*>(base + qint64(y) * width * 4),
                           size_t(width) * size_t(rows));
            };
            if (readShm(from, area, seg.get(), opaqueBand, makeBand)) {
                result.image = leasedImage(c_->link(), *seg, width, height);
                return result;
            }
            dropSegment(c_->xcb(), *seg);
        }
    }
    const QVector<QRgb> colors = colormap();
    if (layout_.paletted() && colors.size() == 256)
        result.palette = colors;
    QImage out(width, height, QImage::Format_RGB32);
    if (out.isNull() || !readInto(from, area, &out, QPoint(0, 0), colors))
        return {};
    result.image = out;
    return result;
}

QVector<QRgb> X11ImageReader::colormap()
{
    QVector<QRgb> colors;
    if (layout_.trueColor())
        return colors;
    const int n = std::min(layout_.colormapEntries, 4096);
    if (n <= 0)
        return colors;
    std::vector<quint32> pixels(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i)
        pixels[static_cast<size_t>(i)] = static_cast<quint32>(i);
    xcb_connection_t* x = c_->xcb();
    xcb_generic_error_t* err = nullptr;
    XcbPtr<xcb_query_colors_reply_t> reply(xcb_query_colors_reply(
        x, xcb_query_colors(x, c_->screen()->default_colormap, static_cast<quint32>(n),
                            pixels.data()),
        &err));
    std::free(err);
    if (!reply)
        return colors;
    const xcb_rgb_t* rgb = xcb_query_colors_colors(reply.get());
    const int count = xcb_query_colors_colors_length(reply.get());
    colors.reserve(count);
    for (int i = 0; i < count; ++i)
        colors.append(qRgb(rgb[i].red >> 8, rgb[i].green >> 8, rgb[i].blue >> 8));
    return colors;
}

bool X11ImageReader::readInto(xcb_drawable_t from, const QRect& area, QImage* out, QPoint at,
                              const QVector<QRgb>& colormap)
{
    const int bpl = layout_.bytesPerLine(area.width());
    if (std::unique_ptr<ShmSegment> seg = segment(size_t(bpl) * size_t(area.height()))) {
        uchar* const base = seg->addr;
        const auto convertBand = [&](int y, int rows) {
            layout_.convertRows(base + qint64(y) * bpl, bpl, rows, area.width(), out,
                                at + QPoint(0, y), colormap);
        };
        const bool read = readShm(from, area, seg.get(), convertBand);
        dropSegment(c_->xcb(), *seg);
        if (read)
            return true;
    }
    return readPlain(from, area, out, at, colormap);
}

bool X11ImageReader::readShm(xcb_drawable_t from, const QRect& area, ShmSegment* segment,
                             const std::function<void(int, int)>& bandDone,
                             const std::function<void(int, int)>& makeBand)
{
    // In bands, all asked for at once: while the server fills one band we work on the one
    // before, still warm in the cache.
    xcb_connection_t* x = c_->xcb();
    const int bpl = layout_.bytesPerLine(area.width());
    const int bandRows = std::clamp(shmBandBytes / bpl, 1, area.height());
    struct Band {
        int y;
        int rows;
        xcb_shm_get_image_cookie_t cookie;
    };
    std::vector<Band> bands;
    for (int y = 0; y < area.height(); y += bandRows) {
        const int rows = std::min(bandRows, area.height() - y);
        if (makeBand)
            makeBand(y, rows);
        bands.push_back({y, rows,
                         xcb_shm_get_image(x, from, static_cast<qint16>(area.x()),
                                           static_cast<qint16>(area.y() + y),
                                           static_cast<quint16>(area.width()),
                                           static_cast<quint16>(rows), ~0u,
                                           XCB_IMAGE_FORMAT_Z_PIXMAP, segment->id,
                                           static_cast<quint32>(qint64(y) * bpl))});
        if (makeBand)
            xcb_flush(x); // the server starts on this band while the next is made ready
    }
    bool ok = true;
    for (const Band& b : bands) {
        xcb_generic_error_t* err = nullptr;
        XcbPtr<xcb_shm_get_image_reply_t> reply(xcb_shm_get_image_reply(x, b.cookie, &err));
        ok = ok && reply && !err;
        std::free(err);
        if (ok)
            bandDone(b.y, b.rows);
    }
    return ok;
}

bool X11ImageReader::readPlain(xcb_drawable_t from, const QRect& area, QImage* out, QPoint at,
                               const QVector<QRgb>& colormap)
{
    xcb_connection_t* x = c_->xcb();
    const int bpl = layout_.bytesPerLine(area.width());
    // Bands of rows inside the largest request the server takes; all of them are asked for
    // before the first answer is read, so the transfers overlap.
    const qint64 maxBytes =
        std::min<qint64>(qint64(xcb_get_maximum_request_length(x)) * 4 - 4096, plainBandBytes);
    const int bandRows = static_cast<int>(std::clamp<qint64>(maxBytes / bpl, 1, area.height()));
    struct Band {
        int y;
        int rows;
        xcb_get_image_cookie_t cookie;
    };
    std::vector<Band> bands;
    for (int y = 0; y < area.height(); y += bandRows) {
        const int rows = std::min(bandRows, area.height() - y);
        bands.push_back({y, rows,
                         xcb_get_image(x, XCB_IMAGE_FORMAT_Z_PIXMAP, from,
                                       static_cast<qint16>(area.x()),
                                       static_cast<qint16>(area.y() + y),
                                       static_cast<quint16>(area.width()),
                                       static_cast<quint16>(rows), ~0u)});
    }
    bool ok = true;
    for (const Band& b : bands) {
        xcb_generic_error_t* err = nullptr;
        XcbPtr<xcb_get_image_reply_t> reply(xcb_get_image_reply(x, b.cookie, &err));
        std::free(err);
        if (!reply || xcb_get_image_data_length(reply.get()) < bpl * b.rows) {
            ok = false;
            continue; // the remaining replies still have to be collected
        }
        if (ok)
            layout_.convertRows(xcb_get_image_data(reply.get()), bpl, b.rows, area.width(), out,
                                at + QPoint(0, b.y), colormap);
    }
    return ok;
}
