#pragma once
#include <string>
#include <string_view>

#include "ui/control.h"

namespace ui {

// One line of text that sizes itself to the text in its font. Without a
// colour of its own it shows on its parent's colour.
class TLabel : public TControl {
public:
    // (left, top) is the top-left corner, or with SetAlignRight the top-right.
    TLabel(TControl* parent, int left, int top);

    void SetCaption(std::string_view caption);
    std::string Caption() const { return Text(); }
    // The edge at the x given stays put: the right one when set, and the
    // text then grows to the left.
    void SetAlignRight(bool alignRight);
    bool AlignRight() const { return alignRight_; }
    // The text colour alone; the font stays as it is.
    void SetFontColor(COLORREF color);

protected:
    HBRUSH CtlColor(HDC dc) override;
    void FontChanged() override;

private:
    void AutoSize();

    int x_;
    int top_;
    bool alignRight_ = false;
};

}  // namespace ui
