#pragma once
// A walk stopped after a chosen number of entries, for the tests of every walk.
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <set>
#include <string>

#include "core/walk_progress.h"

// A clock that stands still, so nothing is shown, and Esc pressed at the
// stopAt-th look (never for 0).
class StopAt : public WalkObserver {
public:
    explicit StopAt(int stopAt) : stopAt_(stopAt) {}
    std::uint32_t Milliseconds() override { return 0; }
    bool StopRequested() override { return ++looks_ == stopAt_; }
    void Show(std::int64_t, std::int64_t) override {}

private:
    int looks_ = 0;
    int stopAt_;
};

// Runs the walk stopped at each of its entries in turn and once unstopped.
// walk(progress) returns what the walk read, one text per file. Each stop
// must give what the stop one entry earlier gave, plus the entry at which it
// stopped when that was a file; the unstopped walk must read every one.
template <class Walk>
void ExpectEachStopReadsOneEntryMore(int entries, Walk walk)
{
    std::set<std::string> before;
    std::int64_t filesBefore = 0;
    for (int n = 1; n <= entries + 1; ++n) {
        SCOPED_TRACE(testing::Message() << "stopped at entry " << n);
        StopAt key(n);
        WalkProgress progress(key, 1);
        const std::set<std::string> read = walk(progress);
        const bool stops = n <= entries;
        EXPECT_EQ(progress.stopped(), stops);
        EXPECT_EQ(progress.files() + progress.folders(), stops ? n : entries);
        EXPECT_TRUE(std::includes(read.begin(), read.end(), before.begin(), before.end()));
        EXPECT_EQ(read.size(), before.size() + static_cast<std::size_t>(progress.files() - filesBefore));
        EXPECT_EQ(static_cast<std::int64_t>(read.size()), progress.files());
        before = read;
        filesBefore = progress.files();
    }
}
