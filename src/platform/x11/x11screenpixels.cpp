#include "x11screenpixels.h"

#include <xcb/damage.h>
#include <xcb/shm.h>
#include <xcb/xfixes.h>

#include <sys/ipc.h>
#include <sys/mman.h>
#include <sys/shm.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <system_error>
#include <thread>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

// A System V shared-memory segment that the X server has attached too.
struct X11ScreenPixels::Segment {
    xcb_shm_seg_t id = 0;
    uchar* addr = nullptr;
    size_t size = 0;
    int shmid = -1; // until the server has attached it and it is marked for removal
};

uchar* X11ScreenPixels::Prepared::pixels() const
{
    return segment ? segment->addr : buffer.addr;
}

size_t X11ScreenPixels::Prepared::size() const
{
    return segment ? segment->size : buffer.size;
}

namespace {

constexpr quint32 opaque = 0xff000000u;

// Size of the pieces a shared-memory read is made of.
constexpr int shmBandBytes = 1 << 20;

// Size of the pieces a read into a prepared buffer is made of: each reply fits in memory the
// allocator has just given back, so no band lands on fresh pages.
constexpr int preparedBandBytes = 64 << 10;

// The X server leaves the unused top byte of a depth-24 pixel at whatever it holds (often 0);
// QImage::Format_RGB32 wants 0xff there, or painting onto an image with alpha turns the
// picture transparent.
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

// For a read in bands: marks each band of a picture `width` pixels wide, at `base`, opaque as
// it arrives.
auto opaqueRows(uchar* base, int width)
{
    return [base, width](int y, int rows) {
        makeOpaque(reinterpret_cast<quint32*>(base + qint64(y) * width * 4),
                   size_t(width) * size_t(rows));
    };
}

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

// The server lets go of the segment (a closed connection has already made it), then we do.
void dropSegment(X11Connection& c, const X11ScreenPixels::Segment& segment)
{
    if (c.isOpen()) {
        xcb_shm_detach(c.xcb(), segment.id);
        xcb_flush(c.xcb());
    }
    shmdt(segment.addr);
}

// What a captured image needs to give its segment back when it is destroyed, from any thread.
// No segment is kept for later: a screen's worth of memory would stay with the program while
// it waits in the tray.
struct Lease {
    std::shared_ptr<X11Connection> connection;
    X11ScreenPixels::Segment segment;
};

void releaseLease(void* info)
{
    auto* lease = static_cast<Lease*>(info);
    // Giving back a screen's worth of small pages costs the server and us milliseconds each
    // (4 ms at 3840x2160), and the server's share can take the processor from whoever woke it.
    // A new picture replacing this one does not wait for that: it happens on a thread of its own.
    const auto giveBack = [lease] {
        dropSegment(*lease->connection, lease->segment);
        delete lease;
    };
    try {
        std::thread(giveBack).detach();
    } catch (const std::system_error&) {
        giveBack(); // no thread to be had
    }
}

// A picture over the segment's pixels; the server stays attached until the picture goes.
QImage leasedImage(const std::shared_ptr<X11Connection>& c, const X11ScreenPixels::Segment& segment,
                   int width, int height)
{
    auto* lease = new Lease{c, segment};
    return QImage(lease->segment.addr, width, height, width * 4, QImage::Format_RGB32,
                  releaseLease, lease);
}

// Makes the pages of fresh memory in one call, not one fault at a time while the server writes
// and we mark the pixels opaque. Only a hint; failure changes nothing.
void populate(uchar* addr, size_t bytes)
{
#if defined(MADV_POPULATE_WRITE)
    madvise(addr, bytes, MADV_POPULATE_WRITE);
#else
    Q_UNUSED(addr) Q_UNUSED(bytes)
#endif
}

void unmapBuffer(void* info)
{
    auto* b = static_cast<X11ScreenPixels::PixelBuffer*>(info);
    b->release();
    delete b;
}

} // namespace

int X11ScreenPixels::Layout::bytesPerLine(int width) const
{
    const qint64 bits = qint64(width) * bitsPerPixel;
    const qint64 pad = scanlinePad > 0 ? scanlinePad : 32;
    return static_cast<int>((bits + pad - 1) / pad * pad / 8);
}

