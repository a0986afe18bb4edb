#include "ui/application.h"

#include <commctrl.h>

#include "ui/control.h"
#include "ui/form.h"
#include "ui/window_class.h"

namespace ui {
namespace {

constexpr char kApplicationClass[] = "ZevApplication";
// Posted to the application window when it got the focus, to pass it on.
constexpr UINT kFocusMainForm = WM_APP;

bool IsOwnWindow(HWND hwnd) {
    DWORD process = 0;
    GetWindowThreadProcessId(hwnd, &process);
    return process == GetCurrentProcessId();
}

// The zero-sized window behind the task-bar button: it carries the title and
// owns the forms, and hands activation on to the main form.
class ApplicationWindow : public TControl {
public:
    ApplicationWindow() : TControl(nullptr) {
        EnsureWindowClass(kApplicationClass, 0, ProgramIcon());
        CreateHandle(kApplicationClass, WS_POPUP | WS_CAPTION | WS_CLIPSIBLINGS | WS_SYSMENU | WS_MINIMIZEBOX, 0,
                     GetSystemMetrics(SM_CXSCREEN) / 2, GetSystemMetrics(SM_CYSCREEN) / 2, 0, 0);
    }

protected:
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override {
        TForm* main = Application().MainForm();
        switch (msg) {
        case WM_CLOSE:
            if (main) main->Close();
            return 0;
        case WM_SETFOCUS:
            PostMessageA(Handle(), kFocusMainForm, 0, 0);
            break;
        case kFocusMainForm:
            if (main && main->Handle() && GetFocus() == Handle() && !IsIconic(Handle()) &&
                IsWindowVisible(main->Handle()) && IsWindowEnabled(main->Handle()))
                main->SetFocus();
            return 0;
        }
        return TControl::WndProc(msg, wp, lp);
    }
};

class OwnedWindow {
public:
    OwnedWindow() = default;
    ~OwnedWindow() { reset(); }
    OwnedWindow(const OwnedWindow&) = delete;
    OwnedWindow& operator=(const OwnedWindow&) = delete;
    HWND get() const { return hwnd_; }
    void reset(HWND hwnd = nullptr) {
        if (hwnd_) DestroyWindow(hwnd_);
        hwnd_ = hwnd;
    }

private:
    HWND hwnd_ = nullptr;
};

}  // namespace

struct TApplication::Windows {
    std::unique_ptr<ApplicationWindow> application;
    // Owned by the application window, so it goes first.
    OwnedWindow toolTip;
};

TApplication& Application() {
    static TApplication application;
    return application;
}

TApplication::TApplication() : windows_(std::make_unique<Windows>()) {}

TApplication::~TApplication() = default;

void TApplication::Initialize() {
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_TAB_CLASSES | ICC_TREEVIEW_CLASSES | ICC_BAR_CLASSES | ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&icc);
    if (!windows_->application) windows_->application = std::make_unique<ApplicationWindow>();
    SetWindowTextA(Handle(), title_.c_str());
    SetExceptionHandler([this](const std::exception& e) { ShowException(e); });
}

void TApplication::SetTitle(std::string_view title) {
    title_ = title;
    if (HWND hwnd = Handle()) SetWindowTextA(hwnd, title_.c_str());
}

HWND TApplication::Handle() const {
    return windows_->application ? windows_->application->Handle() : nullptr;
}

HWND TApplication::ToolTipHandle() const { return windows_->toolTip.get(); }

void TApplication::FormDestroying(TForm& form) {
    if (mainForm_ == &form) mainForm_ = nullptr;
    if (toolHwnd_ && (!IsWindow(toolHwnd_) || toolHwnd_ == form.Handle() || IsChild(form.Handle(), toolHwnd_)))
        ShowToolTip(nullptr, {});
}

void TApplication::Run(TForm& mainForm) {
    mainForm_ = &mainForm;
    if (HWND hwnd = Handle()) ShowWindow(hwnd, SW_SHOWNA);
    mainForm.Show();
    if (!mainForm.Handle()) return;
    while (Pump()) {
        CheckHint();
        WaitMessage();
    }
    if (HWND hwnd = Handle()) ShowWindow(hwnd, SW_HIDE);
}

