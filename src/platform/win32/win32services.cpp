#include "win32services.h"

#include "runkeypath.h"

#include <QCoreApplication>
#include <QDir>
#include <QImage>
#include <QWidget>

#include <cstdio>
#include <utility>
#include <vector>

#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#include <commctrl.h>
#include <dwmapi.h>
#include <shellapi.h>

static_assert(MOD_ALT == HotKeys::ModAlt && MOD_CONTROL == HotKeys::ModControl &&
                  MOD_SHIFT == HotKeys::ModShift && MOD_WIN == HotKeys::ModWin,
              "hot-key modifier bits");

namespace {

HWND toHwnd(quintptr handle)
{
    return reinterpret_cast<HWND>(handle);
}

const wchar_t* toWide(const QString& s)
{
    static_assert(sizeof(wchar_t) == sizeof(char16_t), "UTF-16 wide characters");
    return reinterpret_cast<const wchar_t*>(s.utf16());
}

} // namespace

// ---------------------------------------------------------------------------------------------

namespace {

// Tick count (GetTickCount's clock) of each virtual key's latest press, and whether a query has
// yet to see that press. The hook and the queries run on the same thread.
DWORD lastDown[256];
bool unseenPress[256];

void noteDown(DWORD vk, DWORD time)
{
    vk &= 0xff;
    lastDown[vk] = time;
    unseenPress[vk] = true;
}

LRESULT CALLBACK keyboardHook(int code, WPARAM message, LPARAM data)
{
    if (code == HC_ACTION && (message == WM_KEYDOWN || message == WM_SYSKEYDOWN)) {
        const auto* key = reinterpret_cast<const KBDLLHOOKSTRUCT*>(data);
        noteDown(key->vkCode, key->time);
        // The hook sees the left and right keys; the program asks for either.
        switch (key->vkCode) {
        case VK_LSHIFT: case VK_RSHIFT: noteDown(VK_SHIFT, key->time); break;
        case VK_LCONTROL: case VK_RCONTROL: noteDown(VK_CONTROL, key->time); break;
        case VK_LMENU: case VK_RMENU: noteDown(VK_MENU, key->time); break;
        default: break;
        }
    }
    return ::CallNextHookEx(nullptr, code, message, data);
}

} // namespace

Win32KeyState::Win32KeyState()
{
    // A low-level hook runs on this thread, from its message loop (Qt's).
    hook_ = ::SetWindowsHookExW(WH_KEYBOARD_LL, keyboardHook, ::GetModuleHandleW(nullptr), 0);
}

Win32KeyState::~Win32KeyState()
{
    if (hook_)
        ::UnhookWindowsHookEx(static_cast<HHOOK>(hook_));
}

qint16 Win32KeyState::GetAsyncKeyState(int vk)
{
    const auto state = static_cast<quint16>(::GetAsyncKeyState(vk));
    quint16 result = state & 0x8000;
    if (!hook_) {
        result |= state & 1;
        return static_cast<qint16>(result);
    }
    // The hook's own record, not the system's pressed-since-the-last-query bit, which another
    // program's query clears as well, and which Wine never sets.
    const int k = vk & 0xff;
    if (unseenPress[k]) {
        unseenPress[k] = false;
        // Tick counts wrap after 49 days; the unsigned difference does not mind.
        const DWORD age = ::GetTickCount() - lastDown[k];
        if (pressIsRecent(0, static_cast<qint64>(age)))
            result |= 1;
    }
    return static_cast<qint16>(result);
}

qint16 Win32KeyState::peekAsyncKeyState(int vk)
{
    return (::GetKeyState(vk) & 0x8000) != 0 ? static_cast<qint16>(0x8000) : qint16(0);
}

// ---------------------------------------------------------------------------------------------

