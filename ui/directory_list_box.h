#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "core/disk_path.h"
#include "ui/control.h"

namespace ui {

// The folders from the root down to the current folder, indented by depth,
// then the sub-folders of the current folder. Its folder is the process's
// current folder as the system spells it, except for a folder whose path is
// too long for that, which it holds itself; every change of it is announced.
// Double-click or Enter on an entry opens that folder.
class TDirectoryListBox : public TControl {
public:
    // Starts on the process's current folder, announcing nothing.
    explicit TDirectoryListBox(TControl* parent);

    // The folder as shown.
    std::string Directory() const { return directory_.Shown; }
    const DiskPath& Path() const { return directory_; }
    // An absolute, drive or network path. Throws std::runtime_error naming
    // the path when the folder cannot be entered.
    void SetDirectory(const DiskPath& path);
    // Moves to that drive's current folder unless the folder is on it already.
    void SetDrive(char letter);

    TNotifyEvent OnChange;

protected:
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;
    void Command(WORD code) override;
    bool DrawItem(const DRAWITEMSTRUCT& item) override;

private:
    struct Entry {
        std::string name;
        DiskPath path;
        int level;
    };
    void List();
    void OpenSelected();
    // Scrolls as little as keeps the current folder in view, the path above
    // it from the root on when it fits.
    void ShowCurrent();

    DiskPath directory_;
    std::vector<Entry> entries_;
    // The entry of the current folder.
    size_t current_ = 0;
};

}  // namespace ui