void TApplication::ProcessMessages() {
    // A quit request stays queued for the loop that is to end.
    if (!Pump()) PostQuitMessage(exitCode_);
    CheckHint();
}

bool TApplication::Pump() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            exitCode_ = static_cast<int>(msg.wParam);
            return false;
        }
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return true;
}

void TApplication::ShowException(const std::exception& e) {
    HWND owner = GetActiveWindow();
    if (!owner && mainForm_) owner = mainForm_->Handle();
    MessageBoxA(owner, e.what(), title_.empty() ? nullptr : title_.c_str(), MB_OK | MB_ICONERROR);
}

std::string TApplication::HintUnderPointer(TControl*& control) const {
    POINT pt{};
    GetCursorPos(&pt);
    HWND window = WindowFromPoint(pt);
    // WindowFromPoint stops above disabled and hit-transparent children
    // (labels); their hints count as well.
    while (window) {
        POINT client = pt;
        ScreenToClient(window, &client);
        HWND child = ChildWindowFromPointEx(window, client, CWP_SKIPINVISIBLE | CWP_SKIPTRANSPARENT);
        if (!child || child == window) break;
        window = child;
    }
    control = nullptr;
    for (HWND h = window; h && !control; h = GetAncestor(h, GA_PARENT)) control = TControl::FromHandle(h);

    std::string hint;
    for (TControl* c = control; c && hint.empty(); c = c->Parent()) hint = c->Hint;
    if (hint.empty() && window && mainForm_ && IsOwnWindow(window)) hint = mainForm_->Hint;
    return hint;
}

void TApplication::CheckHint() {
    TControl* control = nullptr;
    const std::string hint = HintUnderPointer(control);
    ShowToolTip(control && control->ShowHint && !hint.empty() ? control : nullptr, hint);
    if (hint != hint_) {
        hint_ = hint;
        if (OnHint) Guarded([&] { OnHint(hint_); });
    }
}

const std::string& TApplication::TakeHintUnderPointer() {
    TControl* control = nullptr;
    hint_ = HintUnderPointer(control);
    return hint_;
}

void TApplication::ShowToolTip(TControl* control, const std::string& text) {
    HWND target = control ? control->Handle() : nullptr;
    if (target == toolHwnd_ && (!target || text == toolText_)) return;
    TTTOOLINFOA ti{};
    // The version-5 size, which every comctl32 accepts.
    ti.cbSize = TTTOOLINFOA_V2_SIZE;
    if (toolHwnd_ && ToolTipHandle()) {
        ti.hwnd = toolHwnd_;
        ti.uId = reinterpret_cast<UINT_PTR>(toolHwnd_);
        SendMessageA(ToolTipHandle(), TTM_DELTOOLA, 0, reinterpret_cast<LPARAM>(&ti));
    }
    toolHwnd_ = target;
    toolText_ = text;
    if (!target) return;
    if (!ToolTipHandle()) {
        windows_->toolTip.reset(CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr,
                                                WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                                                CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, Handle(), nullptr,
                                                GetModuleHandleA(nullptr), nullptr));
        if (!ToolTipHandle()) return;
    }
    ti.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    ti.hwnd = target;
    ti.uId = reinterpret_cast<UINT_PTR>(target);
    ti.lpszText = toolText_.data();
    SendMessageA(ToolTipHandle(), TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&ti));
    // The pointer is already resting on the control; start the tip's timer
    // without waiting for the next mouse move.
    POINT pt{};
    GetCursorPos(&pt);
    MSG move{target, WM_MOUSEMOVE, 0, 0, static_cast<DWORD>(GetMessageTime()), pt};
    POINT client = pt;
    ScreenToClient(target, &client);
    move.lParam = MAKELPARAM(client.x, client.y);
    SendMessageA(ToolTipHandle(), TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&move));
}

}  // namespace ui
