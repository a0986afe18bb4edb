#include "ui/control.h"

#include "ui/cursor.h"
#include "ui/form.h"

#include <algorithm>
#include <exception>
#include <stdexcept>
#include <utility>

namespace ui {
namespace {

std::function<void(const std::exception&)>& ExceptionHandler() {
    static std::function<void(const std::exception&)> handler;
    return handler;
}

void Report(const std::exception& e) {
    if (ExceptionHandler())
        ExceptionHandler()(e);
    else
        MessageBoxA(nullptr, e.what(), "Error", MB_OK | MB_ICONERROR);
}

}  // namespace

HFONT CreatePixelFont(const char* face, int height, bool bold) {
    return CreateFontA(-height, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, face);
}

TShiftState CurrentShiftState() {
    auto down = [](int key) { return (GetKeyState(key) & 0x8000) != 0; };
    TShiftState s = 0;
    if (down(VK_SHIFT)) s |= ssShift;
    if (down(VK_MENU)) s |= ssAlt;
    if (down(VK_CONTROL)) s |= ssCtrl;
    if (down(VK_LBUTTON)) s |= ssLeft;
    if (down(VK_RBUTTON)) s |= ssRight;
    if (down(VK_MBUTTON)) s |= ssMiddle;
    return s;
}

void SetExceptionHandler(std::function<void(const std::exception&)> handler) {
    ExceptionHandler() = std::move(handler);
}

void Guarded(const std::function<void()>& handler) {
    try {
        handler();
    } catch (const std::exception& e) {
        Report(e);
    } catch (...) {
        Report(std::runtime_error("unknown error"));
    }
}

TControl::TControl(TControl* parent) : parent_(parent) {
    if (parent_) parent_->children_.push_back(this);
}

TControl::~TControl() {
    for (TControl* child : children_) child->parent_ = nullptr;
    if (parent_) std::erase(parent_->children_, this);
    // Its last messages go to the window's own procedure.
    if (HWND hwnd = std::exchange(hwnd_, nullptr)) DestroyWindow(hwnd);
}

TControl* TControl::FromHandle(HWND hwnd) {
    // Only this layer sets the user data of the program's own windows; the
    // windows of other programs and other modules may hold anything there.
    DWORD process = 0;
    if (!hwnd || !GetWindowThreadProcessId(hwnd, &process) || process != GetCurrentProcessId() ||
        GetWindowLongPtrA(hwnd, GWLP_HINSTANCE) != reinterpret_cast<LONG_PTR>(GetModuleHandleA(nullptr)))
        return nullptr;
    auto* control = reinterpret_cast<TControl*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    // A control that is destroying its window has let go of it.
    return control && control->hwnd_ == hwnd ? control : nullptr;
}

void TControl::CreateHandle(const char* className, DWORD style, DWORD exStyle, int left, int top, int width,
                            int height, HWND owner) {
    HWND parentHandle = parent_ ? parent_->hwnd_ : owner;
    if (parent_) style |= WS_CHILD | WS_CLIPSIBLINGS;
    hwnd_ = CreateWindowExA(exStyle, className, "", style, left, top, width, height, parentHandle, nullptr,
                            GetModuleHandleA(nullptr), nullptr);
    if (!hwnd_) throw std::runtime_error(std::string("CreateWindowEx failed: ") + className);
    // Read back on every message: user data is kept in the process, where a
    // window property or a comctl32 subclass costs Wine a request to its
    // server each time, and a tree view of thousands of nodes sends tens of
    // thousands of notifications.
    SetWindowLongPtrA(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    // In the window's own character set, so that its messages reach the
    // control unconverted.
    unicode_ = IsWindowUnicode(hwnd_) != FALSE;
    const auto proc = reinterpret_cast<LONG_PTR>(&TControl::WindowProc);
    baseProc_ = reinterpret_cast<WNDPROC>(unicode_ ? SetWindowLongPtrW(hwnd_, GWLP_WNDPROC, proc)
                                                   : SetWindowLongPtrA(hwnd_, GWLP_WNDPROC, proc));
    ApplyFont();
}

LRESULT CALLBACK TControl::WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    auto* control = reinterpret_cast<TControl*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (msg == WM_NCDESTROY) control->hwnd_ = nullptr;
    if (!control->hwnd_) return control->CallBaseProc(hwnd, msg, wp, lp);
    LRESULT result = 0;
    bool done = false;
    Guarded([&] {
        if ((msg == WM_KEYDOWN || msg == WM_SYSKEYDOWN) && control->KeyPreviewed(wp)) {
            done = true;
            return;
        }
        result = control->WndProc(msg, wp, lp);
        done = true;
    });
    return done ? result : control->CallBaseProc(hwnd, msg, wp, lp);
}

bool TControl::KeyPreviewed(WPARAM wp) {
    TControl* top = this;
    while (top->parent_) top = top->parent_;
    auto* form = dynamic_cast<TForm*>(top);
    if (!form || !form->OnKeyPreview) return false;
    WORD key = static_cast<WORD>(wp);
    form->OnKeyPreview(*this, key, CurrentShiftState());
    return key == 0;
}

LRESULT TControl::CallBaseProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) const {
    return unicode_ ? CallWindowProcW(baseProc_, hwnd, msg, wp, lp) : CallWindowProcA(baseProc_, hwnd, msg, wp, lp);
}

