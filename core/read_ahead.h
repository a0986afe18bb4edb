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
    // What may be held ahead of the walk: listings, and bytes (the listings
    // and the bookkeeping of the folders known ahead, see ReadAhead).
    std::size_t MaxListings = 4096;
    std::size_t MaxBytes = 32 * 1024 * 1024;
    // Called on a worker with the folder (ending in "\") it is about to open.
    std::function<void(const std::wstring& folder)> BeforeWorkerOpens;
    // Called, on a worker or on the walk's thread, with a folder just read,
    // before its sub-folders are recorded; what it throws turns the
    // read-ahead off as any failure of its bookkeeping would.
    std::function<void(const std::wstring& folder)> BeforeRecording;
};
extern ReadAheadSettings ReadAheadSetup;

// The most a read-ahead held at once, for tests.
struct ReadAheadPeak {
    std::size_t Listings = 0;
    std::size_t Bytes = 0;
    // The most one read added: its listing and the folders it made known.
    std::size_t LargestRead = 0;
};

// Reads the folders of one walk ahead of it, on worker threads, in the walk's
// own order, for as long as the object lives; the walk runs on the thread
// that made it and takes each folder's listing through ReadFolder. The
// read-ahead runs its own instance of the walk's order (see walk_order.h)
// over the listings read, their sub-folders under the walk rule, so the walk
// announces nothing but its start, and workers read only folders the order
// hands out, soonest first.
//
// At most MaxListings listings or MaxBytes are held ahead of the walk, both
// checked before each read, so that at most one listing per worker goes over
// them. The bytes count the listings and the bookkeeping held ahead: each
// folder known and not yet taken (its path and place), and in slot order the
// paths its order holds and the sub-folders waiting for it. The walk reads
// its first folder itself, and any other it needs that no worker has
// started. Each folder is read once.
//
// Nothing thrown on a worker, or by the bookkeeping on the walk's thread,
// reaches the walk: the read-ahead turns off and the walk reads the rest
// itself. Nothing on the walk's thread waits for a worker inside a read
// (a share that stopped answering): when the object goes, such a worker is
// let go, ends after its read and throws it away; later read-aheads reap
// those that ended. While kMaxLetGo are let go and still reading, walks
// start no workers; the program ends without waiting for them.
class ReadAhead {
public:
    static constexpr int kMaxLetGo = 8;

    // start: the walk's first folder, in either form, with or without "\".
    ReadAhead(const DiskPath& start, WalkOrder order);
    ~ReadAhead();
    ReadAhead(const ReadAhead&) = delete;
    ReadAhead& operator=(const ReadAhead&) = delete;

    // The number of worker threads a read-ahead starts, none let go.
    static int WorkerCount();
    // What the last read-ahead that ended held at most.
    static ReadAheadPeak LastPeak();

    // What the walk and its workers share; it lives as long as any of them.
    struct Shared;

private:
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
