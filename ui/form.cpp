#include "ui/form.h"

#include "ui/application.h"
#include "ui/window_class.h"

namespace ui {
namespace {

constexpr char kFormClass[] = "ZevForm";

}  // namespace

TForm::TForm(std::string_view caption, int left, int top, int width, int height) : TControl(nullptr) {
    EnsureWindowClass(kFormClass, CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS, ProgramIcon());
    CreateHandle(kFormClass, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0, left, top, width, height,
                 Application().Handle());
    SetText(caption);
}

TForm::~TForm() { Application().FormDestroying(*this); }

void TForm::Show() {
    if (!shown_) {
        shown_ = true;
        if (OnShow) Guarded([&] { OnShow(*this); });
    }
    if (!Handle()) return;
    ShowWindow(Handle(), SW_SHOWNORMAL);
    UpdateWindow(Handle());
}

void TForm::Close() {
    if (Handle()) SendMessageA(Handle(), WM_CLOSE, 0, 0);
}

void TForm::FilesDropped(HDROP drop) { DragFinish(drop); }

LRESULT TForm::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_ERASEBKGND:
        FillBackground(reinterpret_cast<HDC>(wp));
        return 1;
    case WM_DROPFILES:
        FilesDropped(reinterpret_cast<HDROP>(wp));
        return 0;
    case WM_ACTIVATE:
        if (LOWORD(wp) == WA_INACTIVE) {
            HWND focus = GetFocus();
            if (focus && IsChild(Handle(), focus)) lastFocus_ = focus;
        } else if (!HIWORD(wp) && lastFocus_ && IsChild(Handle(), lastFocus_)) {
            // Give the keyboard back to the control that had it, not the form.
            ::SetFocus(lastFocus_);
            return 0;
        }
        break;
    case WM_SYSCOMMAND:
        // The main form minimises through the application window, which hides
        // the windows it owns and keeps the task-bar button.
        if ((wp & 0xFFF0) == SC_MINIMIZE && Application().MainForm() == this && Application().Handle()) {
            ShowWindow(Application().Handle(), SW_MINIMIZE);
            return 0;
        }
        break;
    case WM_DESTROY:
        if (Application().MainForm() == this) PostQuitMessage(0);
        break;
    }
    return TControl::WndProc(msg, wp, lp);
}

}  // namespace ui
