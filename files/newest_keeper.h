#pragma once
#include <cstdint>
#include <utility>
#include <vector>

// Which table positions the newest-files walk fills and overwrites. Files are
// offered with their write times; positions 1 to the capacity are filled in
// turn, after that a file takes the position of the oldest held one if it is
// strictly newer, else it is dropped. The oldest is the earliest time, and of
// equal earliest times the lowest position. A min-heap of (time, position)
// finds it in O(log capacity).
class NewestKeeper {
public:
    explicit NewestKeeper(int capacity) : capacity_(capacity) {}

    // Forgets every held position.
    void clear() { oldest_.clear(); }
    int held() const { return static_cast<int>(oldest_.size()); }
    // The held position a newer file replaces next; only when something is
    // held.
    int FindOldest() const { return oldest_.front().second; }
    // The position where a file of the time is to be stored, or 0 when it is
    // dropped.
    int offer(std::uint64_t time);

private:
    int capacity_;
    std::vector<std::pair<std::uint64_t, int>> oldest_;  // heap, least first
};
