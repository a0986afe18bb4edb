#pragma once
// Milliseconds since the watch was made, from the performance counter.
#include <windows.h>

#include <algorithm>

class Stopwatch {
public:
    Stopwatch() {
        QueryPerformanceFrequency(&frequency_);
        QueryPerformanceCounter(&start_);
    }
    double Milliseconds() const {
        LARGE_INTEGER now;
        QueryPerformanceCounter(&now);
        return 1000.0 * static_cast<double>(now.QuadPart - start_.QuadPart) / static_cast<double>(frequency_.QuadPart);
    }

private:
    LARGE_INTEGER frequency_{}, start_{};
};

// Runs the work and keeps the shorter of its time and best: the machine's
// other work only ever adds time.
template <class Work>
void KeepBest(double& best, Work work) {
    const Stopwatch watch;
    work();
    best = std::min(best, watch.Milliseconds());
}

// Rounds of two measurements that take turns going first, so that neither
// always meets the caches the other left.
template <class First, class Second>
void TakeTurns(int rounds, First first, Second second) {
    for (int round = 0; round < rounds; ++round) {
        if (round % 2 == 0) {
            first();
            second();
        } else {
            second();
            first();
        }
    }
}
