#pragma once
#include <string_view>

#include "ui/control.h"

namespace ui {

// A radio button; the buttons of one parent form one group, the first
// created starting it, and a click marks the clicked one only.
class TRadioButton : public TControl {
public:
    TRadioButton(TControl* parent, std::string_view caption, int left, int top, int width, int height,
                 bool startsGroup);

    bool Checked() const;
    // Changes the mark only; OnClick is for the user's clicks.
    void SetChecked(bool checked);

    TNotifyEvent OnClick;

protected:
    void Command(WORD code) override;
};

}  // namespace ui
