#include "x11screenpixels.h"

X11ScreenPixels::X11ScreenPixels(std::shared_ptr<X11Connection> connection, Transfer transfer,
                                 Source source)
    : c_(connection), source_(source), reader_(std::move(connection), transfer)
{
}

CapturedBitmap X11ScreenPixels::CaptureWindowRect(quintptr hwnd, bool client, int left, int top,
                                                  int width, int height)
{
    if (width <= 0 || height <= 0 || !c_->isOpen() || hwnd > 0xffffffffu)
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
    if (visible == wanted)
        return reader_.read(from, wanted);

    // Partly off the screen: what lies outside is black.
    CapturedBitmap result;
    const QVector<QRgb> colors = reader_.colormap();
    if (reader_.layout().paletted() && colors.size() == 256)
        result.palette = colors;
    QImage out(width, height, QImage::Format_RGB32);
    if (out.isNull())
        return {};
    out.fill(QColor(Qt::black));
    if (!visible.isEmpty()
        && !reader_.readInto(from, visible, &out, visible.topLeft() - wanted.topLeft(), colors))
        return {};
    result.image = out;
    return result;
}

bool X11ScreenPixels::sameDepthAsRoot(xcb_window_t window) const
{
    XcbPtr<xcb_get_geometry_reply_t> g(
        xcb_get_geometry_reply(c_->xcb(), xcb_get_geometry(c_->xcb(), window), nullptr));
    return g && g->depth == reader_.layout().depth;
}
