#pragma once
#include <cstdint>

// What a window lets a long walk ask, now and then: the time, whether the
// user asked to stop, and where to show how far the walk has come.
class WalkObserver {
public:
    virtual ~WalkObserver() = default;
    // Milliseconds from any fixed point; may wrap around.
    virtual std::uint32_t Milliseconds() = 0;
    virtual bool StopRequested() = 0;
    virtual void Show(std::int64_t files, std::int64_t folders) = 0;
};

// Counts the entries of one walk and tells it whether to go on. The walk
// calls file() or folder() for each entry it has taken in and stops before
// the next one once the answer is false; the answer stays false from then on.
// Only every few hundred entries is the observer consulted, so a walk costs
// next to nothing more for it; an object without an observer never stops.
class WalkProgress {
public:
    // The first show comes this long after the start, so a short walk shows
    // nothing; then at most one per interval.
    static constexpr std::uint32_t kFirstShowMs = 500;
    static constexpr std::uint32_t kShowIntervalMs = 100;
    static constexpr int kEntriesPerLook = 256;
    // A folder costs a directory search, many times a file's cost, so it
    // brings the next look nearer by this many entries.
    static constexpr int kFolderWeight = 16;

    WalkProgress() = default;
    // The start time is taken now. entriesPerLook lets tests look at every entry.
    explicit WalkProgress(WalkObserver& observer, int entriesPerLook = kEntriesPerLook);
    WalkProgress(const WalkProgress&) = delete;
    WalkProgress& operator=(const WalkProgress&) = delete;

    bool file()
    {
        ++files_;
        return Count(1);
    }
    bool folder()
    {
        ++folders_;
        return Count(kFolderWeight);
    }
    // For a walk that waits on something it cannot count (a folder read on
    // another thread): looks as a count would, once kShowIntervalMs have
    // passed since the last look.
    bool waiting();
    bool stopped() const { return stopped_; }
    std::int64_t files() const { return files_; }
    std::int64_t folders() const { return folders_; }

private:
    bool Count(int weight)
    {
        untilLook_ -= weight;
        if (untilLook_ > 0)
            return !stopped_;
        return Look();
    }
    bool Look();

    WalkObserver* observer_ = nullptr;
    int entriesPerLook_ = kEntriesPerLook;
    int untilLook_ = kEntriesPerLook;
    std::int64_t files_ = 0;
    std::int64_t folders_ = 0;
    std::uint32_t nextShow_ = 0;
    std::uint32_t lastLook_ = 0;
    bool stopped_ = false;
};
