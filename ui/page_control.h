#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "ui/control.h"
#include "ui/panel.h"

namespace ui {

class TTabSheet;

// Tabs 80 pixels wide, in as many rows as they need, over sheets that fill
// the display area; only the active sheet shows. Each caption is drawn inside
// its own tab, clipped to it.
class TPageControl : public TControl {
public:
    explicit TPageControl(TControl* parent);
    ~TPageControl() override;

    TTabSheet* ActivePage() const { return active_; }
    // Selects the sheet's tab without announcing it.
    void SetActivePage(TTabSheet& sheet);

    // The user selected a tab.
    TNotifyEvent OnChange;

protected:
    LRESULT Notify(NMHDR& header) override;
    void AdjustAlignRect(RECT& rect) const override;
    void FontChanged() override;
    bool DrawItem(const DRAWITEMSTRUCT& item) override;

private:
    friend class TTabSheet;
    void AddSheet(TTabSheet& sheet);
    void RemoveSheet(TTabSheet& sheet);
    void ShowActive();

    // In tab order.
    std::vector<TTabSheet*> sheets_;
    TTabSheet* active_ = nullptr;
};

// One page of a page control; its tab comes after those of the sheets
// created before it. The first sheet starts active.
class TTabSheet : public TPanel {
public:
    TTabSheet(TPageControl& owner, std::string_view caption);
    ~TTabSheet() override;

    TPageControl* PageControl() const { return owner_; }

private:
    friend class TPageControl;
    TPageControl* owner_;
    std::string caption_;
};

}  // namespace ui
