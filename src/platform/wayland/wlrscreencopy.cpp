#include "wlrscreencopy.h"

#include "wlr-screencopy-unstable-v1-client-protocol.h"

#include <QElapsedTimer>
#include <QPainter>

#include <wayland-client.h>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/mman.h>
#include <unistd.h>

// The formats wl_shm names by code (the low ones) or by their DRM four-character code.
constexpr quint32 kArgb8888 = 0;
constexpr quint32 kXrgb8888 = 1;
constexpr quint32 kAbgr8888 = 0x34324241; // 'AB24'
constexpr quint32 kXbgr8888 = 0x34324258; // 'XB24'

// Long enough for a compositor that draws its next frame late; a frame that takes longer means
// the copy is stuck, and the portal takes over.
constexpr int kFrameTimeoutMs = 2000;

QImage screencopyImage(const uchar* data, int width, int height, int stride, quint32 format,
                       bool yInvert)
{
    QImage::Format qformat;
    switch (format) {
    case kXrgb8888:
        qformat = QImage::Format_RGB32;
        break;
    case kArgb8888:
        qformat = QImage::Format_ARGB32;
        break;
    case kXbgr8888:
        qformat = QImage::Format_RGBX8888;
        break;
    case kAbgr8888:
        qformat = QImage::Format_RGBA8888;
        break;
    default:
        return {};
    }
    if (width <= 0 || height <= 0 || stride < width * 4)
        return {};
    // The screen is opaque whatever the alpha channel says: read as opaque, one copy.
    QImage view(data, width, height, stride, qformat);
    QImage out = (qformat == QImage::Format_RGB32) ? view.copy()
                                                   : view.convertToFormat(QImage::Format_RGB32);
    if (qformat == QImage::Format_ARGB32 || qformat == QImage::Format_RGBA8888) {
        // Alpha is meaningless on a screen: force it opaque rather than premultiplying.
        for (int y = 0; y < out.height(); ++y) {
            auto* row = reinterpret_cast<QRgb*>(out.scanLine(y));
            for (int x = 0; x < out.width(); ++x)
                row[x] |= 0xff000000u;
        }
    }
    return yInvert ? out.mirrored(false, true) : out;
}

namespace {

void outputGeometry(void* data, wl_output*, int32_t x, int32_t y, int32_t, int32_t, int32_t,
                    const char*, const char*, int32_t)
{
    static_cast<WlrScreencopy::Output*>(data)->position = QPoint(x, y);
}

void outputMode(void* data, wl_output*, uint32_t flags, int32_t width, int32_t height, int32_t)
{
    if (flags & WL_OUTPUT_MODE_CURRENT)
        static_cast<WlrScreencopy::Output*>(data)->mode = QSize(width, height);
}

void outputDone(void*, wl_output*) {}

void outputScale(void* data, wl_output*, int32_t factor)
{
    static_cast<WlrScreencopy::Output*>(data)->scale = factor > 0 ? factor : 1;
}

void outputName(void*, wl_output*, const char*) {}
void outputDescription(void*, wl_output*, const char*) {}

// Bound at version 2, so the last two never come; the listener still names every event.
const wl_output_listener kOutputListener = {outputGeometry, outputMode, outputDone,
                                            outputScale, outputName, outputDescription};

} // namespace

// One frame being copied.
struct WlrScreencopy::Frame {
    quint32 width = 0, height = 0, format = 0, stride = 0;
    bool haveBuffer = false;
    bool yInvert = false;
    bool ready = false;
    bool failed = false;
};

