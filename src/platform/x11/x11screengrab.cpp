#include "x11screengrab.h"

#include <QEvent>
#include <QGuiApplication>
#include <QMetaObject>
#include <QTimer>
#include <QWindow>

#include <xcb/damage.h>
#include <xcb/xfixes.h>

#include <vector>

namespace {

// Sends what Qt has asked of the server on its own connection (a window's unmap) and waits until
// the server has done it, so that what we ask on ours comes after.
void syncQtConnection()
{
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    xcb_connection_t* c = x11 ? x11->connection() : nullptr;
    if (!c)
        return;
    XcbPtr<xcb_get_input_focus_reply_t> r(
        xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
}

// The window's top-level ancestor: the window manager's frame around it, or itself.
xcb_window_t frameOf(xcb_connection_t* c, xcb_window_t window, xcb_window_t root)
{
    xcb_window_t w = window;
    for (int depth = 0; depth < 16; ++depth) {
        XcbPtr<xcb_query_tree_reply_t> t(xcb_query_tree_reply(c, xcb_query_tree(c, w), nullptr));
        if (!t || t->parent == XCB_WINDOW_NONE || t->parent == root)
            return w;
        w = t->parent;
    }
    return w;
}

} // namespace

X11ScreenGrab::X11ScreenGrab(std::shared_ptr<X11Connection> connection,
                             X11ImageReader::Transfer transfer)
    : c_(connection), reader_(std::move(connection), transfer), poll_(new QTimer(this)),
      readLater_(new QTimer(this))
{
    readLater_->setSingleShot(true);
    connect(readLater_, &QTimer::timeout, this, &X11ScreenGrab::startRead);
    poll_->setInterval(2);
    connect(poll_, &QTimer::timeout, this, &X11ScreenGrab::poll);
    if (!c_->isOpen())
        return;
    xcb_connection_t* x = c_->xcb();
    const xcb_query_extension_reply_t* damage = xcb_get_extension_data(x, &xcb_damage_id);
    const xcb_query_extension_reply_t* fixes = xcb_get_extension_data(x, &xcb_xfixes_id);
    if (damage && damage->present && fixes && fixes->present) {
        XcbPtr<xcb_xfixes_query_version_reply_t> f(
            xcb_xfixes_query_version_reply(x, xcb_xfixes_query_version(x, 2, 0), nullptr));
        XcbPtr<xcb_damage_query_version_reply_t> d(
            xcb_damage_query_version_reply(x, xcb_damage_query_version(x, 1, 1), nullptr));
        damageExt_ = f && f->major_version >= 2 && d && d->major_version >= 1;
    }
    // Copies take what the root's children show, and make no exposure events.
    gc_ = xcb_generate_id(x);
    const quint32 values[] = {c_->screen()->black_pixel, XCB_SUBWINDOW_MODE_INCLUDE_INFERIORS, 0};
    xcb_create_gc(x, gc_, c_->root(),
                  XCB_GC_FOREGROUND | XCB_GC_SUBWINDOW_MODE | XCB_GC_GRAPHICS_EXPOSURES, values);
}

X11ScreenGrab::~X11ScreenGrab()
{
    finishSettle(false);
    finishGrab();
    if (c_->isOpen()) {
        xcb_free_gc(c_->xcb(), gc_);
        xcb_flush(c_->xcb());
    }
}

ScreenGrab::Capabilities X11ScreenGrab::capabilities() const
{
    return WindowCapture | ReadsOnWorker | FrozenAtGrab;
}

void X11ScreenGrab::settle(const QList<QWindow*>& vanishing, const std::function<void()>& hide,
                           QDeadlineTimer deadline)
{
    finishSettle(false);
    deadline_ = deadline;
    if (!c_->isOpen()) {
        hide();
        QMetaObject::invokeMethod(this, [this] { Q_EMIT settled(); }, Qt::QueuedConnection);
        return;
    }
    xcb_connection_t* x = c_->xcb();
    // While they are still on the screen: which frames carry our windows, and where they are.
    syncQtConnection();
    for (QWindow* w : vanishing) {
        if (!w || !w->handle())
            continue;
        const xcb_window_t frame = frameOf(x, static_cast<xcb_window_t>(w->winId()), c_->root());
        XcbPtr<xcb_get_window_attributes_reply_t> a(xcb_get_window_attributes_reply(
            x, xcb_get_window_attributes(x, frame), nullptr));
        QRect outer;
        if (!a || a->map_state != XCB_MAP_STATE_VIEWABLE || frames_.contains(frame)
            || !c_->windowRects(frame, &outer, nullptr))
            continue;
        frames_.append(frame);
        left_ += outer;
    }
    // Watching for drawing begins before the windows go, so nothing drawn after is missed. The
    // server counts a new watch's whole window as drawn; that is cleared at once.
    if (!left_.isEmpty() && damageExt_) {
        damage_ = xcb_generate_id(x);
        xcb_damage_create(x, damage_, c_->root(), XCB_DAMAGE_REPORT_LEVEL_NON_EMPTY);
        XcbPtr<xcb_generic_error_t> err(
            xcb_request_check(x, xcb_damage_subtract_checked(x, damage_, XCB_NONE, XCB_NONE)));
        if (err) {
            xcb_damage_destroy(x, damage_);
            damage_ = 0;
        }
    }
    hide();
    if (frames_.isEmpty()) {
        // Nothing of ours was on the screen: nothing to wait for.
        QMetaObject::invokeMethod(this, [this] { Q_EMIT settled(); }, Qt::QueuedConnection);
        return;
    }
    gone_ = false;
    poll_->start();
}

void X11ScreenGrab::cancelSettle()
{
    finishSettle(false);
}

void X11ScreenGrab::finishSettle(bool report)
{
    poll_->stop();
    if (damage_ != 0 && c_->isOpen()) {
        xcb_damage_destroy(c_->xcb(), damage_);
        xcb_flush(c_->xcb());
    }
    damage_ = 0;
    frames_.clear();
    left_ = QRegion();
    drawn_ = QRegion();
    coveredMs_ = -1;
    gone_ = false;
    sinceGone_.invalidate();
    if (report)
        Q_EMIT settled();
}

bool X11ScreenGrab::framesGone()
{
    syncQtConnection();
    xcb_connection_t* x = c_->xcb();
    std::vector<xcb_get_window_attributes_cookie_t> cookies;
    for (quint32 f : frames_)
        cookies.push_back(xcb_get_window_attributes(x, f));
    bool gone = true;
    for (const auto& cookie : cookies) {
        XcbPtr<xcb_get_window_attributes_reply_t> a(
            xcb_get_window_attributes_reply(x, cookie, nullptr));
        // A frame that no longer exists has gone too.
        if (a && a->map_state == XCB_MAP_STATE_VIEWABLE)
            gone = false;
    }
    return gone;
}

void X11ScreenGrab::collectDamage()
{
    if (damage_ == 0)
        return;
    xcb_connection_t* x = c_->xcb();
    const xcb_xfixes_region_t region = xcb_generate_id(x);
    xcb_xfixes_create_region(x, region, 0, nullptr);
    xcb_damage_subtract(x, damage_, XCB_NONE, region);
    XcbPtr<xcb_xfixes_fetch_region_reply_t> reply(
        xcb_xfixes_fetch_region_reply(x, xcb_xfixes_fetch_region(x, region), nullptr));
    xcb_xfixes_destroy_region(x, region);
    if (!reply)
        return;
    const xcb_rectangle_t* r = xcb_xfixes_fetch_region_rectangles(reply.get());
    const int n = xcb_xfixes_fetch_region_rectangles_length(reply.get());
    QRegion now;
    for (int i = 0; i < n; ++i)
        now += QRect(r[i].x, r[i].y, r[i].width, r[i].height);
    now &= left_;
    if (now.isEmpty())
        return;
    drawn_ += now;
    lastDrawnMs_ = sinceGone_.isValid() ? sinceGone_.elapsed() : 0;
}

void X11ScreenGrab::poll()
{
    if (deadline_.hasExpired()) {
        finishSettle(true);
        return;
    }
    if (!gone_) {
        // What the server draws as it takes them away (backgrounds) counts; until then the
        // windows cover the area, and nothing else can be drawn there.
        if (!framesGone())
            return;
        gone_ = true;
        sinceGone_.start();
        lastDrawnMs_ = 0;
    }
    collectDamage();
    const qint64 now = sinceGone_.elapsed();
    if (coveredMs_ < 0 && damage_ != 0 && (left_ - drawn_).isEmpty())
        coveredMs_ = now;
    const bool quietAfterCovered =
        coveredMs_ >= 0 && (now - lastDrawnMs_ >= timing.settleQuietMs
                            || now - coveredMs_ >= timing.settleCoveredMaxMs);
    const bool quiet = now - lastDrawnMs_ >= timing.quietMs;
    if (quietAfterCovered || quiet)
        finishSettle(true);
}

void X11ScreenGrab::grab(quint64 ticket, const QRect& area)
{
    finishGrab();
    const auto fail = [this, ticket](const QString& why) {
        QMetaObject::invokeMethod(
            this, [this, ticket, why] { Q_EMIT grabFailed(ticket, why); }, Qt::QueuedConnection);
    };
    QRect root;
    if (!c_->isOpen() || area.isEmpty() || area.width() > 32767 || area.height() > 32767
        || !c_->windowRects(c_->root(), &root, nullptr)) {
        fail(QCoreApplication::translate("Platform", "The X server gave no screen to read."));
        return;
    }
    // What Qt has drawn (a canvas that stays, without its labels) is on the screen first.
    syncQtConnection();
    // The copy in the server is the moment of the picture: a single request, which no other
    // client's drawing can come in the middle of.
    xcb_connection_t* x = c_->xcb();
    const xcb_pixmap_t pixmap = xcb_generate_id(x);
    const auto w = static_cast<quint16>(area.width());
    const auto h = static_cast<quint16>(area.height());
    xcb_create_pixmap(x, c_->screen()->root_depth, pixmap, c_->root(), w, h);
    const QRect visible = area & root;
    if (visible != area) {
        const xcb_rectangle_t all{0, 0, w, h};
        xcb_poly_fill_rectangle(x, pixmap, gc_, 1, &all);
    }
    if (!visible.isEmpty())
        xcb_copy_area(x, c_->root(), pixmap, gc_, static_cast<qint16>(visible.x()),
                      static_cast<qint16>(visible.y()),
                      static_cast<qint16>(visible.x() - area.x()),
                      static_cast<qint16>(visible.y() - area.y()),
                      static_cast<quint16>(visible.width()), static_cast<quint16>(visible.height()));
    xcb_flush(x);

    ticket_ = ticket;
    pixmap_ = pixmap;
    taken_ = false;
    read_ = {};
    readArea_ = QRect(0, 0, w, h);
    readStarted_ = false;
    // The read starts once the event loop runs again, unless the copy is shown first (showFrozen).
    readLater_->start(0);
}

void X11ScreenGrab::startRead()
{
    readLater_->stop();
    if (frozenWindow_)
        frozenWindow_->removeEventFilter(this);
    frozenWindow_ = nullptr;
    if (readStarted_ || taken_ || pixmap_ == 0)
        return;
    readStarted_ = true;
    const quint64 ticket = ticket_;
    const quint32 pixmap = pixmap_;
    const QRect area = readArea_;
    worker_ = std::thread([this, ticket, pixmap, area] {
        read_ = reader_.read(pixmap, area);
        QMetaObject::invokeMethod(this, [this, ticket] { deliver(ticket); }, Qt::QueuedConnection);
    });
}

bool X11ScreenGrab::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == frozenWindow_ && event->type() == QEvent::Expose && frozenWindow_->isExposed())
        startRead();
    return false;
}

