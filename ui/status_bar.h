#pragma once
#include <string>
#include <string_view>

#include "ui/control.h"

namespace ui {

// A status bar 25 pixels high along the bottom of its parent, with one
// borderless panel across its whole width.
class TStatusBar : public TControl {
public:
    explicit TStatusBar(TControl* parent);

    void SetPanelText(std::string_view text);
    std::string PanelText() const;
};

}  // namespace ui
