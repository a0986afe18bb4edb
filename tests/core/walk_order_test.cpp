// Both walk orders, fed as the walk feeds them (a sub-folder at a time,
// inside its parent's listing) and as the read-ahead does (whole listings,
// one folder after another, asking ahead between): the same folders in the
// same order as the orders' models, and ahead() never hands out a folder the
// order will not.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "core/walk_order.h"
#include "tests/core/literal_slots.h"

namespace {

// Node n's sub-folders, numbered; node 0 is the first folder.
using Tree = std::vector<std::vector<int>>;

Tree MakeTree(std::uint32_t seed, int nodes)
{
    Tree tree(1);
    std::vector<int> open{0};
    while (static_cast<int>(tree.size()) < nodes) {
        seed = seed * 1664525u + 1013904223u;
        const int parent = open[(seed >> 8) % open.size()];
        tree[static_cast<std::size_t>(parent)].push_back(static_cast<int>(tree.size()));
        open.push_back(static_cast<int>(tree.size()));
        tree.emplace_back();
    }
    return tree;
}

DiskPath PathOf(int node)
{
    return DiskPath(std::to_string(node));
}

int NodeOf(const DiskPath& path)
{
    return std::stoi(path.Shown);
}

std::vector<int> DepthModel(const Tree& tree)
{
    std::vector<int> order;
    std::function<void(int)> list = [&](int node) {
        order.push_back(node);
        for (const int sub : tree[static_cast<std::size_t>(node)])
            list(sub);
    };
    list(0);
    return order;
}

std::vector<int> SlotModel(const Tree& tree)
{
    std::vector<int> order;
    LiteralSlots slots;
    WalkInSlotOrder(slots, [&](int node) {
        order.push_back(node);
        for (const int sub : tree[static_cast<std::size_t>(node)])
            slots.add(std::to_string(sub));
    });
    return order;
}

// As the walk feeds it: depth first, a sub-folder found is listed at once.
template <class Order>
std::vector<int> AsTheWalk(Order& order, const Tree& tree)
{
    std::vector<int> listed;
    std::function<void(int)> list = [&](int node) {
        listed.push_back(node);
        for (const int sub : tree[static_cast<std::size_t>(node)]) {
            order.found(PathOf(sub));
            DiskPath inner;
            while (order.next(inner))
                list(NodeOf(inner));
        }
        order.done();
    };
    order.start(PathOf(0));
    DiskPath folder;
    while (order.next(folder))
        list(NodeOf(folder));
    return listed;
}

// As the read-ahead feeds it: each folder's listing whole, then the next;
// between, some folders are taken ahead.
template <class Order>
std::vector<int> AsTheReadAhead(Order& order, const Tree& tree, std::vector<int>& ahead)
{
    std::vector<int> listed;
    order.start(PathOf(0));
    DiskPath folder;
    while (order.next(folder)) {
        const int node = NodeOf(folder);
        listed.push_back(node);
        for (const int sub : tree[static_cast<std::size_t>(node)])
            order.found(PathOf(sub));
        order.done();
        for (int i = node % 3; i > 0 && order.ahead(folder); --i)
            ahead.push_back(NodeOf(folder));
    }
    return listed;
}

TEST(WalkOrderTest, FedAsTheWalkOrAsTheReadAheadTheOrdersListAsTheirModels)
{
    for (const std::uint32_t seed : {1u, 7u, 42u}) {
        const Tree tree = MakeTree(seed, 400);
        SCOPED_TRACE(seed);
        {
            DepthFirstOrder walk, ahead;
            std::vector<int> taken;
            EXPECT_EQ(AsTheWalk(walk, tree), DepthModel(tree));
            EXPECT_EQ(AsTheReadAhead(ahead, tree, taken), DepthModel(tree));
            EXPECT_EQ(std::set<int>(taken.begin(), taken.end()).size(), taken.size());
            EXPECT_EQ(walk.bytes(), 0u);
        }
        {
            PendingFolders walkSlots, aheadSlots;
            SlotOrder walk(walkSlots), ahead(aheadSlots);
            std::vector<int> taken;
            EXPECT_EQ(AsTheWalk(walk, tree), SlotModel(tree));
            EXPECT_EQ(AsTheReadAhead(ahead, tree, taken), SlotModel(tree));
            EXPECT_EQ(std::set<int>(taken.begin(), taken.end()).size(), taken.size());
            EXPECT_TRUE(walkSlots.empty());
        }
    }
}

TEST(WalkOrderTest, AheadHandsOutTheSoonestFoldersNotYetListed)
{
    // 0 holds 1 and 2; 1 holds 3 and 4.
    const Tree tree{{1, 2}, {3, 4}, {}, {}, {}};
    DepthFirstOrder depth;
    depth.start(PathOf(0));
    DiskPath folder;
    ASSERT_TRUE(depth.next(folder));
    EXPECT_FALSE(depth.ahead(folder));  // the first folder is never ahead
    depth.found(PathOf(1));
    depth.found(PathOf(2));
    depth.done();
    ASSERT_TRUE(depth.next(folder));
    EXPECT_EQ(NodeOf(folder), 1);
    ASSERT_TRUE(depth.ahead(folder));
    EXPECT_EQ(NodeOf(folder), 2);
    depth.found(PathOf(3));
    depth.found(PathOf(4));
    // 1's sub-folders come before 2, already ahead.
    ASSERT_TRUE(depth.ahead(folder));
    EXPECT_EQ(NodeOf(folder), 3);
    ASSERT_TRUE(depth.ahead(folder));
    EXPECT_EQ(NodeOf(folder), 4);
    EXPECT_FALSE(depth.ahead(folder));

    PendingFolders pending;
    SlotOrder slots(pending);
    slots.start(PathOf(0));
    ASSERT_TRUE(slots.next(folder));
    EXPECT_FALSE(slots.ahead(folder));
    slots.found(PathOf(1));
    slots.found(PathOf(2));
    EXPECT_FALSE(slots.next(folder));  // nothing while a folder is listed
    slots.done();
    ASSERT_TRUE(slots.next(folder));
    EXPECT_EQ(NodeOf(folder), 1);
    ASSERT_TRUE(slots.ahead(folder));
    EXPECT_EQ(NodeOf(folder), 2);
    // 1 still holds slot 0: 3 takes slot 2, after 2.
    slots.found(PathOf(3));
    ASSERT_TRUE(slots.ahead(folder));
    EXPECT_EQ(NodeOf(folder), 3);
}

}  // namespace
