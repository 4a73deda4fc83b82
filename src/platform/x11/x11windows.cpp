#include "x11windows.h"

#include <QEvent>
#include <QGuiApplication>
#include <QList>
#include <QSet>
#include <QWidget>
#include <QWindow>

#include <cstring>
#include <initializer_list>

X11ForegroundWindow::X11ForegroundWindow(std::shared_ptr<X11Connection> connection)
    : c_(std::move(connection))
{
}

quintptr X11ForegroundWindow::GetForegroundWindow()
{
    const QVector<quint32> active =
        c_->property32(c_->root(), c_->atom(X11Connection::NetActiveWindow), XCB_ATOM_WINDOW, 1);
    return active.isEmpty() ? 0 : active.constFirst();
}

quintptr X11ForegroundWindow::GetDesktopWindow()
{
    return c_->root();
}

bool X11ForegroundWindow::GetWindowRect(quintptr hwnd, WindowRect* rect)
{
    QRect outer;
    if (hwnd > 0xffffffffu || !c_->windowRects(static_cast<xcb_window_t>(hwnd), nullptr, &outer))
        return false;
    *rect = {outer.left(), outer.top(), outer.left() + outer.width(),
             outer.top() + outer.height()};
    return true;
}

// ---------------------------------------------------------------------------------------------

namespace {

// Qt's connection when we can have it, so our requests come after whatever Qt has sent about
// the window (its map request above all).
xcb_connection_t* connectionFor(X11Connection& ours)
{
    if (auto* app = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>()
                            : nullptr) {
        if (app->connection())
            return app->connection();
    }
    return ours.xcb();
}

// Puts one or two _NET_WM_STATE atoms on the window: asks the window manager when it manages the
// window already, writes the property that it reads at map time otherwise.
void announceStates(X11Connection& ours, xcb_connection_t* x, xcb_window_t id,
                    std::initializer_list<xcb_atom_t> wanted)
{
    const xcb_atom_t state = ours.atom(X11Connection::NetWmState);
    xcb_generic_error_t* err = nullptr;
    XcbPtr<xcb_get_window_attributes_reply_t> attrs(
        xcb_get_window_attributes_reply(x, xcb_get_window_attributes(x, id), &err));
    std::free(err);
    if (!attrs)
        return;
    if (attrs->map_state != XCB_MAP_STATE_UNMAPPED) {
        xcb_client_message_event_t ev;
        std::memset(&ev, 0, sizeof ev);
        ev.response_type = XCB_CLIENT_MESSAGE;
        ev.format = 32;
        ev.window = id;
        ev.type = state;
        ev.data.data32[0] = 1; // add
        int i = 1;
        for (xcb_atom_t a : wanted) {
            if (i < 3)
                ev.data.data32[i++] = a;
        }
        ev.data.data32[3] = 1; // from a normal application
        xcb_send_event(x, 0, ours.root(),
                       XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                       reinterpret_cast<const char*>(&ev));
    } else {
        XcbPtr<xcb_get_property_reply_t> current(xcb_get_property_reply(
            x, xcb_get_property(x, 0, id, state, XCB_ATOM_ATOM, 0, 64), &err));
        std::free(err);
        QList<xcb_atom_t> present;
        if (current && current->format == 32) {
            const auto* atoms =
                static_cast<const xcb_atom_t*>(xcb_get_property_value(current.get()));
            const int n = xcb_get_property_value_length(current.get()) / 4;
            for (int i = 0; i < n; ++i)
                present << atoms[i];
        }
        for (xcb_atom_t a : wanted) {
            if (!present.contains(a))
                xcb_change_property(x, XCB_PROP_MODE_APPEND, id, state, XCB_ATOM_ATOM, 32, 1, &a);
        }
    }
    xcb_flush(x);
}

void announceAbove(X11Connection& ours, xcb_connection_t* x, xcb_window_t id, bool raise)
{
    announceStates(ours, x, id, {ours.atom(X11Connection::NetWmStateAbove)});
    if (raise) {
        const quint32 stackMode = XCB_STACK_MODE_ABOVE;
        xcb_configure_window(x, id, XCB_CONFIG_WINDOW_STACK_MODE, &stackMode);
        xcb_flush(x);
    }
}

} // namespace

