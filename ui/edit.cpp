#include "ui/edit.h"

namespace ui {

TEdit::TEdit(TControl* parent, int left, int top, int width, int height) : TControl(parent) {
    CreateHandle("EDIT", WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE, left, top, width, height);
}

void TEdit::Command(WORD code) {
    if (code == EN_CHANGE) Fire(OnChange);
}

HBRUSH TEdit::CtlColor(HDC dc) {
    return ColorBrush(dc, false, IsWindowEnabled(Handle()) ? COLOR_WINDOW : COLOR_BTNFACE);
}

}  // namespace ui
