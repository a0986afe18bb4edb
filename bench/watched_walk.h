#pragma once
// What a page's walk progress asks of the system (the clock, the queue for
// Esc), without a window to show in: for timing a walk as a page runs it.
#include <windows.h>

#include "app/walk_status.h"
#include "core/read_ahead.h"
#include "core/walk_progress.h"

class WatchedWalk : public WalkObserver {
public:
    std::uint32_t Milliseconds() override { return GetTickCount(); }
    bool StopRequested() override { return TakeEscapeKey(); }
    void Show(std::int64_t, std::int64_t) override {}
};

// Runs the work with the walks reading ahead or not, then sets it back.
template <class Work>
void WithReadAhead(bool on, Work work)
{
    const bool was = ReadAheadSetup.Enabled;
    ReadAheadSetup.Enabled = on;
    work();
    ReadAheadSetup.Enabled = was;
}
