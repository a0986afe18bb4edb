#pragma once
#include <string_view>

#include "ui/control.h"

namespace ui {

// A check box whose caption takes the font colour on its parent's colour.
class TCheckBox : public TControl {
public:
    TCheckBox(TControl* parent, std::string_view caption, int left, int top, int width, int height);

    bool Checked() const;
    // Changes the mark only; OnClick is for the user's toggles.
    void SetChecked(bool checked);

    TNotifyEvent OnClick;

protected:
    // A button of the given style (a check box or a radio button).
    TCheckBox(TControl* parent, std::string_view caption, int left, int top, int width, int height, DWORD style);
    void Command(WORD code) override;
    HBRUSH CtlColor(HDC dc) override;
    void FontChanged() override;
};

}  // namespace ui
