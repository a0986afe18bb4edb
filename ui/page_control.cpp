#include "ui/page_control.h"

#include <commctrl.h>

#include <algorithm>
#include <string>

namespace ui {
namespace {

constexpr int kTabWidth = 80;

}  // namespace

TPageControl::TPageControl(TControl* parent) : TControl(parent) {
    CreateHandle(WC_TABCONTROLA, WS_VISIBLE | WS_TABSTOP | WS_CLIPCHILDREN | TCS_FIXEDWIDTH | TCS_MULTILINE, 0, 0, 0,
                 0, 0);
    // Height 0: the tabs keep the height their font gives them.
    SendMessageA(Handle(), TCM_SETITEMSIZE, 0, MAKELPARAM(kTabWidth, 0));
}

TPageControl::~TPageControl() {
    for (TTabSheet* sheet : sheets_) sheet->owner_ = nullptr;
}

void TPageControl::AddSheet(TTabSheet& sheet, std::string_view caption) {
    std::string text(caption);
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

TTabSheet::TTabSheet(TPageControl& owner, std::string_view caption) : TPanel(&owner), owner_(&owner) {
    owner.AddSheet(*this, caption);
}

TTabSheet::~TTabSheet() {
    if (owner_) owner_->RemoveSheet(*this);
}

}  // namespace ui
