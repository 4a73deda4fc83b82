// The Win32 backend against the real Windows API (under Wine in CI): key state with its
// keyboard hook, hot keys and their window's procedure, window rectangles and the Run key. Windows
// are real Win32 windows of this process; Qt itself runs offscreen. Screen capture needs a screen,
// and the single-instance mutex and pipe a second program: tests/windows/test_session.sh runs both.

#include "platform/win32/win32services.h"

#include <QtTest>

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

namespace {

// A plain top-level window of this thread, destroyed with the object.
struct PlainWindow {
    HWND hwnd;
    PlainWindow(int x, int y, int w, int h)
        : hwnd(::CreateWindowExW(0, L"STATIC", L"scrawlix test", WS_POPUP, x, y, w, h, nullptr,
                                 nullptr, ::GetModuleHandleW(nullptr), nullptr))
    {
    }
    ~PlainWindow() { ::DestroyWindow(hwnd); }
    PlainWindow(const PlainWindow&) = delete;
    PlainWindow& operator=(const PlainWindow&) = delete;
    quintptr handle() const { return reinterpret_cast<quintptr>(hwnd); }
};

void sendKey(WORD vk, bool down)
{
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = vk;
    input.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
    QCOMPARE(::SendInput(1, &input, sizeof(input)), 1u);
    // The low-level hook runs from this thread's message loop.
    QCoreApplication::processEvents();
}

const wchar_t RunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";

// The Run key's "Scrawlix" value: its type and text, or no type when it is absent.
struct RunValue {
    DWORD type = REG_NONE;
    QString text;
    DWORD bytes = 0;
};

RunValue readRunValue()
{
    RunValue v;
    HKEY key = nullptr;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, RunKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return v;
    wchar_t data[1024] = {};
    DWORD bytes = sizeof(data) - sizeof(wchar_t);
    DWORD type = REG_NONE;
    if (::RegQueryValueExW(key, L"Scrawlix", nullptr, &type, reinterpret_cast<BYTE*>(data),
                           &bytes) == ERROR_SUCCESS) {
        v.type = type;
        v.bytes = bytes;
        v.text = QString::fromWCharArray(data);
    }
    ::RegCloseKey(key);
    return v;
}

void deleteRunValue()
{
    HKEY key = nullptr;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, RunKey, 0, KEY_WRITE, &key) == ERROR_SUCCESS) {
        ::RegDeleteValueW(key, L"Scrawlix");
        ::RegCloseKey(key);
    }
}

} // namespace

