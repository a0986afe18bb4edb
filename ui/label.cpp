#include "ui/label.h"

#include "ui/gdi.h"

namespace ui {

TLabel::TLabel(TControl* parent, int left, int top) : TControl(parent), x_(left), top_(top) {
    CreateHandle("STATIC", WS_VISIBLE | SS_LEFTNOWORDWRAP | SS_NOPREFIX, 0, left, top, 0, 0);
    AutoSize();
}

void TLabel::SetCaption(std::string_view caption) {
    SetText(caption);
    AutoSize();
}

void TLabel::SetAlignRight(bool alignRight) {
    alignRight_ = alignRight;
    SetWindowLongA(Handle(), GWL_STYLE,
                   (GetWindowLongA(Handle(), GWL_STYLE) & ~SS_TYPEMASK) | (alignRight ? SS_RIGHT : SS_LEFTNOWORDWRAP));
    AutoSize();
}

void TLabel::SetFontColor(COLORREF color) {
    if (Font().Color == color) return;
    TFontSpec font = Font();
    font.Color = color;
    SetFont(font);
}

HBRUSH TLabel::CtlColor(HDC dc) { return ColorBrush(dc, true); }

void TLabel::FontChanged() { AutoSize(); }

void TLabel::AutoSize() {
    if (!Handle()) return;
    const std::string text = Text();
    WindowDC dc(Handle());
    SelectedObject font(dc.get(), FontHandle());
    RECT r{0, 0, 0, 0};
    if (text.empty()) {
        TEXTMETRICA tm;
        GetTextMetricsA(dc.get(), &tm);
        r.bottom = tm.tmHeight;
    } else {
        DrawTextA(dc.get(), text.c_str(), static_cast<int>(text.size()), &r, DT_CALCRECT | DT_NOPREFIX);
    }
    const int width = r.right - r.left, height = r.bottom - r.top;
    SetWindowPos(Handle(), nullptr, alignRight_ ? x_ - width : x_, top_, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    InvalidateRect(Handle(), nullptr, TRUE);
}

}  // namespace ui