namespace {

void frameBuffer(void* data, zwlr_screencopy_frame_v1*, uint32_t format, uint32_t width,
                 uint32_t height, uint32_t stride)
{
    auto* f = static_cast<WlrScreencopy::Frame*>(data);
    f->format = format;
    f->width = width;
    f->height = height;
    f->stride = stride;
    f->haveBuffer = true;
}

void frameFlags(void* data, zwlr_screencopy_frame_v1*, uint32_t flags)
{
    static_cast<WlrScreencopy::Frame*>(data)->yInvert =
        flags & ZWLR_SCREENCOPY_FRAME_V1_FLAGS_Y_INVERT;
}

void frameReady(void* data, zwlr_screencopy_frame_v1*, uint32_t, uint32_t, uint32_t)
{
    static_cast<WlrScreencopy::Frame*>(data)->ready = true;
}

void frameFailed(void* data, zwlr_screencopy_frame_v1*)
{
    static_cast<WlrScreencopy::Frame*>(data)->failed = true;
}

const zwlr_screencopy_frame_v1_listener kFrameListener = {frameBuffer, frameFlags, frameReady,
                                                          frameFailed};

// Shared memory for one frame, unmapped and closed when it goes.
struct ShmBuffer {
    int fd = -1;
    void* data = MAP_FAILED;
    size_t size = 0;
    wl_buffer* buffer = nullptr;
    ~ShmBuffer()
    {
        if (buffer)
            wl_buffer_destroy(buffer);
        if (data != MAP_FAILED)
            munmap(data, size);
        if (fd >= 0)
            close(fd);
    }
};

} // namespace

void WlrScreencopy::global(void* data, wl_registry* registry, quint32 id, const char* interface,
                           quint32 version)
{
    auto* self = static_cast<WlrScreencopy*>(data);
    if (std::strcmp(interface, wl_shm_interface.name) == 0) {
        self->shm_ = static_cast<wl_shm*>(wl_registry_bind(registry, id, &wl_shm_interface, 1));
    } else if (std::strcmp(interface, zwlr_screencopy_manager_v1_interface.name) == 0) {
        self->manager_ = static_cast<zwlr_screencopy_manager_v1*>(
            wl_registry_bind(registry, id, &zwlr_screencopy_manager_v1_interface, 1));
    } else if (std::strcmp(interface, wl_output_interface.name) == 0) {
        auto out = std::make_unique<Output>();
        out->owner = self;
        out->id = id;
        out->output = static_cast<wl_output*>(
            wl_registry_bind(registry, id, &wl_output_interface, std::min<quint32>(version, 2)));
        wl_output_add_listener(out->output, &kOutputListener, out.get());
        self->outputs_.push_back(std::move(out));
    }
}

void WlrScreencopy::globalRemove(void* data, wl_registry*, quint32 id)
{
    auto* self = static_cast<WlrScreencopy*>(data);
    for (auto it = self->outputs_.begin(); it != self->outputs_.end(); ++it) {
        if ((*it)->id == id) {
            wl_output_destroy((*it)->output);
            self->outputs_.erase(it);
            return;
        }
    }
}

std::unique_ptr<WlrScreencopy> WlrScreencopy::open()
{
    static const wl_registry_listener listener = {&WlrScreencopy::global,
                                                  &WlrScreencopy::globalRemove};
    wl_display* display = wl_display_connect(nullptr);
    if (!display)
        return nullptr;
    std::unique_ptr<WlrScreencopy> self(new WlrScreencopy);
    self->display_ = display;
    self->registry_ = wl_display_get_registry(display);
    wl_registry_add_listener(self->registry_, &listener, self.get());
    // The globals, then the outputs' geometry and modes.
    if (wl_display_roundtrip(display) < 0 || wl_display_roundtrip(display) < 0)
        return nullptr;
    if (!self->manager_ || !self->shm_ || self->outputs_.empty())
        return nullptr;
    return self;
}

WlrScreencopy::~WlrScreencopy()
{
    for (auto& out : outputs_)
        wl_output_destroy(out->output);
    if (manager_)
        zwlr_screencopy_manager_v1_destroy(manager_);
    if (shm_)
        wl_shm_destroy(shm_);
    if (registry_)
        wl_registry_destroy(registry_);
    if (display_)
        wl_display_disconnect(display_);
}

