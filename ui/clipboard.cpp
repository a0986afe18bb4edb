#include "ui/clipboard.h"

#include <cstring>
#include <utility>

namespace ui {
namespace {

// The clipboard, open for one scope.
class OpenClipboardScope {
public:
    explicit OpenClipboardScope(HWND owner) {
        // Another program may hold the clipboard for a moment (clipboard
        // managers read every change); a few short retries get past that.
        for (int attempt = 0; attempt < 5 && !open_; ++attempt) {
            open_ = OpenClipboard(owner) != FALSE;
            if (!open_) Sleep(20);
        }
    }
    ~OpenClipboardScope() {
        if (open_) CloseClipboard();
    }
    OpenClipboardScope(const OpenClipboardScope&) = delete;
    OpenClipboardScope& operator=(const OpenClipboardScope&) = delete;
    explicit operator bool() const { return open_; }

private:
    bool open_ = false;
};

// Movable global memory, freed unless the clipboard took it over.
class GlobalMemory {
public:
    explicit GlobalMemory(size_t size) : handle_(GlobalAlloc(GMEM_MOVEABLE, size)) {}
    ~GlobalMemory() {
        if (handle_) GlobalFree(handle_);
    }
    GlobalMemory(const GlobalMemory&) = delete;
    GlobalMemory& operator=(const GlobalMemory&) = delete;
    HGLOBAL get() const { return handle_; }
    HGLOBAL release() { return std::exchange(handle_, nullptr); }

private:
    HGLOBAL handle_;
};

// A global memory block locked for one scope.
class GlobalLockScope {
public:
    explicit GlobalLockScope(HGLOBAL handle) : handle_(handle), data_(static_cast<char*>(GlobalLock(handle))) {}
    ~GlobalLockScope() {
        if (data_) GlobalUnlock(handle_);
    }
    GlobalLockScope(const GlobalLockScope&) = delete;
    GlobalLockScope& operator=(const GlobalLockScope&) = delete;
    char* data() const { return data_; }

private:
    HGLOBAL handle_;
    char* data_;
};

}  // namespace

void SetClipboardText(HWND owner, std::string_view text) {
    GlobalMemory memory(text.size() + 1);
    if (!memory.get()) return;
    {
        GlobalLockScope lock(memory.get());
        if (!lock.data()) return;
        std::memcpy(lock.data(), text.data(), text.size());
        lock.data()[text.size()] = '\0';
    }
    OpenClipboardScope clipboard(owner);
    if (!clipboard) return;
    EmptyClipboard();
    if (SetClipboardData(CF_TEXT, memory.get())) memory.release();
}

std::string ClipboardText(HWND owner) {
    OpenClipboardScope clipboard(owner);
    if (!clipboard) return {};
    HANDLE data = GetClipboardData(CF_TEXT);
    if (!data) return {};
    GlobalLockScope lock(data);
    if (!lock.data()) return {};
    const size_t size = GlobalSize(data);
    return std::string(lock.data(), strnlen(lock.data(), size));
}

}  // namespace ui
