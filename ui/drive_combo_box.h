#pragma once
#include <string>
#include <vector>

#include "ui/control.h"

namespace ui {

// A drop-down list of the drives present, shown as "c: [volume label]" or
// "c:". It holds one drive letter in lower case and announces every change
// of it, whether the user chose another drive or the program set one.
class TDriveComboBox : public TControl {
public:
    TDriveComboBox(TControl* parent, int left, int top, int width);

    // '\0' until a drive is first set or chosen.
    char Drive() const { return drive_; }
    // Setting the letter held announces nothing.
    void SetDrive(char letter);

    TNotifyEvent OnChange;

protected:
    void Command(WORD code) override;
    void FontChanged() override;

private:
    void ListDrives();
    void SelectDrive();
    void FitDropDown();

    // The letters of the list's items, in item order.
    std::vector<char> letters_;
    char drive_ = '\0';
};

}  // namespace ui
