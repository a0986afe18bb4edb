#pragma once
#include <string_view>

#include "ui/control.h"

namespace ui {

class TButton : public TControl {
public:
    TButton(TControl* parent, std::string_view caption, int left, int top, int width, int height);

    TNotifyEvent OnClick;

protected:
    void Command(WORD code) override;
};

}  // namespace ui
