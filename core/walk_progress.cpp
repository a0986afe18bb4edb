#include "core/walk_progress.h"

WalkProgress::WalkProgress(WalkObserver& observer, int entriesPerLook)
    : observer_(&observer),
      entriesPerLook_(entriesPerLook),
      untilLook_(entriesPerLook),
      nextShow_(observer.Milliseconds() + kFirstShowMs),
      lastLook_(nextShow_ - kFirstShowMs)
{
}

bool WalkProgress::waiting()
{
    if (!observer_ || stopped_)
        return !stopped_;
    if (observer_->Milliseconds() - lastLook_ < kShowIntervalMs)
        return true;
    return Look();
}

bool WalkProgress::Look()
{
    untilLook_ = entriesPerLook_;
    if (!observer_ || stopped_)
        return !stopped_;
    const std::uint32_t now = observer_->Milliseconds();
    lastLook_ = now;
    // Compared through the difference, which stays right when the clock wraps.
    if (static_cast<std::int32_t>(now - nextShow_) >= 0) {
        observer_->Show(files_, folders_);
        nextShow_ = now + kShowIntervalMs;
    }
    stopped_ = observer_->StopRequested();
    return !stopped_;
}
