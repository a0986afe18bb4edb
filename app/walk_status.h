#pragma once
#include <cstdint>

#include <string>

#include "core/walk_progress.h"
#include "ui/control.h"
#include "ui/status_bar.h"

// True when Esc was pressed since the last look; its key press (and its
// release, when already there) leave the queue, any other input stays in it.
bool TakeEscapeKey();

// One walk the window runs, watched from its status bar. Nothing else runs
// meanwhile, so the window is repainted at each show and Esc is read straight
// from the message queue. Once the walk is over the bar says that it was
// stopped, or else gets the hint line back.
class WalkStatus final : public WalkObserver {
public:
    // What the walk was for: the stop message differs. A run of renames
    // counts one file per rename, of total, and looks at every one, as each
    // costs far more than a look; its caller says how it ended.
    enum class Purpose { Refresh, Copy, Rename };

    // bar: where the progress and the end show; window: what is repainted
    // at each show.
    WalkStatus(ui::TStatusBar& bar, ui::TControl& window, Purpose purpose, std::int64_t total = 0);
    ~WalkStatus() override;
    WalkStatus(const WalkStatus&) = delete;
    WalkStatus& operator=(const WalkStatus&) = delete;

    // To hand to the walk.
    WalkProgress& Progress() { return progress_; }
    bool Stopped() const { return progress_.stopped(); }

    std::uint32_t Milliseconds() override;
    // Takes an Esc key press out of the queue and nothing else.
    bool StopRequested() override;
    void Show(std::int64_t files, std::int64_t folders) override;

private:
    // Written as the window writes its hint line, after a blank.
    void Say(const std::string& text);

    ui::TStatusBar& bar_;
    ui::TControl& window_;
    Purpose purpose_;
    std::int64_t total_;
    bool shown_ = false;
    // Last: it reads the clock through this object as it starts.
    WalkProgress progress_;
};
