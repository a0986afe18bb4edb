#pragma once
#include "ui/control.h"

namespace ui {

// A one-line edit box; Text() and SetText() are its content.
class TEdit : public TControl {
public:
    TEdit(TControl* parent, int left, int top, int width, int height);

    // Every change of the text, by the user or by SetText.
    TNotifyEvent OnChange;

protected:
    void Command(WORD code) override;
    HBRUSH CtlColor(HDC dc) override;
};

}  // namespace ui