X11ScreenPixels::X11ScreenPixels(std::shared_ptr<X11Connection> connection, Transfer transfer,
                                 Source source)
    : c_(std::move(connection)), source_(source)
{
    if (!c_->isOpen())
        return;
    xcb_connection_t* x = c_->xcb();
    const xcb_setup_t* setup = xcb_get_setup(x);
    const xcb_screen_t* screen = c_->screen();

    layout_.depth = screen->root_depth;
    layout_.serverLsbFirst = setup->image_byte_order == XCB_IMAGE_ORDER_LSB_FIRST;
    for (auto it = xcb_setup_pixmap_formats_iterator(setup); it.rem > 0; xcb_format_next(&it)) {
        if (it.data->depth == layout_.depth) {
            layout_.bitsPerPixel = it.data->bits_per_pixel;
            layout_.scanlinePad = it.data->scanline_pad;
        }
    }
    for (auto d = xcb_screen_allowed_depths_iterator(screen); d.rem > 0; xcb_depth_next(&d)) {
        for (auto v = xcb_depth_visuals_iterator(d.data); v.rem > 0; xcb_visualtype_next(&v)) {
            if (v.data->visual_id != screen->root_visual)
                continue;
            layout_.visualClass = v.data->_class;
            layout_.redMask = v.data->red_mask;
            layout_.greenMask = v.data->green_mask;
            layout_.blueMask = v.data->blue_mask;
            layout_.colormapEntries = v.data->colormap_entries;
        }
    }
    const bool hostLsbFirst = Q_BYTE_ORDER == Q_LITTLE_ENDIAN;
    const bool trueColor = layout_.visualClass == XCB_VISUAL_CLASS_TRUE_COLOR
                           || layout_.visualClass == XCB_VISUAL_CLASS_DIRECT_COLOR;
    layout_.rgb32 = trueColor && layout_.bitsPerPixel == 32
                    && layout_.serverLsbFirst == hostLsbFirst && layout_.redMask == 0xff0000
                    && layout_.greenMask == 0xff00 && layout_.blueMask == 0xff;

    if (transfer == Transfer::Auto) {
        const xcb_query_extension_reply_t* ext = xcb_get_extension_data(x, &xcb_shm_id);
        if (ext && ext->present) {
            XcbPtr<xcb_shm_query_version_reply_t> version(
                xcb_shm_query_version_reply(x, xcb_shm_query_version(x), nullptr));
            shm_ = version != nullptr;
        }
    }
    const xcb_query_extension_reply_t* damage = xcb_get_extension_data(x, &xcb_damage_id);
    const xcb_query_extension_reply_t* fixes = xcb_get_extension_data(x, &xcb_xfixes_id);
    if (damage && damage->present && fixes && fixes->present) {
        XcbPtr<xcb_xfixes_query_version_reply_t> f(
            xcb_xfixes_query_version_reply(x, xcb_xfixes_query_version(x, 2, 0), nullptr));
        XcbPtr<xcb_damage_query_version_reply_t> d(
            xcb_damage_query_version_reply(x, xcb_damage_query_version(x, 1, 1), nullptr));
        damage_ = f && f->major_version >= 2 && d && d->major_version >= 1;
    }
}

X11ScreenPixels::~X11ScreenPixels()
{
    dropPrepared();
    if (c_->isOpen())
        xcb_flush(c_->xcb());
}

std::unique_ptr<X11ScreenPixels::Segment> X11ScreenPixels::takeSegment(size_t bytes)
{
    if (!shm_)
        return nullptr;
    xcb_void_cookie_t attach;
    std::unique_ptr<Segment> s = beginSegment(bytes, &attach);
    if (!s || !finishAttach(*s, attach)) {
        // No shared memory to give, or a server on another machine, which cannot see ours.
        shm_ = false;
        return nullptr;
    }
    populate(s->addr, bytes); // a fresh segment for every capture
    return s;
}

