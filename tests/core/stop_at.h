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

// What a walk gives one text for.
enum class EachOne { File, Folder };

// Runs the walk stopped at each of its entries in turn and once unstopped.
// walk(progress) returns what the walk read: one text per file, or per
// folder. Each stop must give what the stop one entry earlier gave, plus the
// entry at which it stopped when that was of the kind; the unstopped walk
// must read every entry.
template <class Walk>
void ExpectEachStopReadsOneEntryMore(int entries, EachOne kind, Walk walk)
{
    std::set<std::string> before;
    for (int n = 1; n <= entries + 1; ++n) {
        SCOPED_TRACE(testing::Message() << "stopped at entry " << n);
        StopAt key(n);
        WalkProgress progress(key, 1);
        const std::set<std::string> read = walk(progress);
        const bool stops = n <= entries;
        EXPECT_EQ(progress.stopped(), stops);
        EXPECT_EQ(progress.files() + progress.folders(), stops ? n : entries);
        EXPECT_TRUE(std::includes(read.begin(), read.end(), before.begin(), before.end()));
        EXPECT_LE(read.size(), before.size() + 1);
        EXPECT_EQ(static_cast<std::int64_t>(read.size()),
                  kind == EachOne::File ? progress.files() : progress.folders());
        before = read;
    }
}
