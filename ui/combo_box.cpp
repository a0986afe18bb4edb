#include "ui/combo_box.h"

namespace ui {

TComboBox::TComboBox(TControl* parent, int left, int top, int width) : TControl(parent) {
    CreateHandle("COMBOBOX", WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, 0, left, top, width, 0);
}

void TComboBox::SetItems(const std::vector<std::string>& items) {
    SendMessageA(Handle(), CB_RESETCONTENT, 0, 0);
    for (const std::string& item : items)
        SendMessageA(Handle(), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
    count_ = static_cast<int>(items.size());
    index_ = -1;
    FontChanged();
}

void TComboBox::SetItemIndex(int index) {
    index_ = index >= 0 && index < count_ ? index : -1;
    SendMessageA(Handle(), CB_SETCURSEL, static_cast<WPARAM>(index_), 0);
}

void TComboBox::Command(WORD code) {
    if (code != CBN_SELCHANGE) return;
    const auto index = static_cast<int>(SendMessageA(Handle(), CB_GETCURSEL, 0, 0));
    if (index < 0 || index == index_) return;
    index_ = index;
    Fire(OnChange);
}

void TComboBox::FontChanged() {
    // The window's height is that of the closed box plus a list showing every
    // item, with its one-pixel border.
    RECT closed;
    GetWindowRect(Handle(), &closed);
    const int item = static_cast<int>(SendMessageA(Handle(), CB_GETITEMHEIGHT, 0, 0));
    const int height = (closed.bottom - closed.top) + (count_ > 0 ? count_ : 1) * item + 2;
    SetWindowPos(Handle(), nullptr, 0, 0, closed.right - closed.left, height,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace ui
