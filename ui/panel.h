#pragma once
#include "ui/control.h"

namespace ui {

// A plain container in the button-face colour (or its own, SetColor), with an
// optional lowered bevel: a sunken one-pixel frame inside its edge that its
// aligned children stay clear of. Tab sheets are panels too.
class TPanel : public TControl {
public:
    explicit TPanel(TControl* parent);

    void SetBevelLowered(bool lowered);
    bool BevelLowered() const { return lowered_; }

protected:
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;
    void AdjustAlignRect(RECT& rect) const override;

private:
    bool lowered_ = false;
};

}  // namespace ui