bool WlrScreencopy::dispatchUntil(const std::function<bool()>& done, int ms)
{
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (wl_display_dispatch_pending(display_) < 0)
            return false;
        if (done())
            return true;
        while (wl_display_prepare_read(display_) != 0) {
            if (wl_display_dispatch_pending(display_) < 0)
                return false;
        }
        if (wl_display_flush(display_) < 0 && errno != EAGAIN) {
            wl_display_cancel_read(display_);
            return false;
        }
        const int left = ms - int(clock.elapsed());
        if (left <= 0) {
            wl_display_cancel_read(display_);
            return false;
        }
        pollfd pfd{wl_display_get_fd(display_), POLLIN, 0};
        const int n = poll(&pfd, 1, left);
        if (n <= 0) {
            wl_display_cancel_read(display_);
            if (n < 0 && errno == EINTR)
                continue;
            return false;
        }
        if (wl_display_read_events(display_) < 0)
            return false;
    }
    return true;
}

QImage WlrScreencopy::copyOutput(Output& out, QString* why)
{
    Frame frame;
    zwlr_screencopy_frame_v1* f =
        zwlr_screencopy_manager_v1_capture_output(manager_, 0 /* no pointer */, out.output);
    zwlr_screencopy_frame_v1_add_listener(f, &kFrameListener, &frame);
    const auto finish = [&](const QString& failure) {
        zwlr_screencopy_frame_v1_destroy(f);
        wl_display_flush(display_);
        *why = failure;
        return QImage();
    };
    if (!dispatchUntil([&] { return frame.haveBuffer || frame.failed; }, kFrameTimeoutMs)
        || frame.failed)
        return finish(QStringLiteral("the compositor offered no frame"));

    ShmBuffer shm;
    shm.size = size_t(frame.stride) * frame.height;
    shm.fd = memfd_create("scrawlix-screencopy", MFD_CLOEXEC);
    if (shm.fd < 0 || ftruncate(shm.fd, off_t(shm.size)) < 0)
        return finish(QStringLiteral("no shared memory: %1").arg(QString::fromLocal8Bit(strerror(errno))));
    shm.data = mmap(nullptr, shm.size, PROT_READ | PROT_WRITE, MAP_SHARED, shm.fd, 0);
    if (shm.data == MAP_FAILED)
        return finish(QStringLiteral("no shared memory: %1").arg(QString::fromLocal8Bit(strerror(errno))));
    wl_shm_pool* pool = wl_shm_create_pool(shm_, shm.fd, int32_t(shm.size));
    shm.buffer = wl_shm_pool_create_buffer(pool, 0, int32_t(frame.width), int32_t(frame.height),
                                           int32_t(frame.stride), frame.format);
    wl_shm_pool_destroy(pool);
    zwlr_screencopy_frame_v1_copy(f, shm.buffer);
    if (!dispatchUntil([&] { return frame.ready || frame.failed; }, kFrameTimeoutMs))
        return finish(QStringLiteral("the frame was not copied in %1 ms").arg(kFrameTimeoutMs));
    if (frame.failed)
        return finish(QStringLiteral("the compositor failed to copy the frame"));
    zwlr_screencopy_frame_v1_destroy(f);
    const QImage image = screencopyImage(static_cast<const uchar*>(shm.data), int(frame.width),
                                         int(frame.height), int(frame.stride), frame.format,
                                         frame.yInvert);
    if (image.isNull())
        *why = QStringLiteral("a frame in pixel format 0x%1").arg(frame.format, 0, 16);
    return image;
}

QImage WlrScreencopy::shoot(const QRect& area, QString* why)
{
    QImage result(area.size(), QImage::Format_RGB32);
    result.fill(Qt::black);
    QPainter painter(&result);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    bool any = false;
    for (auto& out : outputs_) {
        // An output's place in the layout is in logical pixels: its mode divided by its scale.
        const QRect logical(out->position, out->mode / out->scale);
        if (!logical.intersects(area))
            continue;
        QImage image = copyOutput(*out, why);
        if (image.isNull())
            return {};
        if (logical == area && image.size() == area.size())
            return image; // the usual case: the area is one output, which needs no copying
        if (image.size() != logical.size())
            image = image.scaled(logical.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        painter.drawImage(logical.topLeft() - area.topLeft(), image);
        any = true;
    }
    if (!any) {
        *why = QStringLiteral("no output lies in the area");
        return {};
    }
    return result;
}
