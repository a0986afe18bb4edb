#pragma once
#include <string_view>

#include "ui/check_box.h"

namespace ui {

// A radio button; the buttons of one parent form one group, the first
// created starting it, and a click marks the clicked one only.
class TRadioButton : public TCheckBox {
public:
    TRadioButton(TControl* parent, std::string_view caption, int left, int top, int width, int height,
                 bool startsGroup)
        : TCheckBox(parent, caption, left, top, width, height,
                    BS_AUTORADIOBUTTON | (startsGroup ? WS_GROUP : 0)) {}
};

}  // namespace ui
