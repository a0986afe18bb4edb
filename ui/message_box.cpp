#include "ui/message_box.h"

#include <algorithm>
#include <string>
#include <vector>

#include "ui/dialog_template.h"
#include "ui/gdi.h"

namespace ui {
namespace {

constexpr WORD kIconId = 100;
constexpr WORD kTextId = 101;
constexpr DWORD kDialogStyle = DS_MODALFRAME | DS_SETFONT | WS_POPUP | WS_CAPTION | WS_SYSMENU;
constexpr int kMargin = 12;
constexpr int kButtonGap = 8;
constexpr int kMinButtonWidth = 75;

struct Box {
    std::string text;
    std::string yes;
    std::string no;
};

SIZE TextSize(HDC dc, const std::string& text, int maxWidth, UINT format) {
    RECT r{0, 0, maxWidth, 0};
    DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &r, DT_CALCRECT | DT_NOPREFIX | format);
    return {r.right - r.left, r.bottom - r.top};
}

// Sizes the box to its text, in pixels of the dialog's font, and centres it
// over its owner.
void LayOut(HWND dialog, const Box& box) {
    WindowDC dc(dialog);
    SelectedObject font(dc.get(), reinterpret_cast<HFONT>(SendMessageA(dialog, WM_GETFONT, 0, 0)));
    const int maxTextWidth = GetSystemMetrics(SM_CXSCREEN) * 5 / 8;
    const SIZE text = TextSize(dc.get(), box.text, maxTextWidth, DT_WORDBREAK | DT_EXPANDTABS);
    const SIZE yes = TextSize(dc.get(), box.yes, 0, DT_SINGLELINE);
    const SIZE no = TextSize(dc.get(), box.no, 0, DT_SINGLELINE);
    const int buttonWidth = std::max<int>(kMinButtonWidth, std::max(yes.cx, no.cx) + 2 * kMargin);
    const int buttonHeight = yes.cy + kMargin;
    const int icon = GetSystemMetrics(SM_CXICON);

    const int content = std::max<int>(icon, text.cy);
    const int textLeft = kMargin + icon + kMargin;
    const int buttonsTop = kMargin + content + kMargin;
    const int buttonsWidth = 2 * buttonWidth + kButtonGap;
    const int width = std::max<int>(textLeft + text.cx + kMargin, buttonsWidth + 2 * kMargin);
    const int height = buttonsTop + buttonHeight + kMargin;

    auto place = [dialog](int id, int x, int y, int w, int h) {
        SetWindowPos(GetDlgItem(dialog, id), nullptr, x, y, w, h, SWP_NOZORDER | SWP_NOACTIVATE);
    };
    place(kIconId, kMargin, kMargin, icon, icon);
    place(kTextId, textLeft, kMargin + (content - text.cy) / 2, text.cx, text.cy);
    const int buttonsLeft = (width - buttonsWidth) / 2;
    place(IDYES, buttonsLeft, buttonsTop, buttonWidth, buttonHeight);
    place(IDNO, buttonsLeft + buttonWidth + kButtonGap, buttonsTop, buttonWidth, buttonHeight);

    RECT frame{0, 0, width, height};
    AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongA(dialog, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongA(dialog, GWL_EXSTYLE)));
    SetWindowPos(dialog, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOMOVE);
    CenterOverOwner(dialog);
}

INT_PTR CALLBACK BoxProc(HWND dialog, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_INITDIALOG:
        SendDlgItemMessageA(dialog, kIconId, STM_SETICON,
                            reinterpret_cast<WPARAM>(LoadIconA(nullptr, IDI_INFORMATION)), 0);
        LayOut(dialog, *reinterpret_cast<const Box*>(lp));
        MessageBeep(MB_ICONASTERISK);
        return TRUE;  // the focus goes to the first button, Yes
    case WM_COMMAND:
        switch (LOWORD(wp)) {
        case IDYES:
            EndDialog(dialog, IDYES);
            return TRUE;
        case IDNO:
        case IDCANCEL:  // Esc and the close box
            EndDialog(dialog, IDNO);
            return TRUE;
        }
        break;
    }
    return FALSE;
}

}  // namespace

bool AskYesNo(HWND owner, std::string_view text, std::string_view caption) {
    const Box box{std::string(text), "はい(&Y)", "いいえ(&N)"};
    DialogTemplate dialog(kDialogStyle, caption, "MS Shell Dlg");
    dialog.Item(kStaticClass, kIconId, SS_ICON, "");
    dialog.Item(kStaticClass, kTextId, SS_LEFT | SS_NOPREFIX, box.text);
    dialog.Item(kButtonClass, IDYES, BS_DEFPUSHBUTTON | WS_TABSTOP, box.yes);
    dialog.Item(kButtonClass, IDNO, BS_PUSHBUTTON | WS_TABSTOP, box.no);
    return DialogBoxIndirectParamA(GetModuleHandleA(nullptr), dialog.get(), owner, BoxProc,
                                   reinterpret_cast<LPARAM>(&box)) == IDYES;
}

bool AskYesNoDefaultNo(HWND owner, const std::wstring& text, const std::wstring& caption) {
    return MessageBoxW(owner, text.c_str(), caption.c_str(), MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) == IDYES;
}

void ShowErrorBox(HWND owner, const std::wstring& text, const std::wstring& caption) {
    MessageBoxW(owner, text.c_str(), caption.c_str(), MB_OK | MB_ICONERROR);
}

}  // namespace ui
