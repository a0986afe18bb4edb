#pragma once
#include <utility>
#include <vector>

// The heap sort every list page uses over its order array. Positions are
// 1-based (order[0] is unused) and hold record indices; records never move.
// The sort is not stable: equal keys come out in the order these exact steps
// give, which callers rely on (all-equal keys yield 2, 3, ..., n, 1).
// compare(a, b) is negative, zero or positive for records a and b.
// Descending puts the largest key at position 1.
template <class Compare>
void SortOrder(std::vector<int>& order, int n, bool descending, Compare compare) {
    auto wins = [&](int a, int b) { return descending ? compare(a, b) < 0 : compare(a, b) > 0; };
    auto stays = [&](int a, int b) { return descending ? compare(a, b) <= 0 : compare(a, b) >= 0; };
    auto sift = [&](int k, int last) {
        const int saved = order[k];
        for (;;) {
            int j = 2 * k;
            if (j > last) break;
            if (j < last && wins(order[j + 1], order[j])) ++j;
            if (stays(saved, order[j])) break;
            order[k] = order[j];
            k = j;
        }
        order[k] = saved;
    };
    for (int k = n / 2; k >= 1; --k) sift(k, n);
    for (int m = n; m >= 2; --m) {
        std::swap(order[1], order[m]);
        sift(1, m - 1);
    }
}

// Positions 1..n set to record indices 1..n (listing order), ready to sort.
inline void ResetOrder(std::vector<int>& order, int n) {
    if (static_cast<int>(order.size()) < n + 1) order.resize(static_cast<size_t>(n) + 1);
    for (int i = 1; i <= n; ++i) order[i] = i;
}
