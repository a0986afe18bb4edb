#pragma once
#ifdef _WIN32
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "core/disk_path.h"
#include "core/find_file.h"
#include "core/walk_progress.h"

// The order in which a walk enters folders, which the read-ahead follows:
// depth first, each folder before its sub-folders, in listing order; or the
// pending-folder slots, the lowest occupied slot first (see PendingFolders).
enum class WalkOrder { Depth, Slots };

// How walks read ahead. Tests and benchmarks change it between walks.
struct ReadAheadSettings {
    bool Enabled = true;
    // Worker threads; 0 takes one per processor, at least 2 and at most 8.
    int Workers = 0;
    // Called on a worker with the folder (ending in "\") it is about to open.
    std::function<void(const std::wstring& folder)> BeforeWorkerOpens;
};
extern ReadAheadSettings ReadAheadSetup;

// Reads the folders of one walk ahead of it, on worker threads, in the walk's
// own order, for as long as the object lives; the walk runs on the thread
// that made it and takes each folder's listing through ReadFolder. Workers
// learn the sub-folders from the listings themselves, under the walk rule, so
// the walk announces nothing but its start.
//
// At most kMaxListings listings or kMaxBytes of them are held ahead of the
// walk, a listing never split. The walk reads its first folder itself, and
// any other it needs that no worker has started. Each folder is read once. When the object goes, idle workers end at once;
// one still inside a read ends after it, discarding it, and the next
// read-ahead waits for it before it starts.
class ReadAhead {
public:
    static constexpr std::size_t kMaxListings = 4096;
    static constexpr std::size_t kMaxBytes = 32 * 1024 * 1024;

    // start: the walk's first folder, in either form, with or without "\".
    ReadAhead(const DiskPath& start, WalkOrder order);
    ~ReadAhead();
    ReadAhead(const ReadAhead&) = delete;
    ReadAhead& operator=(const ReadAhead&) = delete;

    // The number of worker threads a read-ahead starts.
    static int WorkerCount();

private:
    struct Shared;
    static void Work(const std::shared_ptr<Shared>& shared, std::size_t worker);
    friend FindFile ReadFolder(const DiskPath& folder, WalkProgress& progress);
    FindFile take(const std::wstring& folder, WalkProgress& progress);

    ReadAhead* outer_;  // the read-ahead of a walk this one runs inside, if any
    std::shared_ptr<Shared> shared_;  // none while read-ahead is off
    std::vector<std::thread> workers_;
};

// The entries of the folder (ending in "\") for the walk that runs on this
// thread: from its read-ahead when one is running, waiting for a worker still
// reading it while looking at progress; else straight from the disk. Once
// progress says the walk is to stop while it waits, the folder lists as
// empty; stopped while the walk reads it itself, as far as it was read.
FindFile ReadFolder(const DiskPath& folder, WalkProgress& progress);
#endif
