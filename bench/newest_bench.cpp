// Times the newest-files walk of the benchmarks' tree of 100,000 files in
// 5,000 folders against a bare directory walk in the same run, and beside it
// the walk as first written down: pending folders in a fixed array of 5,001
// slots scanned from slot 0, and a scan of all 500 held files for the oldest
// at every file once the table is full; and the walk as the page runs it,
// looking at the clock and for Esc. The goal is within 1.1 of the bare walk,
// without read-ahead. Then the page's walk reading ahead, against the bare
// walk (within 0.7) and against the bare walk split over as many threads as
// the read-ahead has workers (within 1.2).
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "bench/bench_tree.h"
#include "bench/stopwatch.h"
#include "bench/watched_walk.h"
#include "core/find_file.h"
#include "core/walk_rule.h"
#include "files/newest_table.h"

namespace {

constexpr int kRounds = 7;

class LiteralWalk {
public:
    int Walk(const std::string& folder)
    {
        held_ = 0;
        for (std::string& slot : slots_)
            slot.clear();
        List(folder);
        for (;;) {
            int lowest = -1;
            for (int i = 0; i < static_cast<int>(slots_.size()) && lowest < 0; ++i)
                if (!slots_[static_cast<std::size_t>(i)].empty())
                    lowest = i;
            if (lowest < 0)
                return held_;
            const std::string path = slots_[static_cast<std::size_t>(lowest)];
            List(path);
            slots_[static_cast<std::size_t>(lowest)].clear();
        }
    }
    const std::vector<NewestEntry>& Table() const { return table_; }

private:
    int FindOldest() const
    {
        int oldest = 1;
        for (int p = 2; p <= NewestCapacity; ++p)
            if (CompareFileTime(&table_[static_cast<std::size_t>(p)].WriteTime,
                                &table_[static_cast<std::size_t>(oldest)].WriteTime) < 0)
                oldest = p;
        return oldest;
    }
    void List(const std::string& folder)
    {
        for (FindFile entry(folder + "*.*"); entry; entry.next()) {
            FILETIME local{};
            FileTimeToLocalFileTime(&entry.data().ftLastWriteTime, &local);
            if (entry.isFolder()) {
                if (IsWalkableFolder(entry.data()))
                    for (std::string& slot : slots_)
                        if (slot.empty()) {
                            slot = folder + std::string(entry.name()) + "\\";
                            break;
                        }
                continue;
            }
            int position = 0;
            if (held_ < NewestCapacity) {
                position = ++held_;
            } else {
                const int oldest = FindOldest();
                if (CompareFileTime(&table_[static_cast<std::size_t>(oldest)].WriteTime, &local) < 0)
                    position = oldest;
            }
            if (position == 0)
                continue;
            NewestEntry& kept = table_[static_cast<std::size_t>(position)];
            kept.Name = entry.name();
            kept.Folder = folder;
            kept.Size = entry.size();
            kept.WriteTime = local;
            FileTimeToSystemTime(&local, &kept.Stamp);
        }
    }

    std::vector<std::string> slots_ = std::vector<std::string>(5001);
    std::vector<NewestEntry> table_ = std::vector<NewestEntry>(NewestCapacity + 1);
    int held_ = 0;
};

bool SameTables(const std::vector<NewestEntry>& a, const std::vector<NewestEntry>& b, int count)
{
    for (int p = 1; p <= count; ++p) {
        const NewestEntry& x = a[static_cast<std::size_t>(p)];
        const NewestEntry& y = b[static_cast<std::size_t>(p)];
        if (x.Name != y.Name || x.Folder != y.Folder || x.Size != y.Size)
            return false;
    }
    return true;
}

}  // namespace

int main()
{
    const std::string root = bench_tree::BenchTree();
    if (root.empty())
        return 1;
    const std::string start = root + "\\";

    // One round of each first, so all start with the directories cached;
    // then they take turns going first, and the best round of each counts.
    LiteralWalk literal;
    const int workers = ReadAhead::WorkerCount();
    std::int64_t bareTotal = bench_tree::BareWalk(start);
    std::int64_t parallelTotal = bench_tree::BareParallelWalk(start, workers);
    int count = WalkNewest(root);
    int literalCount = literal.Walk(start);
    double bare = 1e300, walk = 1e300, literalWalk = 1e300, watched = 1e300, parallel = 1e300, ahead = 1e300;
    int watchedCount = 0;
    bool sameAhead = true;
    WatchedWalk observer;
    for (int round = 0; round < kRounds; ++round) {
        auto timeBare = [&] {
            KeepBest(bare, [&] { bareTotal = bench_tree::BareWalk(start); });
            KeepBest(parallel, [&] { parallelTotal = bench_tree::BareParallelWalk(start, workers); });
        };
        auto timeWalk = [&] { WithReadAhead(false, [&] { KeepBest(walk, [&] { count = WalkNewest(root); }); }); };
        auto timeLiteral = [&] { KeepBest(literalWalk, [&] { literalCount = literal.Walk(start); }); };
        auto timeWatched = [&] {
            WithReadAhead(false, [&] {
                KeepBest(watched, [&] {
                    WalkProgress progress(observer);
                    watchedCount = WalkNewest(root, progress);
                });
            });
            KeepBest(ahead, [&] {
                WalkProgress progress(observer);
                sameAhead = WalkNewest(root, progress) == count && sameAhead;
            });
            sameAhead = SameTables(NewestTable, literal.Table(), count) && sameAhead;
        };
        if (round % 2 == 0) {
            timeBare();
            timeWalk();
            timeLiteral();
            timeWatched();
        } else {
            timeWatched();
            timeLiteral();
            timeWalk();
            timeBare();
        }
    }

    const bool same = count == literalCount && SameTables(NewestTable, literal.Table(), count);
    std::printf("tree: %lld bytes; %d files kept, %s the literal walk's table\n", static_cast<long long>(bareTotal),
                count, same ? "the same as" : "NOT the same as");
    std::printf("bare walk      %8.1f ms (best of %d)\n", bare, kRounds);
    std::printf("WalkNewest     %8.1f ms\n", walk);
    std::printf("literal walk   %8.1f ms\n", literalWalk);
    std::printf("ratio          %8.2f (goal: within 1.1); literal walk %.2f\n", walk / bare, literalWalk / bare);
    std::printf("watched        %8.1f ms\n", watched);
    std::printf("ratio          %8.2f (goal: within 1.1)\n", watched / bare);
    std::printf("read-ahead workers: %d; its tables %s the literal walk's\n", workers,
                sameAhead ? "the same as" : "NOT the same as");
    std::printf("watched, reading ahead   %8.1f ms\n", ahead);
    std::printf("ratio to the bare walk   %8.2f (goal: within 0.7)\n", ahead / bare);
    std::printf("bare walk on %d threads   %8.1f ms\n", workers, parallel);
    std::printf("ratio to it              %8.2f (goal: within 1.2)\n", ahead / parallel);
    return same && sameAhead && count == NewestCapacity && watchedCount == count && parallelTotal == bareTotal ? 0 : 1;
}
