// Times the folder scan of a tree of 100,000 files in 5,000 folders against a
// bare recursive directory walk that only sums the sizes, in the same run, and
// prints the ratio (the goal is within 1.15), for the scan alone and for the
// scan as the folder page runs it, looking at the clock and for Esc, both
// without read-ahead. Then the page's scan reading ahead, against the bare
// walk (within 0.7) and against the bare walk split over as many threads as
// the read-ahead has workers (within 1.2).
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>

#include "bench/bench_tree.h"
#include "bench/stopwatch.h"
#include "bench/watched_walk.h"
#include "core/sizes.h"
#include "folders/folder_scan.h"

namespace {

constexpr int kRounds = 11;

}  // namespace

int main()
{
    const std::string root = bench_tree::BenchTree();
    if (root.empty())
        return 1;
    ClusterSize = 4096;

    // One round of each first, so both start with the directories cached;
    // then they take turns going first, and the best round of each counts,
    // the one least disturbed by whatever else the machine does.
    const int workers = ReadAhead::WorkerCount();
    std::int64_t bareTotal = bench_tree::BareWalk(root + "\\");
    std::int64_t parallelTotal = bench_tree::BareParallelWalk(root + "\\", workers);
    std::int32_t count = ScanFolder(root, false);
    double bare = 1e300, scan = 1e300, watched = 1e300, parallel = 1e300, ahead = 1e300;
    std::int32_t watchedCount = 0, aheadCount = 0;
    WatchedWalk observer;
    auto timeBare = [&] {
        KeepBest(bare, [&] { bareTotal = bench_tree::BareWalk(root + "\\"); });
        KeepBest(parallel, [&] { parallelTotal = bench_tree::BareParallelWalk(root + "\\", workers); });
    };
    auto timeScan = [&] {
        WithReadAhead(false, [&] { KeepBest(scan, [&] { count = ScanFolder(root, false); }); });
    };
    auto timeWatched = [&] {
        WithReadAhead(false, [&] {
            KeepBest(watched, [&] {
                WalkProgress progress(observer);
                watchedCount = ScanFolder(root, false, progress);
            });
        });
        KeepBest(ahead, [&] {
            WalkProgress progress(observer);
            aheadCount = ScanFolder(root, false, progress);
        });
    };
    for (int round = 0; round < kRounds; ++round) {
        if (round % 2 == 0) {
            timeBare();
            timeScan();
            timeWatched();
        } else {
            timeWatched();
            timeScan();
            timeBare();
        }
    }

    std::int64_t scanTotal = 0;
    std::int64_t files = 0;
    for (std::int32_t i = 0; i < count; ++i) {
        scanTotal += FolderTable[static_cast<std::size_t>(i)].Size;
        files += FolderTable[static_cast<std::size_t>(i)].FileCount;
    }
    std::printf("tree: %lld files, %lld bytes (bare walk: %lld bytes)\n", static_cast<long long>(files),
                static_cast<long long>(scanTotal), static_cast<long long>(bareTotal));
    std::printf("bare walk   %8.1f ms (best of %d)\n", bare, kRounds);
    std::printf("ScanFolder  %8.1f ms (best of %d)\n", scan, kRounds);
    std::printf("ratio       %8.2f (goal: within 1.15)\n", scan / bare);
    std::printf("watched     %8.1f ms (best of %d)\n", watched, kRounds);
    std::printf("ratio       %8.2f (goal: within 1.15)\n", watched / bare);
    std::printf("read-ahead workers: %d\n", workers);
    std::printf("watched, reading ahead   %8.1f ms (best of %d)\n", ahead, kRounds);
    std::printf("ratio to the bare walk   %8.2f (goal: within 0.7)\n", ahead / bare);
    std::printf("bare walk on %d threads   %8.1f ms (best of %d)\n", workers, parallel, kRounds);
    std::printf("ratio to it              %8.2f (goal: within 1.2)\n", ahead / parallel);
    return scanTotal == bareTotal && parallelTotal == bareTotal && watchedCount == count && aheadCount == count
        ? 0 : 1;
}
