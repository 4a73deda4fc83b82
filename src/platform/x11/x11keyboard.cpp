#include "x11keyboard.h"

#include "platform/virtualkeys.h"

#include <QStringList>

#include <xcb/xinput.h>

#include <cstdio>

namespace {

// Keysyms (X11 keysymdef values) of the keys the program names by virtual-key code.
constexpr xcb_keysym_t ksBackSpace = 0xff08, ksTab = 0xff09, ksReturn = 0xff0d,
                       ksEscape = 0xff1b, ksSpace = 0x20, ksKpAdd = 0xffab,
                       ksKpSubtract = 0xffad, ksF1 = 0xffbe, ksShiftL = 0xffe1,
                       ksShiftR = 0xffe2, ksControlL = 0xffe3, ksControlR = 0xffe4,
                       ksAltL = 0xffe9, ksAltR = 0xffea, ksNumLock = 0xff7f;

quint16 xModifierMask(quint32 modifiers)
{
    quint16 mask = 0;
    if (modifiers & HotKeys::ModAlt)
        mask |= XCB_MOD_MASK_1;
    if (modifiers & HotKeys::ModControl)
        mask |= XCB_MOD_MASK_CONTROL;
    if (modifiers & HotKeys::ModShift)
        mask |= XCB_MOD_MASK_SHIFT;
    if (modifiers & HotKeys::ModWin)
        mask |= XCB_MOD_MASK_4;
    return mask;
}

QString hotKeyName(quint32 modifiers, quint32 vk)
{
    QStringList parts;
    if (modifiers & HotKeys::ModControl)
        parts << QStringLiteral("Ctrl");
    if (modifiers & HotKeys::ModAlt)
        parts << QStringLiteral("Alt");
    if (modifiers & HotKeys::ModShift)
        parts << QStringLiteral("Shift");
    if (modifiers & HotKeys::ModWin)
        parts << QStringLiteral("Super");
    QString key = virtualKeyName(vk);
    parts << (key.isEmpty() ? QStringLiteral("key %1").arg(vk) : key);
    return parts.join(QLatin1Char('+'));
}

void complain(quint32 modifiers, quint32 vk, const char* why)
{
    std::fprintf(stderr, "scrawlix: cannot register hot key %s (%s)\n",
                 qPrintable(hotKeyName(modifiers, vk)), why);
}

} // namespace

std::vector<xcb_keysym_t> keysymsForVirtualKey(quint32 vk)
{
    if (vk >= 'A' && vk <= 'Z')
        return {vk - 'A' + 'a', vk};
    if (vk >= '0' && vk <= '9')
        return {vk};
    if (vk >= 0x70 && vk <= 0x7b) // F1..F12
        return {ksF1 + (vk - 0x70)};
    // Punctuation keys: the Latin-1 keysyms are the characters' codes.
    const QString punctuation = punctuationKeyCharacters(vk);
    if (!punctuation.isEmpty())
        return {punctuation[0].unicode(), punctuation[1].unicode()};
    switch (vk) {
    case 0x08: return {ksBackSpace};
    case 0x09: return {ksTab};
    case 0x0d: return {ksReturn};
    case 0x1b: return {ksEscape};
    case 0x20: return {ksSpace};
    case vk::Shift: return {ksShiftL, ksShiftR};
    case vk::Control: return {ksControlL, ksControlR};
    case 18: return {ksAltL, ksAltR};
    case vk::Add: return {ksKpAdd};
    case vk::Subtract: return {ksKpSubtract};
    default: return {};
    }
}

QString virtualKeyName(quint32 vk)
{
    if ((vk >= 'A' && vk <= 'Z') || (vk >= '0' && vk <= '9'))
        return QString(QChar(static_cast<char16_t>(vk)));
    if (vk >= 0x70 && vk <= 0x7b)
        return QStringLiteral("F%1").arg(vk - 0x70 + 1);
    if (const QString punctuation = punctuationKeyCharacters(vk); !punctuation.isEmpty())
        return punctuation.left(1);
    switch (vk) {
    case 0x08: return QStringLiteral("Backspace");
    case 0x09: return QStringLiteral("Tab");
    case 0x0d: return QStringLiteral("Enter");
    case 0x1b: return QStringLiteral("Esc");
    case 0x20: return QStringLiteral("Space");
    case vk::Shift: return QStringLiteral("Shift");
    case vk::Control: return QStringLiteral("Ctrl");
    case 18: return QStringLiteral("Alt");
    case vk::Add: return QStringLiteral("Num +");
    case vk::Subtract: return QStringLiteral("Num -");
    default: return {};
    }
}

// ---------------------------------------------------------------------------------------------

