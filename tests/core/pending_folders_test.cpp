#include "core/pending_folders.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "tests/core/literal_slots.h"

namespace {

// A folder tree: node 0 is the root; each node's sub-folders in listing order.
using Tree = std::vector<std::vector<int>>;

// Every node gets up to maxChildren sub-folders until the tree has size nodes.
Tree RandomTree(std::mt19937& random, int size, int maxChildren)
{
    Tree tree(1);
    std::vector<int> open{0};
    while (static_cast<int>(tree.size()) < size && !open.empty()) {
        const std::size_t pick = random() % open.size();
        const int node = open[pick];
        open.erase(open.begin() + static_cast<std::ptrdiff_t>(pick));
        const int children = static_cast<int>(random() % static_cast<unsigned>(maxChildren + 1));
        for (int c = 0; c < children && static_cast<int>(tree.size()) < size; ++c) {
            tree[static_cast<std::size_t>(node)].push_back(static_cast<int>(tree.size()));
            open.push_back(static_cast<int>(tree.size()));
            tree.emplace_back();
        }
    }
    return tree;
}

struct Walked {
    std::vector<int> listed;  // nodes in the order they were listed
    std::vector<int> slots;   // the slot each add returned
    bool operator==(const Walked&) const = default;
};

// The walk's loop over either structure; paths name their nodes.
template <class Slots>
Walked Walk(const Tree& tree, Slots& pending)
{
    Walked walked;
    auto list = [&](int node) {
        walked.listed.push_back(node);
        for (int child : tree[static_cast<std::size_t>(node)])
            walked.slots.push_back(pending.add(std::to_string(child)));
    };
    WalkInSlotOrder(pending, list);
    return walked;
}

class PendingFoldersTest : public testing::Test {
protected:
    void ExpectSameWalk(const Tree& tree, LiteralSlots& literal)
    {
        const Walked expected = Walk(tree, literal);
        ASSERT_EQ(expected.listed.size(), tree.size());
        ASSERT_EQ(Walk(tree, pending), expected);
        EXPECT_TRUE(pending.empty());
    }

    PendingFolders pending;  // reused walk after walk, as the page does
    LiteralSlots literal;
    std::mt19937 random{2024};
};

TEST_F(PendingFoldersTest, WalksRandomTreesInTheOrderOfTheSlotArray)
{
    struct Shape { int trees, size, maxChildren; };
    const Shape shapes[] = {{2000, 40, 3}, {1000, 200, 6}, {100, 1500, 30}, {5, 5000, 2}};
    for (const Shape& shape : shapes)
        for (int t = 0; t < shape.trees; ++t) {
            ExpectSameWalk(RandomTree(random, shape.size, shape.maxChildren), literal);
            if (HasFatalFailure())
                return;
        }
}

TEST_F(PendingFoldersTest, GrowsPastTheArrayWithTheSameRule)
{
    // 6,000 sub-folders of the root are pending at once, then those of a
    // wide grandchild fill the slots the first listings freed.
    Tree tree(1);
    for (int i = 0; i < 6000; ++i) {
        tree[0].push_back(static_cast<int>(tree.size()));
        tree.emplace_back();
    }
    for (int i = 0; i < 7000; ++i) {
        tree[3].push_back(static_cast<int>(tree.size()));
        tree.emplace_back();
    }
    LiteralSlots larger(20000);
    ExpectSameWalk(tree, larger);
    ExpectSameWalk(RandomTree(random, 9000, 3000), larger);
}

TEST_F(PendingFoldersTest, SlotsTakeTheLowestFreeAndListTheLowestTaken)
{
    EXPECT_TRUE(pending.empty());
    EXPECT_EQ(pending.add("a\\"), 0);
    EXPECT_EQ(pending.add("b\\"), 1);
    EXPECT_EQ(pending.add("c\\"), 2);
    pending.release(1);
    pending.release(0);
    EXPECT_EQ(pending.lowest(), 2);
    EXPECT_EQ(pending.path(2).Shown, "c\\");
    EXPECT_EQ(pending.add("d\\"), 0);
    EXPECT_EQ(pending.lowest(), 0);
    EXPECT_EQ(pending.add("e\\"), 1);
    EXPECT_EQ(pending.add("f\\"), 3);
    // A slot already free stays free, once.
    pending.release(1);
    pending.release(1);
    EXPECT_EQ(pending.add("g\\"), 1);
    EXPECT_EQ(pending.add("h\\"), 4);

    pending.clear();
    EXPECT_TRUE(pending.empty());
    EXPECT_EQ(pending.add("i\\"), 0);
    EXPECT_EQ(pending.path(0).Shown, "i\\");
}

}  // namespace
