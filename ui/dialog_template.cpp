#include "ui/dialog_template.h"

#include <algorithm>
#include <string>

namespace ui {

DialogTemplate::DialogTemplate(DWORD style, std::string_view caption, std::string_view fontName, WORD fontPoints,
                               short width, short height) {
    Dword(style);
    Dword(0);             // extended style
    words_.push_back(0);  // item count, counted by Item
    words_.push_back(0);  // x and y: the dialog is placed at WM_INITDIALOG
    words_.push_back(0);
    words_.push_back(static_cast<WORD>(width));
    words_.push_back(static_cast<WORD>(height));
    words_.push_back(0);  // no menu
    words_.push_back(0);  // the standard dialog class
    Text(caption);
    words_.push_back(fontPoints);
    Text(fontName);
}

void DialogTemplate::Item(WORD windowClass, WORD id, DWORD style, std::string_view text, short x, short y,
                          short width, short height) {
    if (words_.size() % 2) words_.push_back(0);
    Dword(WS_CHILD | WS_VISIBLE | style);
    Dword(0);
    for (short value : {x, y, width, height}) words_.push_back(static_cast<WORD>(value));
    words_.push_back(id);
    words_.push_back(0xFFFF);
    words_.push_back(windowClass);
    Text(text);
    words_.push_back(0);  // no creation data
    ++words_[4];
}

void DialogTemplate::Dword(DWORD value) {
    words_.push_back(LOWORD(value));
    words_.push_back(HIWORD(value));
}

void DialogTemplate::Text(std::string_view ansi) {
    const int size = MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(size), L'\0');
    MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), wide.data(), size);
    words_.insert(words_.end(), wide.begin(), wide.end());
    words_.push_back(0);
}

void CenterOverOwner(HWND dialog) {
    RECT frame{};
    GetWindowRect(dialog, &frame);
    const int width = frame.right - frame.left, height = frame.bottom - frame.top;
    RECT area;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    RECT over = area;
    if (HWND owner = GetWindow(dialog, GW_OWNER); owner && IsWindowVisible(owner)) GetWindowRect(owner, &over);
    const int left = std::clamp<int>(over.left + (over.right - over.left - width) / 2, area.left,
                                     std::max<int>(area.left, area.right - width));
    const int top = std::clamp<int>(over.top + (over.bottom - over.top - height) / 2, area.top,
                                    std::max<int>(area.top, area.bottom - height));
    SetWindowPos(dialog, nullptr, left, top, 0, 0, SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOSIZE);
}

}  // namespace ui
