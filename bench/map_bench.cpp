// Times the folder tree page's refresh with the map on, on a tree of 300,000
// files in 3,000 folders of varied sizes, times and extensions (the walk, the
// first layout and the paint of a map of 1,200 by 700 pixels into its kept
// bitmap included), against a bare recursive walk of the same tree in the
// same run: the goal is within 1.3. Then a second layout and paint of the
// whole map at that size, as after a resize, against the same bare walk:
// within 0.1. Prints the bytes the map's records take per file (within 48)
// and the process's peak memory once it has also held a map of the tree
// four times over, 1,200,000 files (within 200 MB), and on that map the cost
// of 1,000 hit tests at points spread over it against one layout and paint
// (within 0.05).
#include <windows.h>
#include <psapi.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "app/zev_form.h"
#include "core/find_file.h"
#include "core/walk_rule.h"
#include "bench/bench_tree.h"
#include "bench/stopwatch.h"
#include "ui/application.h"

namespace {

constexpr int kRounds = 5;
constexpr int kTops = 40;
constexpr int kSubs = 74;
constexpr int kFiles = 100;
constexpr int kWidth = 1200;
constexpr int kHeight = 700;

bool MakeMapFiles(const std::string& folder, int serial, const FILETIME& now)
{
    static const char* const extensions[] = {".jpg", ".JPG", ".png", ".txt", ".log", ".dll", ".exe", ".zip",
                                             ".mp3", ".mp4", ".doc", ".xls", ".pdf", ".cpp", ".h", "", ".tar.gz",
                                             ".Bak", ".ini", ".dat"};
    constexpr int kExtensions = sizeof extensions / sizeof extensions[0];
    for (int i = 0; i < kFiles; ++i) {
        const std::uint32_t h = static_cast<std::uint32_t>(serial * 7919 + i * 104729) * 2654435761u;
        const std::string path = folder + "\\ファイル" + std::to_string(i) + extensions[(h >> 8) % kExtensions];
        const HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                        nullptr);
        if (file == INVALID_HANDLE_VALUE)
            return false;
        // Sizes spread over four orders of magnitude, a few empty; the end of
        // file moves without data being written.
        const std::int64_t root = (h >> 12) % 1000;
        LARGE_INTEGER end;
        end.QuadPart = (h % 50 == 0) ? 0 : root * root + (h >> 20) % 1000;
        SetFilePointerEx(file, end, nullptr, FILE_BEGIN);
        SetEndOfFile(file);
        // Times over the last two years, so that every age band shows.
        ULARGE_INTEGER time{{now.dwLowDateTime, now.dwHighDateTime}};
        time.QuadPart -= static_cast<ULONGLONG>((h >> 4) % (730 * 24)) * 3600ULL * 10000000ULL;
        const FILETIME written{time.LowPart, time.HighPart};
        SetFileTime(file, nullptr, nullptr, &written);
        CloseHandle(file);
    }
    return true;
}

bool EnsureMapTree(const std::string& root)
{
    if (bench_tree::StartTree(root))
        return true;
    FILETIME now{};
    GetSystemTimeAsFileTime(&now);
    int serial = 0;
    for (int top = 0; top < kTops; ++top) {
        const std::string topFolder = root + "\\上" + std::to_string(top);
        CreateDirectoryA(topFolder.c_str(), nullptr);
        if (!MakeMapFiles(topFolder, serial++, now))
            return false;
        for (int sub = 0; sub < kSubs; ++sub) {
            const std::string subFolder = topFolder + "\\下" + std::to_string(sub);
            CreateDirectoryA(subFolder.c_str(), nullptr);
            if (!MakeMapFiles(subFolder, serial++, now))
                return false;
        }
    }
    return bench_tree::MarkComplete(root);
}

// Records the tree into the map as the page's walk does, without the tree.
void Record(MapRecords& map, const DiskPath& folder)
{
    for (FindFile entry(folder.Wide + L"*"); entry; entry.next()) {
        if (!entry.isFolder()) {
            map.AddFile(entry);
        } else if (IsWalkableFolder(entry.data())) {
            map.EnterFolder(entry);
            Record(map, SubFolder(folder, entry));
            map.LeaveFolder();
        }
    }
}

}  // namespace

