#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "core/sort_value.h"

namespace {

std::vector<int> Sorted(const std::vector<SortValue>& values, bool descending) {
    const int n = static_cast<int>(values.size());
    std::vector<int> order;
    SortByValues(order, n, descending, [&](int i) { return values[static_cast<size_t>(i - 1)]; });
    return std::vector<int>(order.begin() + 1, order.begin() + 1 + n);
}

TEST(Sort, AllEqualKeysComeOutRotatedByOne) {
    for (int n : {1, 2, 3, 7, 100}) {
        std::vector<int> want;
        for (int i = 2; i <= n; ++i) want.push_back(i);
        want.push_back(1);
        const std::vector<SortValue> equal(static_cast<size_t>(n));
        EXPECT_EQ(Sorted(equal, true), want) << n;
        EXPECT_EQ(Sorted(equal, false), want) << n;
    }
}

TEST(Sort, EmptyCountLeavesTheOrderAlone) {
    std::vector<int> order{0, 5, 4};
    SortByValues(order, 0, true, [](int) { return SortValue{}; });
    EXPECT_EQ(order, (std::vector<int>{0, 5, 4}));
}

TEST(Sort, DescendingPutsTheLargestFirstAndAscendingTheSmallest) {
    std::mt19937 random(7);
    for (int round = 0; round < 50; ++round) {
        std::vector<SortValue> values(1 + random() % 60);
        for (SortValue& v : values) v = NumberValue(static_cast<std::int64_t>(random() % 10) - 5);
        for (bool descending : {true, false}) {
            const std::vector<int> order = Sorted(values, descending);
            std::vector<int> seen = order;
            std::sort(seen.begin(), seen.end());
            for (size_t i = 0; i < seen.size(); ++i) ASSERT_EQ(seen[i], static_cast<int>(i) + 1);
            for (size_t i = 1; i < order.size(); ++i) {
                const int c = CompareSortValues(values[order[i - 1] - 1u], values[order[i] - 1u]);
                ASSERT_TRUE(descending ? c >= 0 : c <= 0);
            }
        }
    }
}

TEST(Sort, TextsCompareAsUnsignedBytesWithAPrefixFirst) {
    EXPECT_LT(CompareSortValues(TextValue("AB"), TextValue("ABC")), 0);
    EXPECT_LT(CompareSortValues(TextValue("Z"), TextValue("\x81\x40")), 0);  // 0x81 above 'Z'
    EXPECT_GT(CompareSortValues(TextValue("\xE0"), TextValue("\x9F")), 0);
    EXPECT_EQ(CompareSortValues(TextValue("abc"), TextValue("abc")), 0);
    // Blank dates (20 spaces) before every real one.
    EXPECT_LT(CompareSortValues(TextValue(std::string(20, ' ')), TextValue("1900/01/01 00:00:00")), 0);
}

}  // namespace
