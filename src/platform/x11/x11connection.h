#pragma once

// A connection of our own to the X server, shared by the X11 services.
//
// Key grabs, raw input selections, event selections on our windows and large image transfers
// live here, where their events and errors cannot confuse Qt's event handling (only requests
// about Qt's own windows that must follow Qt's go out on Qt's connection). The
// connection is read from the Qt event loop (a socket notifier, plus a look at what libxcb has
// already queued whenever the loop is about to sleep), and services that need the freshest
// state drain it themselves before they answer.

#include <QByteArray>
#include <QObject>
#include <QRect>
#include <QVector>

#include <cstdlib>
#include <functional>
#include <map>
#include <memory>
#include <vector>

#include <xcb/xcb.h>

class QSocketNotifier;
struct _XCBKeySymbols;

// Owns a reply, error or event that libxcb allocated with malloc().
struct XcbFree {
    void operator()(void* p) const { std::free(p); }
};
template <typename T>
using XcbPtr = std::unique_ptr<T, XcbFree>;

// The libxcb connection itself, which ends when its last holder lets go. Pictures in shared
// memory hold it until the server has let go of their segment; they may be freed on any thread,
// and this holds no Qt object, so nothing of Qt is torn down there.
class XcbLink
{
public:
    explicit XcbLink(xcb_connection_t* c) : c_(c) {}
    ~XcbLink()
    {
        if (c_)
            xcb_disconnect(c_);
    }
    XcbLink(const XcbLink&) = delete;
    XcbLink& operator=(const XcbLink&) = delete;
    xcb_connection_t* xcb() const { return c_; }

private:
    xcb_connection_t* c_;
};

class X11Connection : public QObject
{
    Q_OBJECT
public:
    // Connects to the named display, or to $DISPLAY when the name is empty.
    explicit X11Connection(const QByteArray& displayName = QByteArray());
    ~X11Connection() override;

    bool isOpen() const { return conn_ != nullptr; }
    xcb_connection_t* xcb() const { return conn_; }
    // The connection for what must outlive this object (a picture in shared memory).
    std::shared_ptr<XcbLink> link() const { return link_; }
    xcb_window_t root() const { return screen_ ? screen_->root : xcb_window_t(XCB_WINDOW_NONE); }
    const xcb_screen_t* screen() const { return screen_; }

    enum Atom {
        NetActiveWindow,
        NetFrameExtents,
        NetWmState,
        NetWmStateAbove,
        NetWmStateSkipTaskbar,
        NetWmStateSkipPager,
        AtomCount
    };
    xcb_atom_t atom(Atom a) const { return atoms_[a]; }

    // Reads everything the server has sent so far and hands each event to the handlers.
    void drain();

    // Called for every event read from the connection (errors included, response_type 0).
    using EventHandler = std::function<void(const xcb_generic_event_t*)>;
    int addEventHandler(EventHandler handler);
    void removeEventHandler(int id);

    // The keycodes that produce one of the keysyms. Follows keyboard remapping.
    QVector<xcb_keycode_t> keycodes(const std::vector<xcb_keysym_t>& keysyms);
    // The modifier bits (Mod1..Mod5, Lock...) that carry the keysym, 0 when none does.
    quint16 modifierMaskOf(xcb_keysym_t keysym);

    // Where a window is on the root, in root coordinates. `client` is its own area, `outer`
    // the area the user sees: client plus X border plus the window manager's frame as
    // announced in _NET_FRAME_EXTENTS. False when the window does not exist.
    bool windowRects(xcb_window_t window, QRect* client, QRect* outer);

    // Reads a 32-bit property (CARDINAL, WINDOW, ATOM...); empty when it is missing.
    QVector<quint32> property32(xcb_window_t window, xcb_atom_t property, xcb_atom_t type,
                                quint32 maxItems);

    // Interns an atom by name (round trip); for atoms the services do not keep.
    xcb_atom_t internAtom(const char* name);

private:
    void dispatch(xcb_generic_event_t* event);
    void dispatchQueued();

    xcb_connection_t* conn_ = nullptr;
    std::shared_ptr<XcbLink> link_;
    xcb_screen_t* screen_ = nullptr;
    xcb_atom_t atoms_[AtomCount] = {};
    _XCBKeySymbols* keySymbols_ = nullptr;
    QSocketNotifier* notifier_ = nullptr;
    std::map<int, EventHandler> handlers_;
    int nextHandler_ = 1;
    bool reportedBroken_ = false;
};