void X11ScreenGrab::finishGrab()
{
    readLater_->stop();
    if (frozenWindow_)
        frozenWindow_->removeEventFilter(this);
    frozenWindow_ = nullptr;
    if (worker_.joinable())
        worker_.join();
    if (pixmap_ != 0 && c_->isOpen()) {
        // A window that shows it as its background keeps it until the background changes.
        xcb_free_pixmap(c_->xcb(), pixmap_);
        xcb_flush(c_->xcb());
    }
    pixmap_ = 0;
}

void X11ScreenGrab::deliver(quint64 ticket)
{
    if (ticket != ticket_ || taken_)
        return;
    finishGrab();
    taken_ = true;
    const CapturedBitmap bitmap = std::move(read_);
    read_ = {};
    if (bitmap.image.isNull())
        Q_EMIT grabFailed(ticket,
                          QCoreApplication::translate(
                              "Platform", "The X server refused to give the screen's pixels."));
    else
        Q_EMIT grabbed(ticket, bitmap);
}

CapturedBitmap X11ScreenGrab::waitForGrab(quint64 ticket)
{
    if (ticket != ticket_ || taken_)
        return {};
    startRead();
    finishGrab();
    taken_ = true;
    const CapturedBitmap bitmap = std::move(read_);
    read_ = {};
    return bitmap;
}

