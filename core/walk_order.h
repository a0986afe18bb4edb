#pragma once
#include <cstddef>
#include <set>
#include <vector>

#include "core/disk_path.h"
#include "core/pending_folders.h"

// The order in which a walk lists folders, one rule per class. An order is
// started on the walk's first folder; next() hands out the folder to list
// now, if any; found() gives it each walkable sub-folder of the innermost
// folder being listed, in listing order, and done() says that folder's
// listing is over. A walk runs one instance over the listings it takes; the
// read-ahead runs another over the listings its workers read, and asks
// ahead() for the folders the walk will list soonest.
//
// Depth first (pre-order): each folder before its sub-folders, in listing
// order. A sub-folder found comes next at once, inside its parent's listing.
class DepthFirstOrder {
public:
    void start(DiskPath first);
    void found(DiskPath sub);
    void done();
    // False while the folder being listed has no sub-folder left to enter,
    // and once every folder is listed.
    bool next(DiskPath& folder);
    // The folders found and not yet handed out, each once, soonest first.
    bool ahead(DiskPath& folder);
    // About the memory the paths it holds take.
    std::size_t bytes() const { return bytes_; }
    // Drops what is pending.
    void clear();

private:
    struct Frame {
        std::vector<DiskPath> subs;
        std::size_t entered = 0;  // handed out by next()
        std::size_t started = 0;  // handed out by next() or ahead()
        bool listing = true;
    };
    std::vector<Frame> frames_;  // the folders being listed, outermost first
    std::size_t bytes_ = 0;
};

// The pending-folder slots: the lowest occupied slot next, each folder's slot
// freed once its listing is over (see PendingFolders). Nothing is handed
// out while a folder is being listed. The slots are the caller's.
class SlotOrder {
public:
    explicit SlotOrder(PendingFolders& slots) : slots_(slots) {}
    void start(DiskPath first);
    void found(DiskPath sub);
    void done();
    bool next(DiskPath& folder);
    bool ahead(DiskPath& folder);
    std::size_t bytes() const { return bytes_; }
    // Drops what is pending.
    void clear();

private:
    PendingFolders& slots_;
    std::set<int> notAhead_;  // occupied slots neither listing nor handed ahead
    DiskPath first_;
    bool firstPending_ = false;
    bool listing_ = false;
    int listed_ = -1;  // the slot of the folder being listed; -1 for the first
    std::size_t bytes_ = 0;
};

// About the memory a path takes where an order or the read-ahead keeps it.
std::size_t PathBytes(const DiskPath& path);
