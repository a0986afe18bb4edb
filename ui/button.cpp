#include "ui/button.h"

namespace ui {

TButton::TButton(TControl* parent, std::string_view caption, int left, int top, int width, int height)
    : TControl(parent) {
    CreateHandle("BUTTON", WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 0, left, top, width, height);
    SetText(caption);
}

void TButton::Command(WORD code) {
    if (code == BN_CLICKED) Fire(OnClick);
}

}  // namespace ui