namespace {

// The id under which Win32HotKeys subclasses a window.
constexpr UINT_PTR kHotKeySubclass = 1;

LRESULT CALLBACK hotKeySubclassProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam,
                                    UINT_PTR, DWORD_PTR self)
{
    return static_cast<LRESULT>(Win32HotKeys::WindowProc(
        reinterpret_cast<quintptr>(hwnd), msg, static_cast<quintptr>(wParam),
        static_cast<qintptr>(lParam), static_cast<quintptr>(self)));
}

} // namespace

Win32HotKeys::~Win32HotKeys()
{
    for (const Registration& r : std::as_const(registrations_))
        ::UnregisterHotKey(toHwnd(r.hwnd), r.id);
    for (const quintptr hwnd : std::as_const(hooked_))
        ::RemoveWindowSubclass(toHwnd(hwnd), hotKeySubclassProc, kHotKeySubclass);
}

bool Win32HotKeys::RegisterHotKey(quintptr window, quint32 modifiers, quint32 vk)
{
    const int id = nextId_;
    if (!::RegisterHotKey(toHwnd(window), id, modifiers, vk)) {
        const DWORD error = ::GetLastError();
        std::fprintf(stderr,
                     "Scrawlix: cannot register hot key %d (modifiers 0x%x, key 0x%x): error %lu\n",
                     id, static_cast<unsigned>(modifiers), static_cast<unsigned>(vk),
                     static_cast<unsigned long>(error));
        std::fflush(stderr);
        return false;
    }
    // Presses are posted to the window: none is dispatched before this returns to the event loop.
    if (!HookWindow(window)) {
        ::UnregisterHotKey(toHwnd(window), id);
        return false;
    }
    ++nextId_;
    registrations_.append({window, id});
    return true;
}

bool Win32HotKeys::HookWindow(quintptr hwnd)
{
    if (hooked_.contains(hwnd))
        return true;
    if (!::SetWindowSubclass(toHwnd(hwnd), hotKeySubclassProc, kHotKeySubclass,
                             reinterpret_cast<DWORD_PTR>(this))) {
        std::fprintf(stderr, "Scrawlix: cannot hook the window for its hot key: error %lu\n",
                     static_cast<unsigned long>(::GetLastError()));
        std::fflush(stderr);
        return false;
    }
    hooked_.insert(hwnd);
    return true;
}

void Win32HotKeys::forget(quintptr hwnd)
{
    ::RemoveWindowSubclass(toHwnd(hwnd), hotKeySubclassProc, kHotKeySubclass);
    hooked_.remove(hwnd);
    registrations_.removeIf([hwnd](const Registration& r) { return r.hwnd == hwnd; });
}

qintptr Win32HotKeys::WindowProc(quintptr hwnd, quint32 msg, quintptr wParam, qintptr lParam,
                                 quintptr self)
{
    auto* hotKeys = reinterpret_cast<Win32HotKeys*>(self);
    const HWND window = toHwnd(hwnd);
    if (msg == WM_HOTKEY) {
        // The second parameter: the modifiers in the low word, the key's code in the high one.
        const quint32 vk = HIWORD(lParam);
        const quint32 modifiers = LOWORD(lParam);
        // Reported from the event loop, as on the other systems, not from inside the window's
        // procedure.
        QMetaObject::invokeMethod(
            hotKeys, [hotKeys, vk, modifiers] { Q_EMIT hotKeys->pressed(vk, modifiers); },
            Qt::QueuedConnection);
        return 0; // handled: Qt's procedure does not see it
    }
    if (msg == WM_NCDESTROY) {
        const LRESULT answer = ::DefSubclassProc(window, msg, static_cast<WPARAM>(wParam),
                                                 static_cast<LPARAM>(lParam));
        hotKeys->forget(hwnd);
        return static_cast<qintptr>(answer);
    }
    return static_cast<qintptr>(::DefSubclassProc(window, msg, static_cast<WPARAM>(wParam),
                                                  static_cast<LPARAM>(lParam)));
}