// The window manager forgets the state when a window is hidden, and Qt knows nothing of it
// when it was set on a window that existed already. So the windows made topmost are watched:
// whenever one is mapped again, the state is announced again.
class X11TopMost::Keeper : public QObject
{
public:
    explicit Keeper(X11Connection& c) : c_(c)
    {
        handler_ = c_.addEventHandler([this](const xcb_generic_event_t* e) { onEvent(e); });
    }
    ~Keeper() override { c_.removeEventHandler(handler_); }

    void watch(QWidget* window)
    {
        window->installEventFilter(this);
        follow(static_cast<xcb_window_t>(window->winId()));
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        // The native window may have been made anew since; Show comes before the map.
        if (event->type() == QEvent::Show && watched->isWidgetType()) {
            auto* w = static_cast<QWidget*>(watched);
            if (w->isWindow() && w->testAttribute(Qt::WA_WState_Created))
                follow(static_cast<xcb_window_t>(w->winId()));
        }
        return false;
    }

private:
    void follow(xcb_window_t id)
    {
        if (windows_.contains(id))
            return;
        windows_.insert(id);
        // Event selections are per client: this one does not disturb Qt's.
        const quint32 mask = XCB_EVENT_MASK_STRUCTURE_NOTIFY;
        xcb_change_window_attributes(c_.xcb(), id, XCB_CW_EVENT_MASK, &mask);
        xcb_flush(c_.xcb());
    }

    void onEvent(const xcb_generic_event_t* event)
    {
        const quint8 type = event->response_type & 0x7f;
        if (type == XCB_MAP_NOTIFY) {
            const auto* map = reinterpret_cast<const xcb_map_notify_event_t*>(event);
            if (windows_.contains(map->window))
                announceAbove(c_, c_.xcb(), map->window, false);
        } else if (type == XCB_DESTROY_NOTIFY) {
            windows_.remove(reinterpret_cast<const xcb_destroy_notify_event_t*>(event)->window);
        }
    }

    X11Connection& c_;
    int handler_ = 0;
    QSet<xcb_window_t> windows_;
};

X11TopMost::X11TopMost(std::shared_ptr<X11Connection> connection)
    : c_(std::move(connection)), keeper_(std::make_unique<Keeper>(*c_))
{
}

X11TopMost::~X11TopMost() = default;

void X11TopMost::SetTopMost(QWidget* window)
{
    if (!window || !c_->isOpen())
        return;
    window = window->window();
    if (!window->testAttribute(Qt::WA_WState_Created)) {
        // No native window yet: Qt puts the state on it when it makes and maps it.
        window->setWindowFlag(Qt::WindowStaysOnTopHint, true);
        window->installEventFilter(keeper_.get());
        return;
    }
    // Qt's own flag is left alone here: changing it on a window that exists makes Qt replace
    // the native window at its next showing (it flickers, and QWidget::winId() then names a
    // window that is gone).
    keeper_->watch(window);
    announceAbove(*c_, connectionFor(*c_), static_cast<xcb_window_t>(window->winId()),
                  window->isVisible());
}

// ---------------------------------------------------------------------------------------------

// The window manager drops the state when a window is hidden, so it is written again before each
// showing: Qt sends the Show event before it maps the window, and keeps the states it finds on
// an unmapped window. Written on Qt's connection, so that Qt reads it back.
class X11Taskbar::Keeper : public QObject
{
public:
    explicit Keeper(X11Connection& c) : c_(c) {}

    void announce(QWidget* w)
    {
        announceStates(c_, connectionFor(c_), static_cast<xcb_window_t>(w->winId()),
                       {c_.atom(X11Connection::NetWmStateSkipTaskbar),
                        c_.atom(X11Connection::NetWmStateSkipPager)});
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Show && watched->isWidgetType()) {
            auto* w = static_cast<QWidget*>(watched);
            if (w->isWindow() && w->testAttribute(Qt::WA_WState_Created))
                announce(w);
        }
        return false;
    }

private:
    X11Connection& c_;
};

X11Taskbar::X11Taskbar(std::shared_ptr<X11Connection> connection)
    : c_(std::move(connection)), keeper_(std::make_unique<Keeper>(*c_))
{
}

X11Taskbar::~X11Taskbar() = default;

void X11Taskbar::SkipTaskbar(QWidget* window)
{
    if (!window || !c_->isOpen())
        return;
    window = window->window();
    window->removeEventFilter(keeper_.get());
    window->installEventFilter(keeper_.get());
    if (window->testAttribute(Qt::WA_WState_Created))
        keeper_->announce(window);
}
