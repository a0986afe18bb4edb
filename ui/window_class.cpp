#include "ui/window_class.h"

namespace ui {

void EnsureWindowClass(const char* name, UINT style, HICON icon) {
    const HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    if (GetClassInfoExA(instance, name, &wc)) return;
    wc.style = style;
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = instance;
    wc.hIcon = icon;
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.lpszClassName = name;
    RegisterClassExA(&wc);
}

HICON ProgramIcon() {
    // Icons from LoadIcon are shared and never destroyed.
    if (HICON icon = LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(1))) return icon;
    return LoadIconA(nullptr, IDI_APPLICATION);
}

}  // namespace ui
