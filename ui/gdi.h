#pragma once
#include <windows.h>

#include <utility>

namespace ui {

// Owns one GDI object (font, brush, pen, bitmap) and deletes it.
template <class H>
class GdiObject {
public:
    GdiObject() = default;
    explicit GdiObject(H handle) : handle_(handle) {}
    GdiObject(GdiObject&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
    GdiObject& operator=(GdiObject&& other) noexcept {
        reset(std::exchange(other.handle_, nullptr));
        return *this;
    }
    ~GdiObject() { reset(); }
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;

    H get() const { return handle_; }
    explicit operator bool() const { return handle_ != nullptr; }
    void reset(H handle = nullptr) {
        if (handle_) DeleteObject(handle_);
        handle_ = handle;
    }

private:
    H handle_ = nullptr;
};

// Selects an object into a device context for one scope.
class SelectedObject {
public:
    SelectedObject(HDC dc, HGDIOBJ object) : dc_(dc), old_(SelectObject(dc, object)) {}
    ~SelectedObject() { SelectObject(dc_, old_); }
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;

private:
    HDC dc_;
    HGDIOBJ old_;
};

// A screen-compatible memory DC with a bitmap, for flicker-free painting.
class MemoryDC {
public:
    MemoryDC(HDC target, int width, int height)
        : dc_(CreateCompatibleDC(target)), bitmap_(CreateCompatibleBitmap(target, width, height)),
          old_(SelectObject(dc_, bitmap_.get())) {}
    ~MemoryDC() {
        SelectObject(dc_, old_);
        DeleteDC(dc_);
    }
    MemoryDC(const MemoryDC&) = delete;
    MemoryDC& operator=(const MemoryDC&) = delete;
    HDC get() const { return dc_; }

private:
    HDC dc_;
    GdiObject<HBITMAP> bitmap_;
    HGDIOBJ old_;
};

// The window's DC for one scope (GetDC / ReleaseDC).
class WindowDC {
public:
    explicit WindowDC(HWND hwnd) : hwnd_(hwnd), dc_(GetDC(hwnd)) {}
    ~WindowDC() { ReleaseDC(hwnd_, dc_); }
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;
    HDC get() const { return dc_; }

private:
    HWND hwnd_;
    HDC dc_;
};

HFONT CreatePixelFont(const char* face, int height, bool bold);

}  // namespace ui