class TestWin32 : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void keyState()
    {
        Win32KeyState keys;
        keys.GetAsyncKeyState(VK_CONTROL); // forget any earlier press

        // Held: the high bit, while the key is down.
        sendKey(VK_CONTROL, true);
        QVERIFY(keys.GetAsyncKeyState(VK_CONTROL) & 0x8000);
        sendKey(VK_CONTROL, false);
        QCOMPARE(keys.GetAsyncKeyState(VK_CONTROL) & 0x8000, 0);

        // A tap between two queries: the low bit, once.
        sendKey(VK_CONTROL, true);
        sendKey(VK_CONTROL, false);
        QCOMPARE(keys.GetAsyncKeyState(VK_CONTROL), qint16(1));
        QCOMPARE(keys.GetAsyncKeyState(VK_CONTROL), qint16(0));

        // The right-hand key counts as Ctrl too.
        sendKey(VK_RCONTROL, true);
        sendKey(VK_RCONTROL, false);
        QCOMPARE(keys.GetAsyncKeyState(VK_CONTROL) & 1, 1);

        // A tap older than the recent-press window no longer counts as pressed since the last query.
        sendKey(VK_SHIFT, true);
        sendKey(VK_SHIFT, false);
        QTest::qWait(int(RecentPressMs) + 300);
        QCOMPARE(keys.GetAsyncKeyState(VK_SHIFT), qint16(0));
    }

    void hotKeys()
    {
        PlainWindow window(0, 0, 10, 10);
        QVERIFY(window.hwnd);
        Win32HotKeys hotKeys;

        // The letter's key on the keyboard; characters no key types give none.
        QCOMPARE(hotKeys.virtualKeyFor(QLatin1Char('K')), quint32(0x4b));
        QCOMPARE(hotKeys.virtualKeyFor(QLatin1Char('\n')), quint32(0));

        QVERIFY(hotKeys.RegisterHotKey(window.handle(), MOD_WIN, 0x56));
        // The same combination for another window is taken already.
        PlainWindow other(0, 0, 10, 10);
        QVERIFY(!hotKeys.RegisterHotKey(other.handle(), MOD_WIN, 0x56));
        QVERIFY(hotKeys.RegisterHotKey(window.handle(), MOD_WIN | MOD_CONTROL, 0x4b));

        // WM_HOTKEY from the queue is reported with the key and the modifiers, from the event loop;
        // every other message goes on to the window's own procedure.
        QSignalSpy pressed(&hotKeys, &HotKeys::pressed);
        QVERIFY(::PostMessageW(window.hwnd, WM_HOTKEY, 1, MAKELPARAM(MOD_WIN, 0x56)));
        QVERIFY(::PostMessageW(window.hwnd, WM_HOTKEY, 2, MAKELPARAM(MOD_WIN | MOD_CONTROL, 0x4b)));
        QTRY_COMPARE(pressed.size(), 2);
        QCOMPARE(pressed.at(0), (QVariantList{quint32(0x56), quint32(MOD_WIN)}));
        QCOMPARE(pressed.at(1), (QVariantList{quint32(0x4b), quint32(MOD_WIN | MOD_CONTROL)}));
        QVERIFY(::SendMessageW(window.hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"still mine")));
        wchar_t text[32] = {};
        ::GetWindowTextW(window.hwnd, text, 32);
        QCOMPARE(QString::fromWCharArray(text), QStringLiteral("still mine"));

        // A window that holds no hot key is left alone.
        QVERIFY(::PostMessageW(other.hwnd, WM_HOTKEY, 1, MAKELPARAM(MOD_WIN, 0x56)));
        QTest::qWait(50);
        QCOMPARE(pressed.size(), 2);
    }

    void windowRectangles()
    {
        Win32ForegroundWindow windows;
        PlainWindow window(10, 20, 300, 200);
        QVERIFY(window.hwnd);
        ::ShowWindow(window.hwnd, SW_SHOWNOACTIVATE);

        WindowRect r{};
        const auto edges = [&r] { return QList<int>{r.left, r.top, r.right, r.bottom}; };
        QVERIFY(windows.GetWindowRect(window.handle(), &r));
        QCOMPARE(edges(), (QList<int>{10, 20, 310, 220}));

        // The desktop window covers the primary screen, from (0, 0).
        const quintptr desktop = windows.GetDesktopWindow();
        QVERIFY(desktop != 0);
        QVERIFY(windows.GetWindowRect(desktop, &r));
        QCOMPARE(edges(), (QList<int>{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)}));

        // A window that is gone, and nowhere to put the answer.
        const quintptr gone = window.handle();
        ::DestroyWindow(window.hwnd);
        window.hwnd = nullptr;
        QVERIFY(!windows.GetWindowRect(gone, &r));
        QVERIFY(!windows.GetWindowRect(desktop, nullptr));
    }

    void runKey()
    {
        deleteRunValue();
        Win32StartupEntry entry;

        // The folder as it is, spaces and all, unquoted; the extension always ".exe".
        QCOMPARE(entry.Add(QStringLiteral("C:/Program Files/My Tools/Sketch.EXE")),
                 StartupEntry::Result::Ok);
        RunValue v = readRunValue();
        QCOMPARE(v.type, DWORD(REG_SZ));
        QCOMPARE(v.text, QStringLiteral("C:\\Program Files\\My Tools\\Sketch.exe"));
        // The length counts the terminating NUL.
        QCOMPARE(v.bytes, DWORD((v.text.size() + 1) * sizeof(wchar_t)));

        // Twice in a row: one value, the latest path.
        QCOMPARE(entry.Add(QStringLiteral("C:/Tools/Scrawlix.exe")), StartupEntry::Result::Ok);
        QCOMPARE(readRunValue().text, QStringLiteral("C:\\Tools\\Scrawlix.exe"));

        // Removing leaves the value, empty; on a machine without it, it is made, empty.
        QCOMPARE(entry.Remove(), StartupEntry::Result::Ok);
        v = readRunValue();
        QCOMPARE(v.type, DWORD(REG_SZ));
        QCOMPARE(v.text, QString());
        deleteRunValue();
        QCOMPARE(entry.Remove(), StartupEntry::Result::Ok);
        QCOMPARE(readRunValue().type, DWORD(REG_SZ));
        deleteRunValue();
    }
};

QTEST_MAIN(TestWin32)
#include "tst_win32.moc"
