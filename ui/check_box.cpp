#include "ui/check_box.h"

#include <uxtheme.h>

namespace ui {
namespace {

// A themed check box draws its caption in the theme's colour whatever the
// parent answers to WM_CTLCOLORSTATIC, so a coloured caption needs the classic
// look. SetWindowTheme lives in uxtheme.dll, which comctl32 version 6 has
// loaded already; without it there is no theme to turn off.
void UseClassicLook(HWND hwnd) {
    HMODULE uxtheme = GetModuleHandleA("uxtheme.dll");
    if (!uxtheme) return;
    using SetWindowThemeFn = HRESULT(WINAPI*)(HWND, LPCWSTR, LPCWSTR);
    // Through void (*)(), the one cast that -Wcast-function-type allows.
    auto setWindowTheme = reinterpret_cast<SetWindowThemeFn>(
        reinterpret_cast<void (*)()>(GetProcAddress(uxtheme, "SetWindowTheme")));
    if (setWindowTheme) setWindowTheme(hwnd, L"", L"");
}

}  // namespace

TCheckBox::TCheckBox(TControl* parent, std::string_view caption, int left, int top, int width, int height)
    : TCheckBox(parent, caption, left, top, width, height, BS_AUTOCHECKBOX) {}

TCheckBox::TCheckBox(TControl* parent, std::string_view caption, int left, int top, int width, int height,
                     DWORD style)
    : TControl(parent) {
    CreateHandle("BUTTON", WS_VISIBLE | WS_TABSTOP | style, 0, left, top, width, height);
    SetText(caption);
}

bool TCheckBox::Checked() const { return SendMessageA(Handle(), BM_GETCHECK, 0, 0) == BST_CHECKED; }

void TCheckBox::SetChecked(bool checked) {
    SendMessageA(Handle(), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

void TCheckBox::Command(WORD code) {
    if (code == BN_CLICKED) Fire(OnClick);
}

HBRUSH TCheckBox::CtlColor(HDC dc) { return ColorBrush(dc, true); }

void TCheckBox::FontChanged() {
    if (Font().Color != RGB(0, 0, 0)) UseClassicLook(Handle());
}

}  // namespace ui
