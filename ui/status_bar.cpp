#include "ui/status_bar.h"

#include <commctrl.h>

namespace ui {
namespace {

constexpr int kHeight = 25;

}  // namespace

TStatusBar::TStatusBar(TControl* parent) : TControl(parent) {
    // The bar keeps the size and place the parent's layout gives it.
    CreateHandle(STATUSCLASSNAMEA, WS_VISIBLE | CCS_NORESIZE | CCS_NOPARENTALIGN | CCS_NODIVIDER, 0, 0, 0, 0,
                 kHeight);
    int right = -1;
    SendMessageA(Handle(), SB_SETPARTS, 1, reinterpret_cast<LPARAM>(&right));
    SetAlign(TAlign::Bottom);
}

void TStatusBar::SetPanelText(std::string_view text) {
    text_ = text;
    SendMessageA(Handle(), SB_SETTEXTA, 0 | SBT_NOBORDERS, reinterpret_cast<LPARAM>(text_.c_str()));
}

}  // namespace ui
