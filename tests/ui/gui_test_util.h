#pragma once
// Small helpers for tests that drive real windows: a top-level window to hold
// controls, a message pump, clicks, keys and typing through the message queue,
// a read-back of what a window painted, and a GDI object level for leak checks.
#include <windows.h>

#include <string_view>
#include <utility>
#include <vector>

#include "ui/control.h"
#include "ui/gdi.h"
#include "ui/window_class.h"

namespace zev_test {

// Handles every message waiting, then waits a little for stragglers (Wine
// delivers exposure and focus changes from the X server asynchronously).
inline void Pump(int rounds = 3) {
    MSG msg;
    for (int i = 0; i < rounds; ++i) {
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

// Pumps until the condition holds or the rounds are used up; says which.
template <class Condition>
bool PumpUntil(Condition done, int rounds = 200) {
    for (int i = 0; i < rounds && !done(); ++i) Pump(1);
    return done();
}

// A plain top-level window, shown and active, for the controls under test.
class TestWindow : public ui::TControl {
public:
    TestWindow(int width, int height) : TControl(nullptr) {
        ui::EnsureWindowClass("ZevTestWindow", 0);
        CreateHandle("ZevTestWindow", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0, 0, 0, width, height);
        ShowWindow(Handle(), SW_SHOW);
        SetForegroundWindow(Handle());
        UpdateWindow(Handle());
        Pump();
    }
};

enum class Button { Left, Right, Middle };

inline LPARAM At(int x, int y) { return MAKELPARAM(x, y); }

// Posts a press and a release at a client point, with extra MK_ flags held,
// and handles them.
inline void Click(HWND hwnd, int x, int y, Button button = Button::Left, WPARAM keys = 0) {
    static constexpr UINT downs[] = {WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_MBUTTONDOWN};
    static constexpr UINT ups[] = {WM_LBUTTONUP, WM_RBUTTONUP, WM_MBUTTONUP};
    static constexpr WPARAM flags[] = {MK_LBUTTON, MK_RBUTTON, MK_MBUTTON};
    const auto b = static_cast<size_t>(button);
    PostMessageA(hwnd, downs[b], keys | flags[b], At(x, y));
    PostMessageA(hwnd, ups[b], keys, At(x, y));
    Pump();
}

inline void DoubleClick(HWND hwnd, int x, int y) {
    PostMessageA(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, At(x, y));
    PostMessageA(hwnd, WM_LBUTTONUP, 0, At(x, y));
    PostMessageA(hwnd, WM_LBUTTONDBLCLK, MK_LBUTTON, At(x, y));
    PostMessageA(hwnd, WM_LBUTTONUP, 0, At(x, y));
    Pump();
}

// Presses the left button at one client point, moves through to another and
// lets go there.
inline void Drag(HWND hwnd, POINT from, POINT to) {
    PostMessageA(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, At(from.x, from.y));
    PostMessageA(hwnd, WM_MOUSEMOVE, MK_LBUTTON, At((from.x + to.x) / 2, (from.y + to.y) / 2));
    PostMessageA(hwnd, WM_MOUSEMOVE, MK_LBUTTON, At(to.x, to.y));
    PostMessageA(hwnd, WM_LBUTTONUP, 0, At(to.x, to.y));
    Pump();
}

// A key press and release posted to the window with the focus; the pump
// translates it, so keys that make characters make them.
inline void PressKey(WORD key) {
    const LPARAM scan = static_cast<LPARAM>(MapVirtualKeyA(key, MAPVK_VK_TO_VSC)) << 16;
    HWND focus = GetFocus();
    PostMessageA(focus, WM_KEYDOWN, key, scan | 1);
    PostMessageA(focus, WM_KEYUP, key, scan | 1 | (1L << 30) | static_cast<LPARAM>(1UL << 31));
    Pump();
}

// Types Shift_JIS text into whatever window has the focus at that moment,
// one WM_CHAR per byte as a keyboard or an input method delivers it to an
// ANSI window: both bytes of a double-byte character go to the same window.
inline void Type(std::string_view text) {
    for (size_t i = 0; i < text.size(); ++i) {
        HWND focus = GetFocus();
        PostMessageA(focus, WM_CHAR, static_cast<unsigned char>(text[i]), 1);
        if (IsDBCSLeadByte(static_cast<BYTE>(text[i])) && i + 1 < text.size())
            PostMessageA(focus, WM_CHAR, static_cast<unsigned char>(text[++i]), 1);
        Pump(1);
    }
}

// Posts every byte of Shift_JIS text to one window at once, the way an input
// method hands over a finished string (one WM_CHAR per byte), and handles them.
inline void PostChars(HWND hwnd, std::string_view text) {
    for (char ch : text) PostMessageA(hwnd, WM_CHAR, static_cast<unsigned char>(ch), 1);
    Pump();
}

// What a window's client area shows, read into a 32-bit image: either as the
// window paints itself into a bitmap (WM_PRINTCLIENT), or the pixels on screen.
class ClientImage {
public:
    static ClientImage Printed(HWND hwnd) {
        ClientImage image(hwnd);
        SendMessageA(hwnd, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(image.dc_), PRF_CLIENT);
        return image;
    }
    static ClientImage OnScreen(HWND hwnd) {
        ClientImage image(hwnd);
        ui::WindowDC screen(hwnd);
        BitBlt(image.dc_, 0, 0, image.width_, image.height_, screen.get(), 0, 0, SRCCOPY);
        return image;
    }
    ClientImage(ClientImage&& other) noexcept
        : width_(other.width_), height_(other.height_), bits_(other.bits_), bitmap_(std::move(other.bitmap_)),
          dc_(std::exchange(other.dc_, nullptr)), old_(other.old_) {}
    ClientImage& operator=(ClientImage&&) = delete;
    ~ClientImage() {
        if (!dc_) return;
        SelectObject(dc_, old_);
        DeleteDC(dc_);
    }

    int Width() const { return width_; }
    int Height() const { return height_; }
    COLORREF Pixel(int x, int y) const {
        if (x < 0 || y < 0 || x >= width_ || y >= height_) return CLR_INVALID;
        const DWORD v = bits_[static_cast<size_t>(y) * static_cast<size_t>(width_) + static_cast<size_t>(x)];
        return RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
    }
    // Whether some pixel of the rectangle has the colour.
    bool Holds(const RECT& r, COLORREF color) const {
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x)
                if (Pixel(x, y) == color) return true;
        return false;
    }
    // Pixels of the rectangle that differ from the colour.
    std::vector<POINT> Differing(const RECT& r, COLORREF background) const {
        std::vector<POINT> points;
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x)
                if (Pixel(x, y) != background) points.push_back({x, y});
        return points;
    }

private:
    explicit ClientImage(HWND hwnd) {
        RECT client{};
        GetClientRect(hwnd, &client);
        width_ = client.right;
        height_ = client.bottom;
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = width_;
        info.bmiHeader.biHeight = -height_;  // top-down rows
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        ui::WindowDC screen(hwnd);
        void* bits = nullptr;
        bitmap_.reset(CreateDIBSection(screen.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        bits_ = static_cast<const DWORD*>(bits);
        dc_ = CreateCompatibleDC(screen.get());
        old_ = SelectObject(dc_, bitmap_.get());
    }

    int width_ = 0, height_ = 0;
    const DWORD* bits_ = nullptr;
    ui::GdiObject<HBITMAP> bitmap_;
    HDC dc_ = nullptr;
    HGDIOBJ old_ = nullptr;
};

// A level that rises by one with every GDI object the process holds. Windows
// keeps the count; Wine does not (GetGuiResources answers 0), so there the
// level is the number of objects that can no longer be created, found by
// creating brushes until its handle table is full and deleting them again.
inline long GdiObjectLevel() {
    if (DWORD count = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS)) return static_cast<long>(count);
    constexpr long kProbe = 70000;  // more than Wine's table holds
    std::vector<HBRUSH> brushes;
    brushes.reserve(kProbe);
    while (static_cast<long>(brushes.size()) < kProbe) {
        HBRUSH brush = CreateSolidBrush(RGB(1, 2, 3));
        if (!brush) break;
        brushes.push_back(brush);
    }
    for (HBRUSH brush : brushes) DeleteObject(brush);
    return kProbe - static_cast<long>(brushes.size());
}

}  // namespace zev_test

// Real input, for what only the system's own handling of it shows: the
// pointer really moves (hints follow it) and clicks go through hit testing,
// activation and the controls' own mouse handling.
#include <initializer_list>
#include <string>

namespace zev_test {

inline POINT Center(const RECT& r) { return {(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }

inline POINT ScreenPoint(HWND hwnd, POINT client) {
    ClientToScreen(hwnd, &client);
    return client;
}

// Puts the pointer on a client point of the window.
inline void MoveMouseTo(HWND hwnd, POINT client) {
    const POINT p = ScreenPoint(hwnd, client);
    SetCursorPos(p.x, p.y);
    Pump();
}

inline void SendMouse(DWORD flags) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flags;
    SendInput(1, &input, sizeof input);
}

// A left click of the real mouse at a client point of the window.
inline void RealClick(HWND hwnd, POINT client) {
    MoveMouseTo(hwnd, client);
    SendMouse(MOUSEEVENTF_LEFTDOWN);
    SendMouse(MOUSEEVENTF_LEFTUP);
    Pump();
}

inline void RealDoubleClick(HWND hwnd, POINT client) {
    MoveMouseTo(hwnd, client);
    for (int i = 0; i < 2; ++i) {
        SendMouse(MOUSEEVENTF_LEFTDOWN);
        SendMouse(MOUSEEVENTF_LEFTUP);
    }
    Pump();
}

inline void SendKey(WORD key, bool up) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.wScan = static_cast<WORD>(MapVirtualKeyA(key, MAPVK_VK_TO_VSC));
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    SendInput(1, &input, sizeof input);
}

// A key of the real keyboard, with the modifier keys held around it; it goes
// to the window with the focus and updates the key state the controls read.
inline void RealKey(WORD key, std::initializer_list<WORD> modifiers = {}) {
    for (WORD m : modifiers) SendKey(m, false);
    SendKey(key, false);
    SendKey(key, true);
    for (WORD m : modifiers) SendKey(m, true);
    Pump();
}

struct WindowSearch {
    const char* className;
    const char* caption;
    HWND found;
};

inline BOOL CALLBACK MatchWindow(HWND hwnd, LPARAM lp) {
    auto& s = *reinterpret_cast<WindowSearch*>(lp);
    char name[256] = "", text[256] = "";
    GetClassNameA(hwnd, name, sizeof name);
    GetWindowTextA(hwnd, text, sizeof text);
    if (!IsWindowVisible(hwnd) || (s.className && lstrcmpiA(name, s.className) != 0) ||
        (s.caption && std::string_view(text) != s.caption))
        return TRUE;
    s.found = hwnd;
    return FALSE;
}

// A visible top-level window of this thread with the class and caption
// (nullptr: any), or nullptr.
inline HWND FindThreadWindow(const char* className, const char* caption) {
    WindowSearch search{className, caption, nullptr};
    EnumThreadWindows(GetCurrentThreadId(), MatchWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// The whole CF_TEXT block on the clipboard, terminating zero bytes included.
inline std::string ClipboardBytes(HWND owner) {
    if (!OpenClipboard(owner)) return {};
    std::string bytes;
    if (HANDLE data = GetClipboardData(CF_TEXT)) {
        if (const auto* p = static_cast<const char*>(GlobalLock(data))) {
            bytes.assign(p, GlobalSize(data));
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return bytes;
}

inline BOOL CALLBACK CountWindow(HWND, LPARAM lp) {
    ++*reinterpret_cast<long*>(lp);
    return TRUE;
}

inline BOOL CALLBACK CountWindowAndChildren(HWND hwnd, LPARAM lp) {
    ++*reinterpret_cast<long*>(lp);
    EnumChildWindows(hwnd, CountWindow, lp);
    return TRUE;
}

// A level that rises with every USER object the process holds: Windows'
// count, or under Wine (which answers 0) the number of windows of this thread.
inline long UserObjectLevel() {
    if (DWORD count = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS)) return static_cast<long>(count);
    long windows = 0;
    EnumThreadWindows(GetCurrentThreadId(), CountWindowAndChildren, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

}  // namespace zev_test