bool X11ScreenGrab::showFrozen(QWindow* window, quint64 ticket)
{
    if (!window || ticket != ticket_ || pixmap_ == 0 || !c_->isOpen())
        return false;
    const auto id = static_cast<xcb_window_t>(window->winId());
    xcb_connection_t* x = c_->xcb();
    // Only a window of the root's depth can take the pixmap as its background. A window keeps its
    // depth, so the server is asked once: asked now, the answer would wait for the copy.
    if (id != depthKnownFor_) {
        XcbPtr<xcb_get_geometry_reply_t> g(
            xcb_get_geometry_reply(x, xcb_get_geometry(x, id), nullptr));
        if (!g)
            return false;
        depthKnownFor_ = id;
        rootDepth_ = g->depth == c_->screen()->root_depth;
    }
    if (!rootDepth_)
        return false;
    const quint32 background = pixmap_;
    xcb_change_window_attributes(x, id, XCB_CW_BACK_PIXMAP, &background);
    xcb_flush(x);
    // The read waits until the window is on the screen: a reading of the whole screen keeps the
    // server busy, and the window manager's mapping of the window would wait behind it. A window
    // manager that does not map it soon does not hold the picture up for long.
    frozenWindow_ = window;
    window->installEventFilter(this);
    readLater_->start(readAfterShowMs);
    return true;
}

void X11ScreenGrab::dropFrozen(QWindow* window)
{
    if (!window || !window->handle() || !c_->isOpen())
        return;
    const quint32 none = XCB_BACK_PIXMAP_NONE;
    xcb_change_window_attributes(c_->xcb(), static_cast<xcb_window_t>(window->winId()),
                                 XCB_CW_BACK_PIXMAP, &none);
    xcb_flush(c_->xcb());
}
