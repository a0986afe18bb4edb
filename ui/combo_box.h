#pragma once
#include <string>
#include <vector>

#include "ui/control.h"

namespace ui {

// A drop-down list of fixed items, one of them chosen. A choice by the user
// is announced; one set by the program is not.
class TComboBox : public TControl {
public:
    TComboBox(TControl* parent, int left, int top, int width);

    void SetItems(const std::vector<std::string>& items);
    int ItemIndex() const { return index_; }
    void SetItemIndex(int index);

    TNotifyEvent OnChange;

protected:
    void Command(WORD code) override;
    void FontChanged() override;

private:
    int count_ = 0;
    int index_ = -1;
};

}  // namespace ui
