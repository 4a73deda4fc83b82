#include "x11connection.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QSocketNotifier>

#include <xcb/xcb_keysyms.h>

#include <cstdio>
#include <cstdlib>

namespace {

const char* const atomNames[X11Connection::AtomCount] = {
    "_NET_ACTIVE_WINDOW",
    "_NET_FRAME_EXTENTS",
    "_NET_WM_STATE",
    "_NET_WM_STATE_ABOVE",
    "_NET_WM_STATE_SKIP_TASKBAR",
    "_NET_WM_STATE_SKIP_PAGER",
};

} // namespace

X11Connection::X11Connection(const QByteArray& displayName)
{
    int screenNumber = 0;
    conn_ = xcb_connect(displayName.isEmpty() ? nullptr : displayName.constData(), &screenNumber);
    if (xcb_connection_has_error(conn_)) {
        std::fprintf(stderr, "scrawlix: cannot open a connection to the X server %s\n",
                     displayName.isEmpty() ? qgetenv("DISPLAY").constData()
                                           : displayName.constData());
        xcb_disconnect(conn_);
        conn_ = nullptr;
        return;
    }
    link_ = std::make_shared<XcbLink>(conn_);
    xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(conn_));
    for (int i = 0; it.rem > 0; ++i, xcb_screen_next(&it)) {
        if (i == screenNumber || !screen_)
            screen_ = it.data;
        if (i == screenNumber)
            break;
    }

    xcb_intern_atom_cookie_t cookies[AtomCount];
    for (int i = 0; i < AtomCount; ++i)
        cookies[i] = xcb_intern_atom(conn_, 0, static_cast<quint16>(qstrlen(atomNames[i])),
                                     atomNames[i]);
    for (int i = 0; i < AtomCount; ++i) {
        XcbPtr<xcb_intern_atom_reply_t> r(xcb_intern_atom_reply(conn_, cookies[i], nullptr));
        atoms_[i] = r ? r->atom : xcb_atom_t(XCB_ATOM_NONE);
    }

    keySymbols_ = xcb_key_symbols_alloc(conn_);

    if (QCoreApplication::instance()) {
        notifier_ = new QSocketNotifier(xcb_get_file_descriptor(conn_), QSocketNotifier::Read,
                                        this);
        connect(notifier_, &QSocketNotifier::activated, this, [this] { drain(); });
        // A reply that a service waited for may have brought events along; libxcb keeps them
        // in its queue, where the socket notifier cannot see them.
        if (QAbstractEventDispatcher* d = QAbstractEventDispatcher::instance(thread()))
            connect(d, &QAbstractEventDispatcher::aboutToBlock, this,
                    [this] { dispatchQueued(); });
    }
}

X11Connection::~X11Connection()
{
    delete notifier_;
    if (keySymbols_)
        xcb_key_symbols_free(keySymbols_);
    // Disconnects now, or when the last picture in shared memory has been let go.
    if (conn_)
        xcb_flush(conn_);
    link_.reset();
}

void X11Connection::drain()
{
    if (!conn_)
        return;
    if (xcb_connection_has_error(conn_)) {
        if (!reportedBroken_) {
            std::fprintf(stderr, "scrawlix: lost the connection to the X server\n");
            reportedBroken_ = true;
        }
        if (notifier_)
            notifier_->setEnabled(false);
        return;
    }
    while (xcb_generic_event_t* e = xcb_poll_for_event(conn_))
        dispatch(e);
}

void X11Connection::dispatchQueued()
{
    if (!conn_)
        return;
    while (xcb_generic_event_t* e = xcb_poll_for_queued_event(conn_))
        dispatch(e);
}

void X11Connection::dispatch(xcb_generic_event_t* event)
{
    XcbPtr<xcb_generic_event_t> owned(event);
    if ((event->response_type & 0x7f) == XCB_MAPPING_NOTIFY && keySymbols_)
        xcb_refresh_keyboard_mapping(keySymbols_,
                                     reinterpret_cast<xcb_mapping_notify_event_t*>(event));
    // A snapshot, so a handler may add or remove handlers.
    std::vector<EventHandler> handlers;
    handlers.reserve(handlers_.size());
    for (const auto& h : handlers_)
        handlers.push_back(h.second);
    for (const EventHandler& h : handlers)
        h(event);
}

int X11Connection::addEventHandler(EventHandler handler)
{
    const int id = nextHandler_++;
    handlers_[id] = std::move(handler);
    return id;
}

void X11Connection::removeEventHandler(int id)
{
    handlers_.erase(id);
}

