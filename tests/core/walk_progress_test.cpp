#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "core/walk_progress.h"

namespace {

// A clock that moves on by a fixed step at every reading after the first, and
// a key that is pressed at the stopAt-th look (0: never).
class FakeObserver : public WalkObserver {
public:
    FakeObserver(std::uint32_t start, std::uint32_t step, int stopAt = 0) : now_(start), step_(step), stopAt_(stopAt) {}

    std::uint32_t Milliseconds() override
    {
        const std::uint32_t now = now_;
        now_ += step_;
        return now;
    }
    bool StopRequested() override { return ++looks == stopAt_; }
    void Show(std::int64_t files, std::int64_t folders) override { shows.emplace_back(now_ - step_, files, folders); }

    int looks = 0;
    std::vector<std::tuple<std::uint32_t, std::int64_t, std::int64_t>> shows;

private:
    std::uint32_t now_;
    std::uint32_t step_;
    int stopAt_;
};

class WalkProgressTest : public testing::Test {
protected:
    // Feeds count files, or folders, and returns how many were answered true.
    static int Feed(WalkProgress& progress, int count, bool folders = false)
    {
        int goOn = 0;
        for (int i = 0; i < count; ++i)
            goOn += folders ? progress.folder() : progress.file();
        return goOn;
    }
};

TEST_F(WalkProgressTest, WithoutObserverItCountsAndNeverStops)
{
    WalkProgress progress;
    EXPECT_EQ(Feed(progress, 100000), 100000);
    EXPECT_EQ(Feed(progress, 3000, true), 3000);
    EXPECT_FALSE(progress.stopped());
    EXPECT_EQ(progress.files(), 100000);
    EXPECT_EQ(progress.folders(), 3000);
}

TEST_F(WalkProgressTest, LooksOnlyEveryFewHundredEntriesAndSoonerForFolders)
{
    FakeObserver observer(0, 1);
    WalkProgress progress(observer);
    Feed(progress, WalkProgress::kEntriesPerLook - 1);
    EXPECT_EQ(observer.looks, 0);
    Feed(progress, 1);
    EXPECT_EQ(observer.looks, 1);
    Feed(progress, 10 * WalkProgress::kEntriesPerLook);
    EXPECT_EQ(observer.looks, 11);
    Feed(progress, WalkProgress::kEntriesPerLook / WalkProgress::kFolderWeight, true);
    EXPECT_EQ(observer.looks, 12);
}

TEST_F(WalkProgressTest, ShowsFromHalfASecondOnAtMostTenTimesASecond)
{
    // (clock step per look, looks): fast and slow walks, a step that is no
    // divisor of the interval, and a clock about to wrap.
    const std::tuple<std::uint32_t, std::uint32_t, int> cases[] = {
        {0, 1, 5000}, {1000, 7, 2000}, {0, 30, 400}, {0, 250, 40}, {0xFFFFFF00u, 3, 3000},
    };
    for (const auto& [start, step, looks] : cases) {
        SCOPED_TRACE(testing::Message() << start << " " << step);
        FakeObserver observer(start, step);
        WalkProgress progress(observer, 1);
        Feed(progress, looks);
        const std::uint32_t end = start + step * static_cast<std::uint32_t>(looks);
        ASSERT_FALSE(observer.shows.empty());
        std::uint32_t last = start;
        for (std::size_t i = 0; i < observer.shows.size(); ++i) {
            const auto [time, files, folders] = observer.shows[i];
            EXPECT_GE(time - last, i == 0 ? 500u : 100u) << i;
            // Not held back longer than one look past its time.
            EXPECT_LT(time - last, (i == 0 ? 500u : 100u) + step) << i;
            EXPECT_EQ(files, static_cast<std::int64_t>((time - start) / step)) << i;
            EXPECT_EQ(folders, 0);
            last = time;
        }
        EXPECT_LT(end - last, 100u + step);
    }
}

TEST_F(WalkProgressTest, AWalkEndingWithinHalfASecondShowsNothing)
{
    FakeObserver observer(42, 1);
    WalkProgress progress(observer, 1);
    Feed(progress, 498);
    Feed(progress, 1, true);
    EXPECT_EQ(observer.looks, 499);
    EXPECT_TRUE(observer.shows.empty());
}

TEST_F(WalkProgressTest, StopsAtTheEntryOfTheLookThatSeesTheKeyAndStaysStopped)
{
    for (int n : {1, 2, 17, 300}) {
        FakeObserver observer(0, 1, n);
        WalkProgress progress(observer, 1);
        EXPECT_EQ(Feed(progress, n - 1), n - 1) << n;
        EXPECT_FALSE(progress.stopped());
        EXPECT_FALSE(progress.file()) << n;
        EXPECT_TRUE(progress.stopped());
        // Later entries are refused without asking again.
        EXPECT_EQ(Feed(progress, 600), 0);
        EXPECT_EQ(Feed(progress, 600, true), 0);
        EXPECT_EQ(observer.looks, n);
    }
}

TEST_F(WalkProgressTest, CountsFilesAndFoldersApartInWhatItShows)
{
    FakeObserver observer(0, 200);
    WalkProgress progress(observer, 1);
    Feed(progress, 2);
    Feed(progress, 3, true);
    Feed(progress, 1);
    ASSERT_EQ(observer.shows.size(), 4u);
    EXPECT_EQ(observer.shows[0], std::make_tuple(600u, std::int64_t{2}, std::int64_t{1}));
    EXPECT_EQ(observer.shows[3], std::make_tuple(1200u, std::int64_t{3}, std::int64_t{3}));
    EXPECT_EQ(progress.files(), 3);
    EXPECT_EQ(progress.folders(), 3);
}

}  // namespace
