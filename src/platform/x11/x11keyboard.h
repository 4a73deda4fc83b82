#pragma once

// The keyboard on X11: asynchronous key state and global hot keys.

#include "platform/hotkeys.h"
#include "platform/keystate.h"
#include "x11connection.h"

#include <QElapsedTimer>
#include <QHash>
#include <QObject>
#include <QString>
#include <QVector>

#include <memory>
#include <vector>

// The keysyms that stand for a virtual-key code (left and right variants alike), and its name
// as the user knows it. Empty / empty for codes we have no keysym for.
std::vector<xcb_keysym_t> keysymsForVirtualKey(quint32 vk);
QString virtualKeyName(quint32 vk);

class X11KeyState : public KeyState
{
public:
    explicit X11KeyState(std::shared_ptr<X11Connection> connection);
    ~X11KeyState() override;

    qint16 GetAsyncKeyState(int vk) override;
    qint16 peekAsyncKeyState(int vk) override;
    // With raw events only: every press then reaches us.
    bool watchPresses(std::function<void()> pressed) override;

private:
    qint16 query(int vk, bool clear);
    void onEvent(const xcb_generic_event_t* event);
    const QVector<xcb_keycode_t>& keycodesOf(int vk);
    // A server timestamp on our own clock_.
    qint64 localTime(xcb_timestamp_t serverTime);

    struct Press {
        quint64 number = 0; // value of presses_ at the press
        qint64 at = 0;      // when, on clock_
    };

    std::shared_ptr<X11Connection> c_;
    int handler_ = 0;
    quint8 xinputOpcode_ = 0;
    bool raw_ = false;
    QElapsedTimer clock_;
    qint64 serverOffset_ = 0;      // clock_ minus server time, the smallest seen
    bool haveOffset_ = false;
    quint64 presses_ = 0;          // key presses seen so far
    Press lastPress_[256];         // per keycode: its latest press
    QHash<int, quint64> queried_;  // per vk: value of presses_ at its previous query
    QHash<int, bool> wasDown_;     // per vk: down at its previous query
    QHash<int, QVector<xcb_keycode_t>> keycodes_;
    std::function<void()> pressed_;
};

class X11HotKeys : public HotKeys
{
public:
    explicit X11HotKeys(std::shared_ptr<X11Connection> connection);
    ~X11HotKeys() override;

    // The window is not needed: the key is grabbed on the root window.
    bool RegisterHotKey(quintptr window, quint32 modifiers, quint32 vk) override;
    quint32 virtualKeyFor(QChar ch) const override;

private:
    struct Registration {
        quint32 modifiers;
        quint32 vk;
        quint16 mask; // X modifier bits
        QVector<xcb_keycode_t> keycodes;
    };

    void onEvent(const xcb_generic_event_t* event);
    QVector<quint16> lockCombinations() const;
    // Grabs every keycode with mask under every lock combination. Returns false and leaves
    // nothing grabbed when the server refuses one of them.
    bool grab(const QVector<xcb_keycode_t>& keycodes, quint16 mask);
    void ungrab(const QVector<xcb_keycode_t>& keycodes, quint16 mask);
    void followKeyboardMapping();

    std::shared_ptr<X11Connection> c_;
    int handler_ = 0;
    quint16 numLock_ = 0;
    std::vector<Registration> registrations_;
};
