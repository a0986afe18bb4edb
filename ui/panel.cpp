#include "ui/panel.h"

#include "ui/window_class.h"

namespace ui {
namespace {

constexpr char kPanelClass[] = "ZevPanel";
constexpr int kBevelWidth = 1;

}  // namespace

TPanel::TPanel(TControl* parent) : TControl(parent) {
    EnsureWindowClass(kPanelClass, CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS);
    CreateHandle(kPanelClass, WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 0, 0, 0);
}

void TPanel::SetBevelLowered(bool lowered) {
    lowered_ = lowered;
    InvalidateRect(Handle(), nullptr, TRUE);
    Realign();
}

void TPanel::AdjustAlignRect(RECT& rect) const {
    if (lowered_) InflateRect(&rect, -kBevelWidth, -kBevelWidth);
}

LRESULT TPanel::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_ERASEBKGND:
        FillBackground(reinterpret_cast<HDC>(wp));
        return 1;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(Handle(), &ps);
        if (lowered_) {
            RECT r;
            GetClientRect(Handle(), &r);
            DrawEdge(dc, &r, BDR_SUNKENOUTER, BF_RECT);
        }
        EndPaint(Handle(), &ps);
        return 0;
    }
    }
    return TControl::WndProc(msg, wp, lp);
}

}  // namespace ui
