// Times the CD/DVD name check's walk of the tree of 100,000 files in 5,000
// folders against a bare recursive directory walk that only sums the sizes,
// in the same run, and prints the ratio (the goal is within 1.1), for the walk
// alone and for the walk as the page runs it, looking at the clock and for Esc,
// both without read-ahead. Then the page's walk reading ahead, against the
// bare walk (within 0.7) and against the bare walk split over as many threads
// as the read-ahead has workers (within 1.2).
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "bench/bench_tree.h"
#include "bench/stopwatch.h"
#include "bench/watched_walk.h"
#include "rename/joliet_table.h"

namespace {

constexpr int kRounds = 11;

}  // namespace

int main()
{
    const std::string root = bench_tree::BenchTree();
    if (root.empty())
        return 1;

    // One round of each first, so both start with the directories cached;
    // then they take turns going first, and the best round of each counts.
    const int workers = ReadAhead::WorkerCount();
    std::int64_t bareTotal = bench_tree::BareWalk(root + "\\");
    std::int64_t parallelTotal = bench_tree::BareParallelWalk(root + "\\", workers);
    int count = WalkJoliet(root);
    double bare = 1e300, walk = 1e300, watched = 1e300, parallel = 1e300, ahead = 1e300;
    int watchedCount = 0, aheadCount = 0;
    WatchedWalk observer;
    auto timeBare = [&] {
        KeepBest(bare, [&] { bareTotal = bench_tree::BareWalk(root + "\\"); });
        KeepBest(parallel, [&] { parallelTotal = bench_tree::BareParallelWalk(root + "\\", workers); });
    };
    auto timeWalk = [&] { WithReadAhead(false, [&] { KeepBest(walk, [&] { count = WalkJoliet(root); }); }); };
    auto timeWatched = [&] {
        WithReadAhead(false, [&] {
            KeepBest(watched, [&] {
                WalkProgress progress(observer);
                watchedCount = WalkJoliet(root, progress);
            });
        });
        KeepBest(ahead, [&] {
            WalkProgress progress(observer);
            aheadCount = WalkJoliet(root, progress);
        });
    };
    for (int round = 0; round < kRounds; ++round) {
        if (round % 2 == 0) {
            timeBare();
            timeWalk();
            timeWatched();
        } else {
            timeWatched();
            timeWalk();
            timeBare();
        }
    }

    std::printf("tree: %lld bytes, %d names listed\n", static_cast<long long>(bareTotal), count);
    std::printf("bare walk   %8.1f ms (best of %d)\n", bare, kRounds);
    std::printf("WalkJoliet  %8.1f ms (best of %d)\n", walk, kRounds);
    std::printf("ratio       %8.2f (goal: within 1.1)\n", walk / bare);
    std::printf("watched     %8.1f ms (best of %d)\n", watched, kRounds);
    std::printf("ratio       %8.2f (goal: within 1.1)\n", watched / bare);
    std::printf("read-ahead workers: %d\n", workers);
    std::printf("watched, reading ahead   %8.1f ms (best of %d)\n", ahead, kRounds);
    std::printf("ratio to the bare walk   %8.2f (goal: within 0.7)\n", ahead / bare);
    std::printf("bare walk on %d threads   %8.1f ms (best of %d)\n", workers, parallel, kRounds);
    std::printf("ratio to it              %8.2f (goal: within 1.2)\n", ahead / parallel);
    return watchedCount == count && aheadCount == count && parallelTotal == bareTotal ? 0 : 1;
}