LRESULT TControl::DefaultProc(UINT msg, WPARAM wp, LPARAM lp) { return CallBaseProc(hwnd_, msg, wp, lp); }

LRESULT TControl::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_COMMAND:
        if (TControl* child = FromHandle(reinterpret_cast<HWND>(lp)); child && child != this) {
            child->Command(HIWORD(wp));
            return 0;
        }
        break;
    case WM_NOTIFY: {
        auto* header = reinterpret_cast<NMHDR*>(lp);
        if (TControl* child = FromHandle(header->hwndFrom); child && child != this) return child->Notify(*header);
        break;
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORLISTBOX:
        if (TControl* child = FromHandle(reinterpret_cast<HWND>(lp)); child && child != this) {
            if (HBRUSH brush = child->CtlColor(reinterpret_cast<HDC>(wp))) return reinterpret_cast<LRESULT>(brush);
        }
        break;
    case WM_DRAWITEM: {
        const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lp);
        if (TControl* child = FromHandle(item.hwndItem); child && child != this && child->DrawItem(item))
            return TRUE;
        break;
    }
    case WM_SETCURSOR:
        if (HourglassCursor::Active()) {
            SetCursor(LoadCursorA(nullptr, IDC_WAIT));
            return TRUE;
        }
        break;
    case WM_SIZE: {
        // The control lays itself out first (a tab control recounts its rows).
        const LRESULT result = DefaultProc(msg, wp, lp);
        // A minimized window keeps its children as they were.
        if (wp != SIZE_MINIMIZED) Realign();
        return result;
    }
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        if (OnKeyDown) {
            WORD key = static_cast<WORD>(wp);
            OnKeyDown(*this, key, CurrentShiftState());
            if (key == 0) return 0;
        }
        break;
    }
    return DefaultProc(msg, wp, lp);
}

HBRUSH TControl::CtlColor(HDC dc) { return ColorBrush(dc, false); }

void TControl::FillBackground(HDC dc) const {
    RECT r;
    GetClientRect(Handle(), &r);
    HBRUSH brush = ColorBrush(dc, false);
    FillRect(dc, &r, brush ? brush : GetSysColorBrush(COLOR_BTNFACE));
}

HBRUSH TControl::ColorBrush(HDC dc, bool inherit, int fallback) const {
    const TControl* owner = this;
    if (inherit)
        while (owner && owner->color_ == CLR_INVALID) owner = owner->parent_;
    if (owner && owner->color_ == CLR_INVALID) owner = nullptr;
    if (!owner && font_.Color == RGB(0, 0, 0)) return nullptr;
    SetTextColor(dc, font_.Color);
    if (!owner) {
        SetBkColor(dc, GetSysColor(fallback));
        return GetSysColorBrush(fallback);
    }
    SetBkColor(dc, owner->color_);
    return owner->brush_.get();
}

void TControl::Fire(const TNotifyEvent& event) {
    if (event) Guarded([&] { event(*this); });
}

void TControl::SetAlign(TAlign align) {
    align_ = align;
    if (parent_) parent_->Realign();
}

