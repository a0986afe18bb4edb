#pragma once
#include <string_view>

#include "ui/control.h"

namespace ui {

// A read-only rich text view with a vertical scroll bar, its whole text in
// the control's font and font colour. Selecting and copying stay available.
class TRichEdit : public TControl {
public:
    explicit TRichEdit(TControl* parent);

    void SetBackground(COLORREF color);
    // Lines separated by CR LF.
    void SetLines(std::string_view text);

protected:
    void FontChanged() override;

private:
    void ApplyCharFormat();
};

}  // namespace ui