std::unique_ptr<X11ScreenPixels::Segment> X11ScreenPixels::beginSegment(size_t size,
                                                                        xcb_void_cookie_t* attach)
{
    const int shmid = shmget(IPC_PRIVATE, size, IPC_CREAT | 0600);
    if (shmid < 0)
        return nullptr;
    void* addr = shmat(shmid, nullptr, 0);
    if (addr == reinterpret_cast<void*>(-1)) {
        shmctl(shmid, IPC_RMID, nullptr);
        return nullptr;
    }
    xcb_connection_t* x = c_->xcb();
    auto s = std::make_unique<Segment>();
    s->id = xcb_generate_id(x);
    s->addr = static_cast<uchar*>(addr);
    s->size = size;
    s->shmid = shmid;
    *attach = xcb_shm_attach_checked(x, s->id, static_cast<quint32>(shmid), 0);
    return s;
}

bool X11ScreenPixels::finishAttach(Segment& segment, xcb_void_cookie_t attach)
{
    XcbPtr<xcb_generic_error_t> err(xcb_request_check(c_->xcb(), attach));
    // Marked for removal now that both sides hold it (or only we do): the memory goes when
    // both let go, even if the program dies first.
    shmctl(segment.shmid, IPC_RMID, nullptr);
    segment.shmid = -1;
    if (err) {
        shmdt(segment.addr);
        return false;
    }
    return true;
}

void X11ScreenPixels::PrepareCapture(const QRect& area)
{
    if (!layout_.rgb32 || area.isEmpty() || prepared_.valid())
        return;
    const size_t bytes = size_t(area.width()) * size_t(area.height()) * 4;
    // Read early only from a root that shows the screen, and only an area wholly on it.
    QRect root;
    const bool early = damage_ && source_ == Source::Root
                       && c_->windowRects(c_->root(), &root, nullptr) && root.contains(area);
    const bool shared = shm_;
    prepared_ = std::async(std::launch::async, [this, bytes, area, early, shared] {
        xcb_connection_t* x = c_->xcb();
        Prepared made;
        // Watching begins before the read, so whatever is drawn while it runs is read again.
        // The server counts a new watch's whole window as drawn; that is cleared at once.
        xcb_damage_damage_t damage = 0;
        xcb_void_cookie_t created{}, cleared{}, attach{};
        if (early) {
            damage = xcb_generate_id(x);
            created = xcb_damage_create_checked(x, damage, c_->root(),
                                                XCB_DAMAGE_REPORT_LEVEL_NON_EMPTY);
            cleared = xcb_damage_subtract_checked(x, damage, XCB_NONE, XCB_NONE);
        }
        // Shared memory where we can: the server writes the pixels straight into it, and our
        // replies to other requests do not queue behind a screen's worth of image data.
        if (shared)
            made.segment = beginSegment(bytes, &attach);
        if (made.segment && !finishAttach(*made.segment, attach))
            made.segment.reset();
        if (early) {
            XcbPtr<xcb_generic_error_t> refused(xcb_request_check(x, created));
            XcbPtr<xcb_generic_error_t> notCleared(xcb_request_check(x, cleared));
            if (!refused && !notCleared)
                made.damage = damage;
            else if (!refused)
                xcb_damage_destroy(x, damage);
        }

        if (made.segment) {
            uchar* const base = made.segment->addr;
            const int width = area.width();
            if (!made.damage) {
                populate(base, bytes);
                return made;
            }
            // Each band's pages are made just before the server is asked for it, while it
            // still writes the band before.
            const auto makeBand = [base, width](int y, int rows) {
                populate(base + qint64(y) * width * 4, size_t(width) * size_t(rows) * 4);
            };
            if (readShm(c_->root(), area, made.segment.get(), opaqueRows(base, width), makeBand))
                made.area = area;
            return made;
        }

        made.buffer = PixelBuffer::make(bytes);
        if (made.damage && made.buffer.addr) {
            QImage into(made.buffer.addr, area.width(), area.height(), area.width() * 4,
                        QImage::Format_RGB32);
            if (readPlain(c_->root(), area, &into, QPoint(0, 0), {}, preparedBandBytes))
                made.area = area;
        }
        return made;
    });
}

bool X11ScreenPixels::prepareFinished() const
{
    return prepared_.valid()
           && prepared_.wait_for(std::chrono::seconds(0)) == std::future_status::ready;
}