X11KeyState::X11KeyState(std::shared_ptr<X11Connection> connection) : c_(std::move(connection))
{
    clock_.start();
    if (!c_->isOpen())
        return;
    handler_ = c_->addEventHandler([this](const xcb_generic_event_t* e) { onEvent(e); });

    // Raw key presses reach us whatever window has the focus and whoever grabbed the keyboard
    // (XInput 2.1 and later), so a tap shorter than the polling interval still counts.
    xcb_connection_t* x = c_->xcb();
    const xcb_query_extension_reply_t* ext = xcb_get_extension_data(x, &xcb_input_id);
    if (!ext || !ext->present)
        return;
    xinputOpcode_ = ext->major_opcode;
    XcbPtr<xcb_input_xi_query_version_reply_t> version(
        xcb_input_xi_query_version_reply(x, xcb_input_xi_query_version(x, 2, 2), nullptr));
    if (!version || version->major_version < 2)
        return;
    struct {
        xcb_input_event_mask_t head;
        quint32 bits;
    } mask;
    mask.head.deviceid = XCB_INPUT_DEVICE_ALL_MASTER;
    mask.head.mask_len = 1;
    mask.bits = XCB_INPUT_XI_EVENT_MASK_RAW_KEY_PRESS;
    xcb_generic_error_t* err =
        xcb_request_check(x, xcb_input_xi_select_events_checked(x, c_->root(), 1, &mask.head));
    raw_ = err == nullptr;
    std::free(err);
}

X11KeyState::~X11KeyState()
{
    if (handler_)
        c_->removeEventHandler(handler_);
}

void X11KeyState::onEvent(const xcb_generic_event_t* event)
{
    const quint8 type = event->response_type & 0x7f;
    if (type == XCB_MAPPING_NOTIFY) {
        keycodes_.clear();
        return;
    }
    if (type != XCB_GE_GENERIC)
        return;
    const auto* ge = reinterpret_cast<const xcb_ge_generic_event_t*>(event);
    if (ge->extension != xinputOpcode_ || ge->event_type != XCB_INPUT_RAW_KEY_PRESS)
        return;
    const auto* raw = reinterpret_cast<const xcb_input_raw_key_press_event_t*>(event);
    if (raw->flags & XCB_INPUT_KEY_EVENT_FLAGS_KEY_REPEAT)
        return;
    lastPress_[raw->detail & 0xff] = {++presses_, localTime(raw->time)};
    if (pressed_)
        pressed_();
}

bool X11KeyState::watchPresses(std::function<void()> pressed)
{
    if (!raw_)
        return false;
    pressed_ = std::move(pressed);
    return true;
}

qint64 X11KeyState::localTime(xcb_timestamp_t serverTime)
{
    // An event reaches us some time after the server stamped it, so the smallest difference
    // between our clock and the stamps is the truest. A jump of more than a minute means the
    // server's 32-bit clock wrapped or the server is new: start again from there.
    const qint64 offset = clock_.elapsed() - qint64(serverTime);
    if (!haveOffset_ || offset < serverOffset_ || offset - serverOffset_ > 60000) {
        serverOffset_ = offset;
        haveOffset_ = true;
    }
    return qint64(serverTime) + serverOffset_;
}

const QVector<xcb_keycode_t>& X11KeyState::keycodesOf(int vk)
{
    auto it = keycodes_.find(vk);
    if (it == keycodes_.end())
        it = keycodes_.insert(vk, c_->keycodes(keysymsForVirtualKey(static_cast<quint32>(vk))));
    return *it;
}

qint16 X11KeyState::GetAsyncKeyState(int vk)
{
    return query(vk, true);
}

qint16 X11KeyState::peekAsyncKeyState(int vk)
{
    return query(vk, false);
}

qint16 X11KeyState::query(int vk, bool clear)
{
    if (!c_->isOpen())
        return 0;
    c_->drain();
    const QVector<xcb_keycode_t> codes = keycodesOf(vk);
    if (codes.isEmpty())
        return 0;
    xcb_connection_t* x = c_->xcb();
    XcbPtr<xcb_query_keymap_reply_t> keymap(
        xcb_query_keymap_reply(x, xcb_query_keymap(x), nullptr));
    // Presses the server handled before it answered came in ahead of the answer.
    c_->drain();
    bool down = false;
    bool pressed = false;
    const quint64 since = queried_.value(vk, 0);
    const qint64 now = clock_.elapsed();
    for (xcb_keycode_t kc : codes) {
        if (keymap && (keymap->keys[kc >> 3] & (1u << (kc & 7))))
            down = true;
        if (lastPress_[kc].number > since && pressIsRecent(lastPress_[kc].at, now))
            pressed = true;
    }
    if (!raw_ && down && !wasDown_.value(vk))
        pressed = true; // without raw events only what polling saw
    if (clear) {
        queried_[vk] = presses_;
        wasDown_[vk] = down;
    }
    qint16 result = 0;
    if (down)
        result |= static_cast<qint16>(0x8000);
    if (pressed)
        result |= 1;
    return result;
}

// ---------------------------------------------------------------------------------------------

X11HotKeys::X11HotKeys(std::shared_ptr<X11Connection> connection) : c_(std::move(connection))
{
    if (!c_->isOpen())
        return;
    handler_ = c_->addEventHandler([this](const xcb_generic_event_t* e) { onEvent(e); });
    numLock_ = c_->modifierMaskOf(ksNumLock);
}