QVector<xcb_keycode_t> X11Connection::keycodes(const std::vector<xcb_keysym_t>& keysyms)
{
    QVector<xcb_keycode_t> out;
    if (!keySymbols_)
        return out;
    for (xcb_keysym_t sym : keysyms) {
        XcbPtr<xcb_keycode_t> codes(xcb_key_symbols_get_keycode(keySymbols_, sym));
        if (!codes)
            continue;
        for (const xcb_keycode_t* c = codes.get(); *c != XCB_NO_SYMBOL; ++c) {
            if (!out.contains(*c))
                out.append(*c);
        }
    }
    return out;
}

quint16 X11Connection::modifierMaskOf(xcb_keysym_t keysym)
{
    const QVector<xcb_keycode_t> codes = keycodes({keysym});
    if (!conn_ || codes.isEmpty())
        return 0;
    XcbPtr<xcb_get_modifier_mapping_reply_t> map(
        xcb_get_modifier_mapping_reply(conn_, xcb_get_modifier_mapping(conn_), nullptr));
    if (!map)
        return 0;
    const xcb_keycode_t* mods = xcb_get_modifier_mapping_keycodes(map.get());
    const int perModifier = map->keycodes_per_modifier;
    quint16 mask = 0;
    for (int mod = 0; mod < 8; ++mod) {
        for (int j = 0; j < perModifier; ++j) {
            const xcb_keycode_t kc = mods[mod * perModifier + j];
            if (kc != 0 && codes.contains(kc))
                mask |= static_cast<quint16>(1u << mod);
        }
    }
    return mask;
}

bool X11Connection::windowRects(xcb_window_t window, QRect* client, QRect* outer)
{
    if (!conn_ || window == XCB_WINDOW_NONE)
        return false;
    // All three questions go out at once: one round trip.
    const xcb_get_geometry_cookie_t gc = xcb_get_geometry(conn_, window);
    const xcb_translate_coordinates_cookie_t tc =
        xcb_translate_coordinates(conn_, window, root(), 0, 0);
    const xcb_get_property_cookie_t pc =
        xcb_get_property(conn_, 0, window, atoms_[NetFrameExtents], XCB_ATOM_CARDINAL, 0, 4);
    xcb_generic_error_t* e1 = nullptr;
    xcb_generic_error_t* e2 = nullptr;
    xcb_generic_error_t* e3 = nullptr;
    XcbPtr<xcb_get_geometry_reply_t> geom(xcb_get_geometry_reply(conn_, gc, &e1));
    XcbPtr<xcb_translate_coordinates_reply_t> pos(xcb_translate_coordinates_reply(conn_, tc, &e2));
    XcbPtr<xcb_get_property_reply_t> extents(xcb_get_property_reply(conn_, pc, &e3));
    const bool failed = e1 || e2 || !geom || !pos;
    std::free(e1);
    std::free(e2);
    std::free(e3);
    if (failed)
        return false;

    const QRect c(pos->dst_x, pos->dst_y, geom->width, geom->height);
    int left = geom->border_width, right = left, top = left, bottom = left;
    if (window != root() && extents && extents->format == 32 && extents->type == XCB_ATOM_CARDINAL
        && xcb_get_property_value_length(extents.get()) >= 16) {
        const auto* v = static_cast<const quint32*>(xcb_get_property_value(extents.get()));
        left += static_cast<int>(v[0]);
        right += static_cast<int>(v[1]);
        top += static_cast<int>(v[2]);
        bottom += static_cast<int>(v[3]);
    }
    if (client)
        *client = c;
    if (outer)
        *outer = c.adjusted(-left, -top, right, bottom);
    return true;
}

QVector<quint32> X11Connection::property32(xcb_window_t window, xcb_atom_t property,
                                           xcb_atom_t type, quint32 maxItems)
{
    QVector<quint32> out;
    if (!conn_ || window == XCB_WINDOW_NONE || property == XCB_ATOM_NONE)
        return out;
    xcb_generic_error_t* err = nullptr;
    XcbPtr<xcb_get_property_reply_t> r(xcb_get_property_reply(
        conn_, xcb_get_property(conn_, 0, window, property, type, 0, maxItems), &err));
    std::free(err);
    if (!r || r->format != 32 || r->type != type)
        return out;
    const int n = xcb_get_property_value_length(r.get()) / 4;
    const auto* v = static_cast<const quint32*>(xcb_get_property_value(r.get()));
    out.reserve(n);
    for (int i = 0; i < n; ++i)
        out.append(v[i]);
    return out;
}

xcb_atom_t X11Connection::internAtom(const char* name)
{
    if (!conn_)
        return XCB_ATOM_NONE;
    XcbPtr<xcb_intern_atom_reply_t> r(xcb_intern_atom_reply(
        conn_, xcb_intern_atom(conn_, 0, static_cast<quint16>(qstrlen(name)), name), nullptr));
    return r ? r->atom : xcb_atom_t(XCB_ATOM_NONE);
}