X11ScreenPixels::Prepared X11ScreenPixels::takePrepared(size_t bytes)
{
    if (!prepared_.valid())
        return {};
    Prepared made = prepared_.get();
    // A screen's buffer is not spent on a small window's picture, which it would outlive.
    if (!made.pixels() || made.size() < bytes || made.size() / 2 > bytes) {
        release(made);
        return {};
    }
    return made;
}

void X11ScreenPixels::dropPrepared()
{
    if (!prepared_.valid())
        return;
    Prepared made = prepared_.get();
    release(made);
}

void X11ScreenPixels::release(Prepared& prepared)
{
    if (prepared.damage != 0 && c_->isOpen()) {
        xcb_damage_destroy(c_->xcb(), prepared.damage);
        xcb_flush(c_->xcb());
    }
    prepared.damage = 0;
    prepared.buffer.release();
    if (prepared.segment)
        dropSegment(*c_, *prepared.segment);
    prepared.segment.reset();
}

QImage X11ScreenPixels::handOut(Prepared& prepared, int width, int height)
{
    QImage image;
    if (prepared.segment) {
        // Letting the server go now would make it unmap the segment while the caller waits for
        // its picture.
        image = leasedImage(c_, *prepared.segment, width, height);
        prepared.segment.reset();
    } else {
        auto* kept = new PixelBuffer(prepared.buffer);
        prepared.buffer = {};
        image = QImage(kept->addr, width, height, width * 4, QImage::Format_RGB32, unmapBuffer,
                       kept);
    }
    release(prepared);
    return image;
}

bool X11ScreenPixels::readChanges(const Prepared& prepared, QImage* into)
{
    // Everything drawn up to now moves from the damage into a region, which is fetched.
    xcb_connection_t* x = c_->xcb();
    const xcb_xfixes_region_t region = xcb_generate_id(x);
    xcb_xfixes_create_region(x, region, 0, nullptr);
    XcbPtr<xcb_generic_error_t> refused(
        xcb_request_check(x, xcb_damage_subtract_checked(x, prepared.damage, XCB_NONE, region)));
    XcbPtr<xcb_xfixes_fetch_region_reply_t> reply(
        refused ? nullptr
                : xcb_xfixes_fetch_region_reply(x, xcb_xfixes_fetch_region(x, region), nullptr));
    xcb_xfixes_destroy_region(x, region);
    if (!reply)
        return false;
    const QRect& area = prepared.area;
    const xcb_rectangle_t* r = xcb_xfixes_fetch_region_rectangles(reply.get());
    const int n = xcb_xfixes_fetch_region_rectangles_length(reply.get());
    std::vector<QRect> drawn;
    qint64 pixels = 0;
    for (int i = 0; i < n; ++i) {
        const QRect d = QRect(r[i].x, r[i].y, r[i].width, r[i].height) & area;
        if (!d.isEmpty()) {
            drawn.push_back(d);
            pixels += qint64(d.width()) * d.height();
        }
    }
    // Where much was drawn, one read of the whole is quicker than many pieces.
    if (pixels * 2 > qint64(area.width()) * area.height() || drawn.size() > 64)
        return readPlain(c_->root(), area, into, QPoint(0, 0), {}, preparedBandBytes);
    for (const QRect& d : drawn) {
        if (!readPlain(c_->root(), d, into, d.topLeft() - area.topLeft(), {}, preparedBandBytes))
            return false;
    }
    return true;
}