int main()
{
    const std::string root = bench_tree::TempTree("zev_map_bench", EnsureMapTree);
    if (root.empty())
        return 1;

    ui::Application().Initialize();
    TForm1 form({});
    form.Show();
    form.DiskPage.SetActivePage(form.TreePage);
    CurrentFolder = root;
    form.TreeMapCheck.SetChecked(true);
    form.TreeMapCheckClick(form.TreeMapCheck);

    // The window sized so that the map is 1,200 by 700 pixels: a refresh
    // then lays it out and paints it at that size into its kept bitmap.
    TTreeMapView& view = form.TreeMapPane1.View;
    // The screen is too narrow for the left column beside such a map.
    form.Panel2.SetVisible(false);
    form.Panel2.SetBounds(0, 0, 0, form.Panel2.Height());
    for (int i = 0; i < 4; ++i) {
        RECT client{};
        GetClientRect(view.Handle(), &client);
        const RECT frame = form.BoundsRect();
        SetWindowPos(form.Handle(), nullptr, 0, 0, frame.right - frame.left + kWidth - client.right,
                     frame.bottom - frame.top + kHeight - client.bottom, SWP_NOZORDER);
        form.TreeMapPane1.SetBounds(0, 0, form.TreeMapPane1.Width(),
                                    form.TreeMapPane1.Height() + kHeight - client.bottom);
        form.TreePage.Realign();
    }
    const PixelBuffer painted = view.Bitmap().Pixels();
    if (painted.width != kWidth || painted.height != kHeight) {
        std::printf("the map is %d by %d pixels, not %d by %d\n", painted.width, painted.height, kWidth, kHeight);
        return 1;
    }
    MapRecords& map = form.TreeMapPane1.Records;
    MapLayout& layout = form.TreeMapPane1.Layout;
    int folders = 0;
    bench_tree::BareWalk(root + "\\", &folders);
    double bare = 1e300, refresh = 1e300, repaint = 1e300, plain = 1e300;
    TakeTurns(
        kRounds,
        [&] {
            KeepBest(bare, [&] {
                folders = 0;
                bench_tree::BareWalk(root + "\\", &folders);
            });
        },
        [&] {
            KeepBest(refresh, [&] { form.RefreshTree(root); });
            KeepBest(repaint, [&] { layout.Paint(view.Bitmap().Pixels(), 0); });
            // The same page with the map off, for comparison.
            form.TreeMapCheck.SetChecked(false);
            KeepBest(plain, [&] { form.RefreshTree(root); });
            form.TreeMapCheck.SetChecked(true);
        });

    const std::size_t files = map.FileCount();
    const std::size_t recordBytes = map.RecordBytes() + layout.Bytes();
    // The map's own parts, once each, for where the time goes.
    const Stopwatch recording;
    map.Begin(EndingInBackslash(DiskPath(root)));
    Record(map, EndingInBackslash(DiskPath(root)));
    const double recorded = recording.Milliseconds();
    const Stopwatch ending;
    map.End();
    layout.Update();
    const double ended = ending.Milliseconds();
    const Stopwatch painting;
    view.Rebuild();
    const double repainted = painting.Milliseconds();

    // A map of over 1,000,000 files: the tree four times over, under one root.
    constexpr int kCopies = 4;
    map.Begin(EndingInBackslash(DiskPath(root)));
    for (int copy = 0; copy < kCopies; ++copy)
        Record(map, EndingInBackslash(DiskPath(root)));
    map.End();
    layout.Update();
    view.Rebuild();
    const std::size_t manyFiles = map.FileCount();
    // Points on a 40 by 25 grid, each moved off it by a hash so that no two
    // rows or columns line up with the tiles' edges alike.
    constexpr int kHits = 1000;
    double manyPaint = 1e300, hits = 1e300;
    std::int64_t found = 0;
    for (int round = 0; round < 3; ++round) {
        KeepBest(manyPaint, [&] { layout.Paint(view.Bitmap().Pixels(), 0); });
        KeepBest(hits, [&] {
            found = 0;
            for (int i = 0; i < kHits; ++i) {
                const std::uint32_t h = static_cast<std::uint32_t>(i) * 2654435761u;
                const int x = (i % 40) * kWidth / 40 + static_cast<int>(h % (kWidth / 40));
                const int y = (i / 40) * kHeight / 25 + static_cast<int>((h >> 16) % (kHeight / 25));
                found += layout.HitTest(x, y).Folder >= 0 ? 1 : 0;
            }
        });
    }

    PROCESS_MEMORY_COUNTERS memory{};
    memory.cb = sizeof memory;
    GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof memory);
    std::printf("map: %zu files, %d folders (bare walk), %s\n", files, folders, form.lbFolder.Caption().c_str());
    std::printf("bare walk             %8.1f ms (best of %d)\n", bare, kRounds);
    std::printf("refresh with the map  %8.1f ms (best of %d)\n", refresh, kRounds);
    std::printf("ratio                 %8.2f (goal: within 1.3)\n", refresh / bare);
    std::printf("refresh, map off      %8.1f ms (best of %d), ratio %.2f\n", plain, kRounds, plain / bare);
    std::printf("map parts, once: a walk recording into the map alone %.1f ms, its end %.1f ms, its paint %.1f ms\n",
                recorded, ended, repainted);
    std::printf("layout and paint      %8.1f ms (best of %d)\n", repaint, kRounds);
    std::printf("ratio                 %8.2f (goal: within 0.1)\n", repaint / bare);
    std::printf("bytes per file: %zu (goal: within 48)\n", files ? recordBytes / files : 0);
    std::printf("peak memory, with a map of %zu files last: %llu KB working set, %llu KB committed (goal: within "
                "200,000 KB)\n",
                manyFiles,
                static_cast<unsigned long long>(memory.PeakWorkingSetSize / 1024),
                static_cast<unsigned long long>(memory.PeakPagefileUsage / 1024));
    std::printf("map of %zu files: layout and paint %.1f ms, %d hit tests %.1f ms (%lld on the map) (best of 3)\n",
                manyFiles, manyPaint, kHits, hits, static_cast<long long>(found));
    std::printf("ratio                 %8.3f (goal: within 0.05)\n", hits / manyPaint);
    return files >= 300000 && manyFiles >= 1000000 ? 0 : 1;
}
