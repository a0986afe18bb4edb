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
    const std::string& PanelText() const { return text_; }

private:
    // Kept here: the bar's own read-back takes no buffer size.
    std::string text_;
};

}  // namespace ui