X11ScreenPixels::PixelBuffer X11ScreenPixels::PixelBuffer::make(size_t bytes)
{
    // In huge pages where the system offers them: a first touch of a screen's worth of small
    // pages costs thousands of faults, and far more in some virtual machines. The pages are
    // made here, in the background, while the caller waits for the screen to settle.
    constexpr size_t huge = size_t(2) << 20;
    const size_t page = static_cast<size_t>(sysconf(_SC_PAGESIZE));
    const size_t size = (bytes + page - 1) / page * page;
    PixelBuffer b;
    void* m = mmap(nullptr, size + huge, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1,
                   0);
    if (m == MAP_FAILED)
        return b;
    // Only the aligned part is kept.
    auto* base = static_cast<uchar*>(m);
    auto* aligned =
        reinterpret_cast<uchar*>((reinterpret_cast<quintptr>(base) + huge - 1) & ~quintptr(huge - 1));
    if (aligned > base)
        munmap(base, size_t(aligned - base));
    if (const size_t after = size_t(base + size + huge - (aligned + size)))
        munmap(aligned + size, after);
#if defined(MADV_HUGEPAGE)
    // Whole huge pages only: a last one would hold up to 2 MB that the picture does not use.
    if (const size_t whole = size / huge * huge)
        madvise(aligned, whole, MADV_HUGEPAGE);
#endif
    std::memset(aligned, 0, size);
    b.addr = aligned;
    b.size = size;
    return b;
}

void X11ScreenPixels::PixelBuffer::release()
{
    if (addr)
        munmap(addr, size);
    addr = nullptr;
}

