#include "ui/radio_button.h"

namespace ui {

TRadioButton::TRadioButton(TControl* parent, std::string_view caption, int left, int top, int width, int height,
                           bool startsGroup)
    : TControl(parent) {
    CreateHandle("BUTTON", WS_VISIBLE | WS_TABSTOP | BS_AUTORADIOBUTTON | (startsGroup ? WS_GROUP : 0), 0, left, top,
                 width, height);
    SetText(caption);
}

bool TRadioButton::Checked() const { return SendMessageA(Handle(), BM_GETCHECK, 0, 0) == BST_CHECKED; }

void TRadioButton::SetChecked(bool checked) {
    SendMessageA(Handle(), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

void TRadioButton::Command(WORD code) {
    if (code == BN_CLICKED) Fire(OnClick);
}

}  // namespace ui
