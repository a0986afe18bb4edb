// Times the folder scan of a tree of 100,000 files in 5,000 folders against a
// bare recursive directory walk that only sums the sizes, in the same run, and
// prints the ratio (the goal is within 1.2), for the scan alone and for the
// scan as the folder page runs it, looking at the clock and for Esc.
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>

#include "app/walk_status.h"
#include "bench/stopwatch.h"
#include "core/find_file.h"
#include "core/sizes.h"
#include "folders/folder_scan.h"

namespace {

// 50 top folders of 99 sub-folders each: 5,000 folders of 20 files.
constexpr int kTopFolders = 50;
constexpr int kSubFolders = 99;
constexpr int kFilesPerFolder = 20;
constexpr int kRounds = 11;

bool MakeFiles(const std::string& folder, int serial)
{
    static const char* const stems[] = {"写真", "report_", "ﾃﾞｰﾀ", "表計算", "Notes "};
    static const char* const extensions[] = {".jpg", ".txt", ".xls", "", ".tar.gz"};
    for (int i = 0; i < kFilesPerFolder; ++i) {
        const std::string path = folder + "\\" + stems[i % 5] + std::to_string(i) + extensions[i / 5 % 5];
        const HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                        FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE)
            return false;
        // Sizes without writing data: the end of file moves, the disk stays empty.
        LARGE_INTEGER end;
        end.QuadPart = (serial * 7 + i * 131) % 70000;
        SetFilePointerEx(file, end, nullptr, FILE_BEGIN);
        SetEndOfFile(file);
        ULARGE_INTEGER time;
        time.QuadPart = 132000000000000000ULL + static_cast<ULONGLONG>(serial * kFilesPerFolder + i) * 37 * 10000000ULL;
        const FILETIME written{time.LowPart, time.HighPart};
        SetFileTime(file, nullptr, nullptr, &written);
        CloseHandle(file);
    }
    return true;
}

// Builds the tree once; the marker file written last says a whole tree is there.
bool EnsureTree(const std::string& root)
{
    const std::string marker = root + "\\complete.txt";
    if (GetFileAttributesA(marker.c_str()) != INVALID_FILE_ATTRIBUTES)
        return true;
    std::printf("building the tree in %s ...\n", root.c_str());
    CreateDirectoryA(root.c_str(), nullptr);
    int serial = 0;
    for (int top = 0; top < kTopFolders; ++top) {
        const std::string topFolder = root + "\\フォルダ" + std::to_string(top);
        CreateDirectoryA(topFolder.c_str(), nullptr);
        if (!MakeFiles(topFolder, serial++))
            return false;
        for (int sub = 0; sub < kSubFolders; ++sub) {
            const std::string subFolder = topFolder + "\\sub表" + std::to_string(sub);
            CreateDirectoryA(subFolder.c_str(), nullptr);
            if (!MakeFiles(subFolder, serial++))
                return false;
        }
    }
    const HANDLE file = CreateFileA(marker.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    CloseHandle(file);
    return true;
}

// The baseline: the same tree walked with nothing done per file but adding
// its size.
std::int64_t BareWalk(const std::string& folder)
{
    std::int64_t total = 0;
    for (FindFile entry(folder + "*.*"); entry; entry.next()) {
        if (!entry.isFolder())
            total += entry.size();
        else if (!entry.isDotEntry())
            total += BareWalk(folder + std::string(entry.name()) + "\\");
    }
    return total;
}

// What the page's progress asks of the system, without a window to show in.
class WatchedWalk : public WalkObserver {
public:
    std::uint32_t Milliseconds() override { return GetTickCount(); }
    bool StopRequested() override { return TakeEscapeKey(); }
    void Show(std::int64_t, std::int64_t) override {}
};

}  // namespace

int main()
{
    char temp[MAX_PATH + 1] = {};
    GetTempPathA(MAX_PATH, temp);
    const std::string root = std::string(temp) + "zev_folder_scan_bench";
    if (!EnsureTree(root)) {
        std::printf("cannot build the tree in %s\n", root.c_str());
        return 1;
    }
    ClusterSize = 4096;

    // One round of each first, so both start with the directories cached;
    // then they take turns going first, and the best round of each counts,
    // the one least disturbed by whatever else the machine does.
    std::int64_t bareTotal = BareWalk(root + "\\");
    std::int32_t count = ScanFolder(root, false);
    double bare = 1e300, scan = 1e300, watched = 1e300;
    std::int32_t watchedCount = 0;
    WatchedWalk observer;
    auto timeBare = [&] { KeepBest(bare, [&] { bareTotal = BareWalk(root + "\\"); }); };
    auto timeScan = [&] { KeepBest(scan, [&] { count = ScanFolder(root, false); }); };
    auto timeWatched = [&] {
        KeepBest(watched, [&] {
            WalkProgress progress(observer);
            watchedCount = ScanFolder(root, false, progress);
        });
    };
    for (int round = 0; round < kRounds; ++round) {
        if (round % 2 == 0) {
            timeBare();
            timeScan();
            timeWatched();
        } else {
            timeWatched();
            timeScan();
            timeBare();
        }
    }

    std::int64_t scanTotal = 0;
    std::int64_t files = 0;
    for (std::int32_t i = 0; i < count; ++i) {
        scanTotal += FolderTable[static_cast<std::size_t>(i)].Size;
        files += FolderTable[static_cast<std::size_t>(i)].FileCount;
    }
    std::printf("tree: %lld files, %lld bytes (bare walk: %lld bytes)\n", static_cast<long long>(files),
                static_cast<long long>(scanTotal), static_cast<long long>(bareTotal));
    std::printf("bare walk   %8.1f ms (best of %d)\n", bare, kRounds);
    std::printf("ScanFolder  %8.1f ms (best of %d)\n", scan, kRounds);
    std::printf("ratio       %8.2f (goal: within 1.2)\n", scan / bare);
    std::printf("watched     %8.1f ms (best of %d)\n", watched, kRounds);
    std::printf("ratio       %8.2f (goal: within 1.2)\n", watched / bare);
    return scanTotal == bareTotal && watchedCount == count ? 0 : 1;
}
