#include "files/newest_keeper.h"

#include <algorithm>
#include <functional>

int NewestKeeper::offer(std::uint64_t time)
{
    const auto later = std::greater<std::pair<std::uint64_t, int>>();
    if (held() < capacity_) {
        const int position = held() + 1;
        oldest_.emplace_back(time, position);
        std::push_heap(oldest_.begin(), oldest_.end(), later);
        return position;
    }
    if (capacity_ <= 0 || oldest_.front().first >= time)
        return 0;
    const int position = FindOldest();
    std::pop_heap(oldest_.begin(), oldest_.end(), later);
    oldest_.back().first = time;
    std::push_heap(oldest_.begin(), oldest_.end(), later);
    return position;
}
