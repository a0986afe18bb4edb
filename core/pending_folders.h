#pragma once
#include <queue>
#include <set>
#include <string>
#include <vector>

#include "core/disk_path.h"

// Folders found by a walk and not yet listed, in numbered slots. A new folder
// takes the lowest-numbered free slot; the walk lists the folder in the
// lowest-numbered occupied slot next and frees that slot only once the
// listing is done, so folders found meanwhile may take slots below it. This
// order decides which files a walk meets first, so it is kept exactly; both
// choices cost O(log n), and the slots grow without limit.
class PendingFolders {
public:
    void clear();
    // Stores the path in the lowest free slot and returns the slot's number.
    int add(DiskPath path);
    bool empty() const { return occupied_.empty(); }
    // The lowest occupied slot; only when not empty.
    int lowest() const { return *occupied_.begin(); }
    // The path held in an occupied slot. A later add may move it: copy it
    // before adding.
    const DiskPath& path(int slot) const { return slots_[static_cast<std::size_t>(slot)]; }
    // Frees an occupied slot for the next folder found.
    void release(int slot);

private:
    std::vector<DiskPath> slots_;  // slots ever used, occupied or free
    std::set<int> occupied_;
    std::priority_queue<int, std::vector<int>, std::greater<int>> free_;  // freed slots below slots_.size()
};