void TControl::SetBounds(int left, int top, int width, int height) {
    if (!hwnd_) return;
    MoveWindow(hwnd_, left, top, width, height, TRUE);
    // WM_SIZE comes only when the size changed; children still need placing.
    Realign();
}

RECT TControl::BoundsRect() const {
    RECT r{};
    if (!hwnd_) return r;
    GetWindowRect(hwnd_, &r);
    if (HWND parent = GetParent(hwnd_); parent && (GetWindowLongA(hwnd_, GWL_STYLE) & WS_CHILD))
        MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

int TControl::Width() const {
    RECT r = BoundsRect();
    return r.right - r.left;
}

int TControl::Height() const {
    RECT r = BoundsRect();
    return r.bottom - r.top;
}

void TControl::AdjustClientRect(RECT& rect) const {
    GetClientRect(hwnd_, &rect);
    AdjustAlignRect(rect);
}

void TControl::Realign() {
    if (!hwnd_) return;
    RECT area;
    AdjustClientRect(area);
    auto place = [](TControl* c, int l, int t, int w, int h) { c->SetBounds(l, t, std::max(w, 0), std::max(h, 0)); };
    for (TAlign pass : {TAlign::Top, TAlign::Bottom, TAlign::Left, TAlign::Right, TAlign::Client}) {
        for (TControl* c : children_) {
            if (c->align_ != pass || !c->hwnd_) continue;
            const int w = area.right - area.left, h = area.bottom - area.top;
            switch (pass) {
            case TAlign::Top: {
                const int ch = c->AlignedHeight(h);
                place(c, area.left, area.top, w, ch);
                area.top += ch;
                break;
            }
            case TAlign::Bottom: {
                const int ch = c->AlignedHeight(h);
                place(c, area.left, area.bottom - ch, w, ch);
                area.bottom -= ch;
                break;
            }
            case TAlign::Left: {
                const int cw = c->Width();
                place(c, area.left, area.top, cw, h);
                area.left += cw;
                break;
            }
            case TAlign::Right: {
                const int cw = c->Width();
                place(c, area.right - cw, area.top, cw, h);
                area.right -= cw;
                break;
            }
            case TAlign::Client:
                place(c, area.left, area.top, w, h);
                break;
            case TAlign::None:
                break;
            }
        }
    }
}

void TControl::SetFont(const TFontSpec& font) {
    font_ = font;
    ApplyFont();
}

void TControl::ApplyFont() {
    // The window lets go of the old font before it is deleted.
    GdiObject<HFONT> font(CreatePixelFont(font_.Name.c_str(), font_.Height, font_.Bold));
    if (hwnd_) SendMessageA(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), TRUE);
    hfont_ = std::move(font);
    if (hwnd_) FontChanged();
}

void TControl::SetColor(COLORREF color) {
    color_ = color;
    brush_.reset(color == CLR_INVALID ? nullptr : CreateSolidBrush(color));
    if (hwnd_) InvalidateRect(hwnd_, nullptr, TRUE);
}

void TControl::SetVisible(bool visible) {
    if (hwnd_) ShowWindow(hwnd_, visible ? SW_SHOW : SW_HIDE);
}

bool TControl::Visible() const { return hwnd_ && IsWindowVisible(hwnd_); }

void TControl::SetEnabled(bool enabled) {
    if (hwnd_) EnableWindow(hwnd_, enabled);
}

bool TControl::Enabled() const { return hwnd_ && IsWindowEnabled(hwnd_); }

void TControl::SetFocus() {
    if (hwnd_) ::SetFocus(hwnd_);
}

bool TControl::Focused() const { return hwnd_ && GetFocus() == hwnd_; }

std::string TControl::Text() const {
    if (!hwnd_) return {};
    // Some controls (the rich text view) count characters, not bytes, and
    // copy nothing into a buffer too small for the double-byte text.
    std::string text(2 * static_cast<size_t>(GetWindowTextLengthA(hwnd_)) + 1, '\0');
    text.resize(static_cast<size_t>(GetWindowTextA(hwnd_, text.data(), static_cast<int>(text.size()))));
    return text;
}

void TControl::SetText(std::string_view text) {
    if (hwnd_) SetWindowTextA(hwnd_, std::string(text).c_str());
}

}  // namespace ui