quint32 Win32HotKeys::virtualKeyFor(QChar ch) const
{
    // The key of the thread's keyboard layout that types the character. Characters that need
    // Ctrl or Alt (AltGr) besides Shift cannot be part of a Windows-key combination.
    if (ch.unicode() < 0x20)
        return 0;
    const SHORT scan = ::VkKeyScanW(static_cast<WCHAR>(ch.unicode()));
    if (scan == -1)
        return 0;
    const BYTE shiftState = HIBYTE(scan);
    if (shiftState & ~1)
        return 0;
    return LOBYTE(scan);
}

// ---------------------------------------------------------------------------------------------

quintptr Win32ForegroundWindow::GetForegroundWindow()
{
    return reinterpret_cast<quintptr>(::GetForegroundWindow());
}

quintptr Win32ForegroundWindow::GetDesktopWindow()
{
    return reinterpret_cast<quintptr>(::GetDesktopWindow());
}

bool Win32ForegroundWindow::GetWindowRect(quintptr handle, WindowRect* rect)
{
    if (rect == nullptr)
        return false;
    const HWND hwnd = toHwnd(handle);
    RECT r{};
    if (!::GetWindowRect(hwnd, &r))
        return false;
    // GetWindowRect includes the invisible resize borders that windows have had since
    // Windows 10; the compositor knows the frame the user actually sees.
    RECT visible{};
    if (SUCCEEDED(::DwmGetWindowAttribute(hwnd, DWMWA_EXTENDED_FRAME_BOUNDS, &visible,
                                          sizeof(visible)))
        && visible.right > visible.left && visible.bottom > visible.top) {
        r = visible;
    }
    rect->left = r.left;
    rect->top = r.top;
    rect->right = r.right;
    rect->bottom = r.bottom;
    return true;
}

// ---------------------------------------------------------------------------------------------

namespace {

// Reads a compatible bitmap into a 32-bit image. The bitmap must not be selected into any
// device context; dc supplies the palette for bitmaps of palette displays.
QImage imageFromBitmap(HDC dc, HBITMAP bitmap, int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    if (image.isNull())
        return {};

    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height; // top-down, like QImage
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;

    // 32-bit rows need no padding, so the DIB rows and the image rows have the same stride.
    if (image.bytesPerLine() != width * 4)
        return {};
    if (::GetDIBits(dc, bitmap, 0, static_cast<UINT>(height), image.bits(), &info,
                    DIB_RGB_COLORS) != height) {
        return {};
    }
    // GDI leaves the fourth byte zero; RGB32 wants it opaque.
    for (int y = 0; y < height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x)
            line[x] |= 0xff000000u;
    }
    return image;
}

} // namespace

