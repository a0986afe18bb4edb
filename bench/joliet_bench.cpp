// Times the CD/DVD name check's walk of the tree of 100,000 files in 5,000
// folders against a bare recursive directory walk that only sums the sizes,
// in the same run, and prints the ratio (the goal is within 1.1), for the walk
// alone and for the walk as the page runs it, looking at the clock and for Esc,
// both without read-ahead. Then the page's walk reading ahead, against the
// bare walk (within 0.7) and against the bare walk split over as many threads
// as the read-ahead has workers (within 1.2). Then the walk of each other
// target the page checks for, against the CD/DVD walk as the page runs it
// (within 1.3 each); and the page's 修正案で変更 of 5,000 files against the
// rename page's apply of 5,000 plain renames (within 1.2).
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "bench/bench_tree.h"
#include "bench/stopwatch.h"
#include "bench/watched_walk.h"
#include "app/zev_form.h"
#include "rename/joliet_table.h"
#include "rename/target_table.h"
#include "ui/application.h"

namespace {

constexpr int kRounds = 11;
constexpr int kRenames = 5000;
constexpr int kRenameRounds = 3;

std::wstring RenameFolder(const wchar_t* name)
{
    wchar_t temp[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH, temp);
    const std::wstring folder = std::wstring(temp) + name;
    CreateDirectoryW(folder.c_str(), nullptr);
    return folder;
}

// Makes the files of a folder that are not there yet.
void MakeFiles(const std::wstring& folder, const wchar_t* format)
{
    for (int i = 0; i < kRenames; ++i) {
        wchar_t name[48];
        swprintf(name, 48, format, i);
        const std::wstring path = L"\\\\?\\" + folder + name;
        const HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
        if (file != INVALID_HANDLE_VALUE)
            CloseHandle(file);
    }
}

// Times the page's 修正案で変更 of names ending in a period (for OneDrive)
// against the rename page's apply of spaces turned to underscores; each is
// undone between rounds.
int TimeRenames()
{
    const std::wstring fixFolder = RenameFolder(L"zev_fix_bench\\");
    const std::wstring applyFolder = RenameFolder(L"zev_apply_bench\\");
    MakeFiles(fixFolder, L"photo%04d.jpg.");
    MakeFiles(applyFolder, L"photo %04d.jpg");

    ui::Application().Initialize();
    TForm1 form({});
    form.Show();
    double fix = 1e300, apply = 1e300;
    std::size_t fixed = 0, applied = 0;
    for (int round = 0; round < kRenameRounds; ++round) {
        form.DiskPage.SetActivePage(form.JolietPage);
        CurrentFolder = DiskPath(ShownText(fixFolder), fixFolder);
        form.TargetBox.SetItemIndex(static_cast<int>(CheckTarget::OneDrive));
        form.TargetBoxChange(form.TargetBox);
        KeepBest(fix, [&] { form.FixAllButtonClick(form.FixAllButton); });
        fixed = form.TargetUndo.size();
        form.UndoTargetRenames();

        form.DiskPage.SetActivePage(form.RenameFilePage);
        CurrentFolder = DiskPath(ShownText(applyFolder), applyFolder);
        form.RefreshRenamePage(form.RenameGrid);
        form.ConvertNames(ConvertMode::SpaceToUnderscore);
        KeepBest(apply, [&] { form.DoRenameButtonClick(form.DoRenameButton); });
        applied = form.UndoRenames.size();
        form.UndoRenameButtonClick(form.UndoRenameButton);
    }
    std::printf("renamed by 修正案で変更: %d, by the apply: %d\n", static_cast<int>(fixed), static_cast<int>(applied));
    std::printf("rename page's apply      %8.1f ms (best of %d)\n", apply, kRenameRounds);
    std::printf("修正案で変更             %8.1f ms (best of %d)\n", fix, kRenameRounds);
    std::printf("ratio                    %8.2f (goal: within 1.2)\n", fix / apply);
    return fixed == kRenames && applied == kRenames ? 0 : 1;
}

}  // namespace

int main()
{
    const std::string root = bench_tree::BenchTree();
    if (root.empty())
        return 1;

    // One round of each first, so both start with the directories cached;
    // then they take turns going first, and the best round of each counts.
    const int workers = ReadAhead::WorkerCount();
    std::int64_t bareTotal = bench_tree::BareWalk(root + "\\");
    std::int64_t parallelTotal = bench_tree::BareParallelWalk(root + "\\", workers);
    int count = WalkJoliet(root);
    double bare = 1e300, walk = 1e300, watched = 1e300, parallel = 1e300, ahead = 1e300;
    constexpr CheckTarget kTargets[] = {CheckTarget::UsbFat32, CheckTarget::OneDrive, CheckTarget::MacZip,
                                        CheckTarget::Garbled};
    constexpr const char* kTargetNames[] = {"USBメモリ (FAT32)", "OneDrive・SharePoint", "Mac・zip", "文字化け"};
    double targets[4] = {1e300, 1e300, 1e300, 1e300};
    int watchedCount = 0, aheadCount = 0;
    WatchedWalk observer;
    auto timeBare = [&] {
        KeepBest(bare, [&] { bareTotal = bench_tree::BareWalk(root + "\\"); });
        KeepBest(parallel, [&] { parallelTotal = bench_tree::BareParallelWalk(root + "\\", workers); });
    };
    auto timeWalk = [&] { WithReadAhead(false, [&] { KeepBest(walk, [&] { count = WalkJoliet(root); }); }); };
    auto timeWatched = [&] {
        WithReadAhead(false, [&] {
            KeepBest(watched, [&] {
                WalkProgress progress(observer);
                watchedCount = WalkJoliet(root, progress);
            });
        });
        KeepBest(ahead, [&] {
            WalkProgress progress(observer);
            aheadCount = WalkJoliet(root, progress);
        });
        for (int t = 0; t < 4; ++t)
            KeepBest(targets[t], [&] {
                WalkProgress progress(observer);
                WalkTarget(kTargets[t], root, progress);
            });
    };
    for (int round = 0; round < kRounds; ++round) {
        if (round % 2 == 0) {
            timeBare();
            timeWalk();
            timeWatched();
        } else {
            timeWatched();
            timeWalk();
            timeBare();
        }
    }

    std::printf("tree: %lld bytes, %d names listed\n", static_cast<long long>(bareTotal), count);
    std::printf("bare walk   %8.1f ms (best of %d)\n", bare, kRounds);
    std::printf("WalkJoliet  %8.1f ms (best of %d)\n", walk, kRounds);
    std::printf("ratio       %8.2f (goal: within 1.1)\n", walk / bare);
    std::printf("watched     %8.1f ms (best of %d)\n", watched, kRounds);
    std::printf("ratio       %8.2f (goal: within 1.1)\n", watched / bare);
    std::printf("read-ahead workers: %d\n", workers);
    std::printf("watched, reading ahead   %8.1f ms (best of %d)\n", ahead, kRounds);
    std::printf("ratio to the bare walk   %8.2f (goal: within 0.7)\n", ahead / bare);
    std::printf("bare walk on %d threads   %8.1f ms (best of %d)\n", workers, parallel, kRounds);
    std::printf("ratio to it              %8.2f (goal: within 1.2)\n", ahead / parallel);
    for (int t = 0; t < 4; ++t)
        std::printf("%-22s %8.1f ms, ratio to the CD/DVD walk %5.2f (goal: within 1.3)\n", kTargetNames[t],
                    targets[t], targets[t] / ahead);
    const int renames = TimeRenames();
    return watchedCount == count && aheadCount == count && parallelTotal == bareTotal ? renames : 1;
}
