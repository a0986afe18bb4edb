#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

#include "app/walk_status.h"
#include "ui/cursor.h"

// How a run of renames went.
struct RenameRun {
    std::int64_t done = 0;
    std::int64_t failed = 0;
    std::int64_t left = 0;  // not tried, once Esc stopped the run
    bool stopped = false;
};

// Runs rename(i) for i = 0..count-1, each answering whether it renamed,
// under the hourglass and watched from the window's status bar, until Esc.
template <class Rename>
RenameRun RunRenames(ui::TStatusBar& bar, ui::TControl& window, std::size_t count, Rename rename)
{
    RenameRun run;
    ui::HourglassCursor hourglass;
    WalkStatus status(bar, window, WalkStatus::Purpose::Rename, static_cast<std::int64_t>(count));
    for (std::size_t i = 0; i < count; ++i) {
        ++(rename(i) ? run.done : run.failed);
        if (!status.Progress().file()) {
            run.stopped = true;
            run.left = static_cast<std::int64_t>(count - i - 1);
            break;
        }
    }
    return run;
}

// The status bar's text after a run of renames, and after one that undid them.
std::string RenamedText(const RenameRun& run);
std::string UndoneText(const RenameRun& run);
