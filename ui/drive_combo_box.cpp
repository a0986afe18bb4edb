#include "ui/drive_combo_box.h"

#include <algorithm>

namespace ui {
namespace {

constexpr int kDropDownCount = 8;

char LowerLetter(char letter) { return letter >= 'A' && letter <= 'Z' ? static_cast<char>(letter - 'A' + 'a') : letter; }

// "c: [label]" for fixed and network drives. Removable and optical drives are
// not asked for their label, which could mean waiting for the medium.
std::string DriveText(char letter, const std::string& root) {
    std::string text{letter, ':'};
    const UINT type = GetDriveTypeA(root.c_str());
    if (type != DRIVE_FIXED && type != DRIVE_REMOTE && type != DRIVE_RAMDISK) return text;
    char label[MAX_PATH + 1] = "";
    if (GetVolumeInformationA(root.c_str(), label, sizeof label, nullptr, nullptr, nullptr, nullptr, 0) && label[0])
        text += std::string(" [") + label + "]";
    return text;
}

}  // namespace

TDriveComboBox::TDriveComboBox(TControl* parent, int left, int top, int width) : TControl(parent) {
    CreateHandle("COMBOBOX", WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, 0, left, top, width, 0);
    ListDrives();
}

void TDriveComboBox::ListDrives() {
    std::string roots(GetLogicalDriveStringsA(0, nullptr), '\0');
    roots.resize(GetLogicalDriveStringsA(static_cast<DWORD>(roots.size()), roots.data()));
    SendMessageA(Handle(), CB_RESETCONTENT, 0, 0);
    letters_.clear();
    // "c:\<0>d:\<0>...": one root per zero-terminated piece.
    for (size_t at = 0; at < roots.size();) {
        const std::string root = roots.c_str() + at;
        at += root.size() + 1;
        if (root.empty()) break;
        const char letter = LowerLetter(root[0]);
        SendMessageA(Handle(), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(DriveText(letter, root).c_str()));
        letters_.push_back(letter);
    }
    SelectDrive();
}

void TDriveComboBox::SelectDrive() {
    const auto it = std::find(letters_.begin(), letters_.end(), drive_);
    const WPARAM index = it == letters_.end() ? static_cast<WPARAM>(-1) : static_cast<WPARAM>(it - letters_.begin());
    SendMessageA(Handle(), CB_SETCURSEL, index, 0);
}

void TDriveComboBox::SetDrive(char letter) {
    letter = LowerLetter(letter);
    if (letter == drive_) return;
    drive_ = letter;
    // A drive that came after the list was made (a stick plugged in) is
    // listed now.
    if (std::find(letters_.begin(), letters_.end(), drive_) == letters_.end()) ListDrives();
    else SelectDrive();
    Fire(OnChange);
}

void TDriveComboBox::Command(WORD code) {
    if (code != CBN_SELCHANGE) return;
    const auto index = SendMessageA(Handle(), CB_GETCURSEL, 0, 0);
    if (index < 0 || static_cast<size_t>(index) >= letters_.size()) return;
    const char letter = letters_[static_cast<size_t>(index)];
    if (letter == drive_) return;
    drive_ = letter;
    Fire(OnChange);
}

void TDriveComboBox::FontChanged() { FitDropDown(); }

void TDriveComboBox::FitDropDown() {
    // The window's height is that of the closed box plus the list below it
    // with its one-pixel border.
    RECT closed;
    GetWindowRect(Handle(), &closed);
    const int item = static_cast<int>(SendMessageA(Handle(), CB_GETITEMHEIGHT, 0, 0));
    const int height = (closed.bottom - closed.top) + kDropDownCount * item + 2;
    SetWindowPos(Handle(), nullptr, 0, 0, closed.right - closed.left, height,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace ui
