#include "files/newest_keeper.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "core/pending_folders.h"
#include "tests/core/literal_slots.h"

namespace {

// The table as first written down: times at positions 1 to capacity, the
// oldest found by a scan from position 1 that moves only to a strictly
// earlier time.
class LiteralTable {
public:
    explicit LiteralTable(int capacity) : times_(static_cast<std::size_t>(capacity) + 1) {}

    int FindOldest() const
    {
        int oldest = 1;
        for (int p = 2; p < static_cast<int>(times_.size()); ++p)
            if (times_[static_cast<std::size_t>(p)] < times_[static_cast<std::size_t>(oldest)])
                oldest = p;
        return oldest;
    }
    int offer(std::uint64_t time)
    {
        if (held_ + 1 < static_cast<int>(times_.size())) {
            times_[static_cast<std::size_t>(++held_)] = time;
            return held_;
        }
        const int oldest = FindOldest();
        if (!(times_[static_cast<std::size_t>(oldest)] < time))
            return 0;
        times_[static_cast<std::size_t>(oldest)] = time;
        return oldest;
    }
    int held() const { return held_; }

private:
    std::vector<std::uint64_t> times_;
    int held_ = 0;
};

using Stream = std::vector<std::uint64_t>;

// A file of the model tree: its number and time; or, with time unset, a
// sub-folder.
struct Entry {
    int id;
    std::uint64_t time;
    bool folder;
};
using Tree = std::vector<std::vector<Entry>>;  // node 0 is the root

struct Kept {
    std::vector<int> idAt;  // file number at each position, 1 to held
    bool operator==(const Kept&) const = default;
};

// The newest-files walk over the model tree with either pair of structures.
template <class Slots, class Table>
Kept Walk(const Tree& tree, Slots& pending, Table& table, int capacity)
{
    Kept kept{std::vector<int>(static_cast<std::size_t>(capacity) + 1, 0)};
    auto list = [&](int node) {
        for (const Entry& entry : tree[static_cast<std::size_t>(node)]) {
            if (entry.folder)
                pending.add(std::to_string(entry.id));
            else if (const int position = table.offer(entry.time))
                kept.idAt[static_cast<std::size_t>(position)] = entry.id;
        }
    };
    WalkInSlotOrder(pending, list);
    kept.idAt.resize(static_cast<std::size_t>(table.held()) + 1);
    return kept;
}

class NewestKeeperTest : public testing::Test {
protected:
    // Offers the stream to both and compares every answer and, while full,
    // every oldest position.
    void ExpectSameChoices(const Stream& stream, int capacity)
    {
        NewestKeeper keeper(capacity);
        LiteralTable literal(capacity);
        for (std::size_t i = 0; i < stream.size(); ++i) {
            ASSERT_EQ(keeper.offer(stream[i]), literal.offer(stream[i])) << "file " << i << " of " << capacity;
            ASSERT_EQ(keeper.held(), literal.held());
            if (literal.held() == capacity) {
                ASSERT_EQ(keeper.FindOldest(), literal.FindOldest()) << "file " << i << " of " << capacity;
            }
        }
    }

    Stream Random(std::size_t length, std::uint64_t range)
    {
        Stream stream(length);
        for (auto& time : stream)
            time = random() % range;
        return stream;
    }

    std::mt19937_64 random{500};
};

TEST_F(NewestKeeperTest, ChoosesAsTheLinearScanOnEveryKindOfStream)
{
    const std::uint64_t base = 132000000000000000ULL;
    for (int capacity : {1, 2, 3, 7, 64, 500}) {
        const std::size_t length = static_cast<std::size_t>(capacity) * 4 + 30;
        Stream equal(length, base), ascending(length), descending(length), oldestTwice(length);
        for (std::size_t i = 0; i < length; ++i) {
            ascending[i] = base + i;
            descending[i] = base + length - i;
            // Many copies of the oldest time among newer ones.
            oldestTwice[i] = i % 3 == 0 ? base : base + 1 + random() % 5;
        }
        for (const Stream& stream : {equal, ascending, descending, oldestTwice})
            ExpectSameChoices(stream, capacity);
        // Thousands of short streams, a few long ones.
        for (int round = 0; round < 1 + 2000 / capacity; ++round) {
            ExpectSameChoices(Random(length, 1 + random() % 8), capacity);
            ExpectSameChoices(Random(length, ~std::uint64_t{0}), capacity);
        }
        if (HasFatalFailure())
            return;
    }
}

TEST_F(NewestKeeperTest, EqualOldestTimesLeaveFromTheLowestPositionAndTieNeverEnters)
{
    NewestKeeper keeper(3);
    EXPECT_EQ(keeper.offer(5), 1);
    EXPECT_EQ(keeper.offer(4), 2);
    EXPECT_EQ(keeper.offer(4), 3);
    EXPECT_EQ(keeper.FindOldest(), 2);
    EXPECT_EQ(keeper.offer(4), 0);
    EXPECT_EQ(keeper.offer(9), 2);
    EXPECT_EQ(keeper.offer(9), 3);
    EXPECT_EQ(keeper.FindOldest(), 1);
    keeper.clear();
    EXPECT_EQ(keeper.held(), 0);
    EXPECT_EQ(keeper.offer(1), 1);
}

TEST_F(NewestKeeperTest, WalksOfRandomTreesKeepWhatTheLiteralWalkKeeps)
{
    PendingFolders pending;
    LiteralSlots slots;
    for (int t = 0; t < 1500; ++t) {
        const int capacity = t % 3 == 0 ? 500 : 1 + static_cast<int>(random() % 40);
        const int folders = 1 + static_cast<int>(random() % 80);
        const std::uint64_t range = 1 + random() % (t % 2 ? 10 : 100000);
        // Folders 1.. hang below random earlier ones; files go into random
        // folders, all mixed in each folder's listing order.
        Tree tree(static_cast<std::size_t>(folders));
        int id = folders;
        for (int f = 1; f < folders; ++f)
            tree[random() % static_cast<std::size_t>(f)].push_back({f, 0, true});
        const int files = static_cast<int>(random() % (capacity * 3 + 20));
        for (int n = 0; n < files; ++n) {
            auto& listing = tree[random() % tree.size()];
            listing.insert(listing.begin() + static_cast<std::ptrdiff_t>(random() % (listing.size() + 1)),
                           {id++, random() % range, false});
        }
        NewestKeeper keeper(capacity);
        LiteralTable literal(capacity);
        const Kept expected = Walk(tree, slots, literal, capacity);
        ASSERT_EQ(Walk(tree, pending, keeper, capacity), expected) << "tree " << t;
    }
}

}  // namespace