X11HotKeys::~X11HotKeys()
{
    if (!c_->isOpen())
        return;
    c_->removeEventHandler(handler_);
    for (const Registration& r : registrations_)
        ungrab(r.keycodes, r.mask);
    xcb_flush(c_->xcb());
}

QVector<quint16> X11HotKeys::lockCombinations() const
{
    // The grab must match whatever state Caps Lock and Num Lock are in.
    QVector<quint16> locks{0, XCB_MOD_MASK_LOCK};
    if (numLock_ != 0 && numLock_ != XCB_MOD_MASK_LOCK)
        locks << numLock_ << static_cast<quint16>(numLock_ | XCB_MOD_MASK_LOCK);
    return locks;
}

bool X11HotKeys::grab(const QVector<xcb_keycode_t>& keycodes, quint16 mask)
{
    xcb_connection_t* x = c_->xcb();
    struct Attempt {
        xcb_keycode_t keycode;
        quint16 modifiers;
        xcb_void_cookie_t cookie;
    };
    QVector<Attempt> attempts;
    for (xcb_keycode_t kc : keycodes) {
        for (quint16 lock : lockCombinations()) {
            const quint16 mods = mask | lock;
            attempts.append({kc, mods,
                             xcb_grab_key_checked(x, 0, c_->root(), mods, kc,
                                                  XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC)});
        }
    }
    bool ok = true;
    QVector<Attempt> granted;
    for (const Attempt& a : attempts) {
        xcb_generic_error_t* err = xcb_request_check(x, a.cookie);
        if (err)
            ok = false;
        else
            granted.append(a);
        std::free(err);
    }
    if (!ok) {
        for (const Attempt& a : granted)
            xcb_ungrab_key(x, a.keycode, c_->root(), a.modifiers);
        xcb_flush(x);
    }
    return ok;
}

void X11HotKeys::ungrab(const QVector<xcb_keycode_t>& keycodes, quint16 mask)
{
    for (xcb_keycode_t kc : keycodes) {
        for (quint16 lock : lockCombinations())
            xcb_ungrab_key(c_->xcb(), kc, c_->root(), mask | lock);
    }
}

quint32 X11HotKeys::virtualKeyFor(QChar ch) const
{
    // The key must be on this keyboard: a layout may lack a US key's characters.
    const quint32 vk = usVirtualKey(ch);
    return vk != 0 && !c_->keycodes(keysymsForVirtualKey(vk)).isEmpty() ? vk : 0;
}

bool X11HotKeys::RegisterHotKey(quintptr window, quint32 modifiers, quint32 vk)
{
    Q_UNUSED(window)
    if (!c_->isOpen())
        return false;
    const quint16 mask = xModifierMask(modifiers);
    for (const Registration& r : registrations_) {
        if (r.mask == mask && r.vk == vk) {
            complain(modifiers, vk, "already registered");
            return false;
        }
    }
    const QVector<xcb_keycode_t> codes = c_->keycodes(keysymsForVirtualKey(vk));
    if (codes.isEmpty()) {
        complain(modifiers, vk, "no such key on this keyboard");
        return false;
    }
    if (!grab(codes, mask)) {
        complain(modifiers, vk, "already taken by another program");
        return false;
    }
    registrations_.push_back({modifiers, vk, mask, codes});
    return true;
}

void X11HotKeys::onEvent(const xcb_generic_event_t* event)
{
    const quint8 type = event->response_type & 0x7f;
    if (type == XCB_MAPPING_NOTIFY) {
        followKeyboardMapping();
        return;
    }
    if (type != XCB_KEY_PRESS)
        return;
    const auto* press = reinterpret_cast<const xcb_key_press_event_t*>(event);
    const quint16 locks = XCB_MOD_MASK_LOCK | numLock_;
    const quint16 state = press->state & 0xff & ~locks;
    for (const Registration& r : registrations_) {
        if (r.mask != state || !r.keycodes.contains(press->detail))
            continue;
        // Reported from the event loop, never from inside whichever call read the event.
        QMetaObject::invokeMethod(
            this, [this, vk = r.vk, modifiers = r.modifiers] { Q_EMIT pressed(vk, modifiers); },
            Qt::QueuedConnection);
        break;
    }
}

void X11HotKeys::followKeyboardMapping()
{
    // A new layout may move a letter to another keycode, and Num Lock to another modifier.
    const quint16 numLock = c_->modifierMaskOf(ksNumLock);
    bool changed = numLock != numLock_;
    QVector<QVector<xcb_keycode_t>> codes;
    for (const Registration& r : registrations_) {
        codes.append(c_->keycodes(keysymsForVirtualKey(r.vk)));
        changed = changed || codes.constLast() != r.keycodes;
    }
    if (!changed)
        return;
    for (const Registration& r : registrations_)
        ungrab(r.keycodes, r.mask);
    numLock_ = numLock;
    for (size_t i = 0; i < registrations_.size(); ++i) {
        Registration& r = registrations_[i];
        r.keycodes = codes.at(static_cast<int>(i));
        if (!grab(r.keycodes, r.mask))
            complain(r.modifiers, r.vk, "taken by another program after a keyboard change");
    }
}
