#include "ui/page_control.h"

#include <commctrl.h>

#include <algorithm>
#include <string>

namespace ui {
namespace {

constexpr int kTabWidth = 80;

int TextWidth(HDC dc, const std::string& text) {
    SIZE extent{};
    GetTextExtentPoint32A(dc, text.data(), static_cast<int>(text.size()), &extent);
    return extent.cx;
}

}  // namespace

TPageControl::TPageControl(TControl* parent) : TControl(parent) {
    // Owner-drawn: the control's own drawing centres a caption wider than its
    // tab and so starts it over the tab before.
    CreateHandle(WC_TABCONTROLA,
                 WS_VISIBLE | WS_TABSTOP | WS_CLIPCHILDREN | TCS_FIXEDWIDTH | TCS_MULTILINE | TCS_OWNERDRAWFIXED, 0,
                 0, 0, 0, 0);
    // Height 0: the tabs keep the height their font gives them.
    SendMessageA(Handle(), TCM_SETITEMSIZE, 0, MAKELPARAM(kTabWidth, 0));
}

TPageControl::~TPageControl() {
    for (TTabSheet* sheet : sheets_) sheet->owner_ = nullptr;
}

void TPageControl::AddSheet(TTabSheet& sheet) {
    std::string text = sheet.caption_;
    TCITEMA item{};
    item.mask = TCIF_TEXT;
    item.pszText = text.data();
    SendMessageA(Handle(), TCM_INSERTITEMA, sheets_.size(), reinterpret_cast<LPARAM>(&item));
    sheets_.push_back(&sheet);
    if (!active_) {
        active_ = &sheet;
        SendMessageA(Handle(), TCM_SETCURSEL, 0, 0);
    } else {
        sheet.SetVisible(false);
    }
    sheet.SetAlign(TAlign::Client);
}

void TPageControl::RemoveSheet(TTabSheet& sheet) {
    const auto it = std::find(sheets_.begin(), sheets_.end(), &sheet);
    if (it == sheets_.end()) return;
    SendMessageA(Handle(), TCM_DELETEITEM, static_cast<WPARAM>(it - sheets_.begin()), 0);
    sheets_.erase(it);
    if (active_ == &sheet) active_ = nullptr;
    Realign();
}

void TPageControl::SetActivePage(TTabSheet& sheet) {
    const auto it = std::find(sheets_.begin(), sheets_.end(), &sheet);
    if (it == sheets_.end()) return;
    SendMessageA(Handle(), TCM_SETCURSEL, static_cast<WPARAM>(it - sheets_.begin()), 0);
    active_ = &sheet;
    ShowActive();
    // A selected tab of several rows moves its row next to the sheets.
    Realign();
}

void TPageControl::ShowActive() {
    if (active_) active_->SetVisible(true);
    for (TTabSheet* sheet : sheets_)
        if (sheet != active_) sheet->SetVisible(false);
}

LRESULT TPageControl::Notify(NMHDR& header) {
    if (header.code == TCN_SELCHANGE) {
        const auto index = SendMessageA(Handle(), TCM_GETCURSEL, 0, 0);
        if (index >= 0 && static_cast<size_t>(index) < sheets_.size()) {
            active_ = sheets_[static_cast<size_t>(index)];
            ShowActive();
            Realign();
            Fire(OnChange);
        }
    }
    return 0;
}

void TPageControl::AdjustAlignRect(RECT& rect) const {
    SendMessageA(Handle(), TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&rect));
}

void TPageControl::FontChanged() { Realign(); }

bool TPageControl::DrawItem(const DRAWITEMSTRUCT& item) {
    if (item.itemID >= sheets_.size()) return false;
    const std::string& caption = sheets_[item.itemID]->caption_;
    HDC dc = item.hDC;
    RECT text = item.rcItem;
    const int room = text.right - text.left;
    // Declared before the selection, so the DC lets go of it before it is deleted.
    GdiObject<HFONT> narrow;
    SelectedObject font(dc, FontHandle());
    // A caption too wide for its tab is drawn in ever narrower letters of the
    // same font until it fits; DrawTextA clips whatever is left over.
    LOGFONTA spec{};
    GetObjectA(FontHandle(), sizeof spec, &spec);
    TEXTMETRICA metrics{};
    GetTextMetricsA(dc, &metrics);
    for (spec.lfWidth = metrics.tmAveCharWidth - 1; TextWidth(dc, caption) > room && spec.lfWidth > 0;
         --spec.lfWidth) {
        GdiObject<HFONT> next(CreateFontIndirectA(&spec));
        SelectObject(dc, next.get());
        narrow = std::move(next);
    }
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, Font().Color);
    DrawTextA(dc, caption.data(), static_cast<int>(caption.size()), &text,
              DT_CENTER | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    return true;
}

TTabSheet::TTabSheet(TPageControl& owner, std::string_view caption)
    : TPanel(&owner), owner_(&owner), caption_(caption) {
    owner.AddSheet(*this);
}

TTabSheet::~TTabSheet() {
    if (owner_) owner_->RemoveSheet(*this);
}

}  // namespace ui