QVector<QRgb> X11ScreenPixels::readColormap()
{
    QVector<QRgb> colors;
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

CapturedBitmap X11ScreenPixels::CaptureWindowRect(quintptr hwnd, bool client, int left, int top,
                                                  int width, int height)
{
    if (width <= 0 || height <= 0 || !c_->isOpen() || hwnd > 0xffffffffu
        || layout_.bitsPerPixel < 8)
        return {};
    QRect screen, windowClient, windowOuter;
    const auto window = static_cast<xcb_window_t>(hwnd);
    if (!c_->windowRects(window, &windowClient, &windowOuter))
        return {};
    // The screen is the root window; a capture of the whole screen asks only once.
    if (window == c_->root())
        screen = windowClient;
    else if (!c_->windowRects(c_->root(), &screen, nullptr))
        return {};
    const QPoint origin = client ? windowClient.topLeft() : windowOuter.topLeft();
    QRect wanted(origin.x() + left, origin.y() + top, width, height);
    xcb_drawable_t from = c_->root();
    if (source_ == Source::Window && window != c_->root() && sameDepthAsRoot(window)) {
        // Read the window itself, in its own coordinates; around it there is nothing to read.
        from = window;
        wanted.translate(-windowClient.topLeft());
        screen = QRect(QPoint(0, 0), windowClient.size());
    }
    const QRect visible = wanted & screen;

    CapturedBitmap result;
    QVector<QRgb> colormap;
    if (!layout_.rgb32 && layout_.visualClass != XCB_VISUAL_CLASS_TRUE_COLOR
        && layout_.visualClass != XCB_VISUAL_CLASS_DIRECT_COLOR) {
        colormap = readColormap();
        const bool paletted = layout_.visualClass == XCB_VISUAL_CLASS_PSEUDO_COLOR
                              || layout_.visualClass == XCB_VISUAL_CLASS_STATIC_COLOR
                              || layout_.visualClass == XCB_VISUAL_CLASS_GRAY_SCALE;
        if (paletted && layout_.colormapEntries == 256 && colormap.size() == 256)
            result.palette = colormap;
    }

    // The common case: all of it on the screen, pixels already RGB32. They go straight into
    // the prepared buffer, of which what was read early needs only what has been drawn since;
    // without one, the server writes them into shared memory. Either way the image is handed
    // out over that memory.
    if (visible == wanted && layout_.rgb32) {
        Prepared prepared = takePrepared(size_t(width) * size_t(height) * 4);
        if (prepared.pixels()) {
            QImage into(prepared.pixels(), width, height, width * 4, QImage::Format_RGB32);
            const bool early = from == c_->root() && prepared.area == wanted
                               && readChanges(prepared, &into);
            earlyCaptures_ += early;
            const bool read =
                early || readPlain(from, wanted, &into, QPoint(0, 0), colormap, preparedBandBytes);
            if (read) {
                result.image = handOut(prepared, width, height);
                return result;
            }
            release(prepared);
        }
    }
    if (visible == wanted && layout_.rgb32 && shm_) {
        const size_t bytes = size_t(width) * size_t(height) * 4;
        if (std::unique_ptr<Segment> seg = takeSegment(bytes)) {
            if (readShm(from, wanted, seg.get(), opaqueRows(seg->addr, width))) {
                result.image = leasedImage(c_, *seg, width, height);
                return result;
            }
            dropSegment(*c_, *seg); // the server refused it: make a new one next time
        }
    }
    dropPrepared();

    QImage out(width, height, QImage::Format_RGB32);
    out.fill(QColor(Qt::black));
    if (!visible.isEmpty()
        && !readInto(from, visible, &out, visible.topLeft() - wanted.topLeft(), colormap))
        return {};
    result.image = out;
    return result;
}

bool X11ScreenPixels::sameDepthAsRoot(xcb_window_t window) const
{
    XcbPtr<xcb_get_geometry_reply_t> g(
        xcb_get_geometry_reply(c_->xcb(), xcb_get_geometry(c_->xcb(), window), nullptr));
    return g && g->depth == layout_.depth;
}

bool X11ScreenPixels::readInto(xcb_drawable_t from, const QRect& area, QImage* out, QPoint at,
                               const QVector<QRgb>& colormap)
{
    const int bpl = layout_.bytesPerLine(area.width());
    if (shm_) {
        if (std::unique_ptr<Segment> seg = takeSegment(size_t(bpl) * size_t(area.height()))) {
            uchar* const base = seg->addr;
            const auto convertBand = [&](int y, int rows) {
                convertRows(base + qint64(y) * bpl, bpl, rows, area.width(), out,
                            at + QPoint(0, y), colormap);
            };
            const bool read = readShm(from, area, seg.get(), convertBand);
            dropSegment(*c_, *seg);
            if (read)
                return true;
        }
    }
    return readPlain(from, area, out, at, colormap);
}

bool X11ScreenPixels::readShm(xcb_drawable_t from, const QRect& area, Segment* segment,
                              const std::function<void(int, int)>& bandDone,
                              const std::function<void(int, int)>& beforeBand)
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
        if (beforeBand)
            beforeBand(y, rows);
        bands.push_back({y, rows,
                         xcb_shm_get_image(x, from, static_cast<qint16>(area.x()),
                                           static_cast<qint16>(area.y() + y),
                                           static_cast<quint16>(area.width()),
                                           static_cast<quint16>(rows), ~0u,
                                           XCB_IMAGE_FORMAT_Z_PIXMAP, segment->id,
                                           static_cast<quint32>(qint64(y) * bpl))});
        if (beforeBand)
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

bool X11ScreenPixels::readPlain(xcb_drawable_t from, const QRect& area, QImage* out, QPoint at,
                                const QVector<QRgb>& colormap, int bandBytes)
{
    xcb_connection_t* x = c_->xcb();
    const int bpl = layout_.bytesPerLine(area.width());
    // Bands of rows of at most bandBytes, inside the largest request the server takes;
    // all of them are asked for before the first answer is read, so the transfers overlap.
    const qint64 maxBytes =
        std::min<qint64>(qint64(xcb_get_maximum_request_length(x)) * 4 - 4096, bandBytes);
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
            convertRows(xcb_get_image_data(reply.get()), bpl, b.rows, area.width(), out,
                        at + QPoint(0, b.y), colormap);
    }
    return ok;
}

void X11ScreenPixels::convertRows(const uchar* src, int srcBpl, int rows, int width, QImage* out,
                                  QPoint at, const QVector<QRgb>& colormap) const
{
    if (layout_.rgb32) {
        for (int y = 0; y < rows; ++y) {
            auto* dst = reinterpret_cast<quint32*>(out->scanLine(at.y() + y)) + at.x();
            copyOpaque(dst, reinterpret_cast<const quint32*>(src + qint64(y) * srcBpl),
                       size_t(width));
        }
        return;
    }
    const int bpp = layout_.bitsPerPixel;
    const bool lsb = layout_.serverLsbFirst;
    if (layout_.visualClass == XCB_VISUAL_CLASS_TRUE_COLOR
        || layout_.visualClass == XCB_VISUAL_CLASS_DIRECT_COLOR) {
        const Channel r(layout_.redMask), g(layout_.greenMask), b(layout_.blueMask);
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