CapturedBitmap Win32ScreenPixels::CaptureWindowRect(quintptr handle, bool client, int left,
                                                    int top, int width, int height)
{
    CapturedBitmap out;
    if (width <= 0 || height <= 0)
        return out;

    const HWND hwnd = toHwnd(handle);
    const HDC source = client ? ::GetDC(hwnd) : ::GetWindowDC(hwnd);
    if (source == nullptr)
        return out;

    const HDC memory = ::CreateCompatibleDC(source);
    const HBITMAP bitmap = memory ? ::CreateCompatibleBitmap(source, width, height) : nullptr;
    const HGDIOBJ oldBitmap = bitmap ? ::SelectObject(memory, bitmap) : nullptr;
    if (oldBitmap != nullptr) {
        // On a 256-colour display the pixels are palette indices; copy the system palette into
        // the memory DC so the copy and its conversion use the colours the screen shows.
        HPALETTE palette = nullptr;
        HPALETTE oldPalette = nullptr;
        QVector<QRgb> colours;
        if ((::GetDeviceCaps(source, RASTERCAPS) & RC_PALETTE) != 0
            && ::GetDeviceCaps(source, SIZEPALETTE) == 256) {
            std::vector<unsigned char> storage(sizeof(LOGPALETTE) + 255 * sizeof(PALETTEENTRY), 0);
            auto* logical = reinterpret_cast<LOGPALETTE*>(storage.data());
            logical->palVersion = 0x300;
            logical->palNumEntries = 256;
            ::GetSystemPaletteEntries(source, 0, 256, logical->palPalEntry);
            palette = ::CreatePalette(logical);
            if (palette != nullptr) {
                oldPalette = ::SelectPalette(memory, palette, FALSE);
                ::RealizePalette(memory);
            }
            colours.reserve(256);
            for (int i = 0; i < 256; ++i) {
                const PALETTEENTRY& e = logical->palPalEntry[i];
                colours.append(qRgb(e.peRed, e.peGreen, e.peBlue));
            }
        }

        // CAPTUREBLT: include layered windows that lie on top of the area.
        const bool copied = ::BitBlt(memory, 0, 0, width, height, source, left, top,
                                     SRCCOPY | CAPTUREBLT) != FALSE;

        // The bitmap has to leave the DC before GetDIBits; the palette stays until then.
        ::SelectObject(memory, oldBitmap);
        if (copied) {
            out.image = imageFromBitmap(memory, bitmap, width, height);
            if (!out.image.isNull())
                out.palette = colours;
        }
        if (oldPalette != nullptr)
            ::SelectPalette(memory, oldPalette, FALSE);
        if (palette != nullptr)
            ::DeleteObject(palette);
    }
    if (bitmap != nullptr)
        ::DeleteObject(bitmap);
    if (memory != nullptr)
        ::DeleteDC(memory);
    ::ReleaseDC(hwnd, source);
    return out;
}

// ---------------------------------------------------------------------------------------------

void Win32TopMost::SetTopMost(QWidget* window)
{
    if (window == nullptr)
        return;
    ::SetWindowPos(toHwnd(static_cast<quintptr>(window->winId())), HWND_TOPMOST, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE);
}

// ---------------------------------------------------------------------------------------------

bool Win32ShellOpen::Open(const QString& target)
{
    if (target.isEmpty())
        return false;
    // Qt hands out file paths with forward slashes; the shell wants backslashes. Web
    // addresses and other targets go through as they are.
    const QString file = !target.contains(QLatin1String("://")) && QDir::isAbsolutePath(target)
                             ? QDir::toNativeSeparators(target)
                             : target;
    const HINSTANCE result =
        ::ShellExecuteW(nullptr, L"open", toWide(file), L"", nullptr, SW_SHOWNORMAL);
    // Values up to 32 are error codes.
    return reinterpret_cast<INT_PTR>(result) > 32;
}

// ---------------------------------------------------------------------------------------------

namespace {

const wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const wchar_t kValueName[] = L"Scrawlix";

// Sets the value to bytes of data. Needs write access to the machine-wide key, which normally
// takes an elevated process; the key is opened, never created.
StartupEntry::Result writeRunValue(const wchar_t* data, DWORD bytes)
{
    HKEY key = nullptr;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, kRunKey, 0, KEY_WRITE, &key) != ERROR_SUCCESS)
        return StartupEntry::Result::CannotAccess;
    const LSTATUS status =
        ::RegSetValueExW(key, kValueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(data), bytes);
    ::RegCloseKey(key);
    return status == ERROR_SUCCESS ? StartupEntry::Result::Ok
                                   : StartupEntry::Result::CannotAccess;
}

} // namespace

StartupEntry::Result Win32StartupEntry::Add(const QString& programPath)
{
    const QString command = runKeyValueForProgram(QDir::toNativeSeparators(programPath));
    // The length counts the terminating NUL.
    return writeRunValue(toWide(command),
                         static_cast<DWORD>((static_cast<size_t>(command.size()) + 1) * sizeof(wchar_t)));
}

StartupEntry::Result Win32StartupEntry::Remove()
{
    // The value stays, empty: the program is registered as not starting with the system.
    return writeRunValue(L"", 0);
}
