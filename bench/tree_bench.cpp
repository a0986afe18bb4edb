// Times the folder tree page's refresh of a tree of 5,000 folders, the tree
// view's insertions included, against a bare recursive walk of the same tree
// in the same run, and prints the ratio (the goal is within 2.0); then times
// the copy of that tree to the clipboard.
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "app/clip_text.h"
#include "app/zev_form.h"
#include "bench/stopwatch.h"
#include "core/find_file.h"
#include "ui/application.h"

namespace {

// 50 top folders of 99 sub-folders each: 5,000 folders of 4 files.
constexpr int kTopFolders = 50;
constexpr int kSubFolders = 99;
constexpr int kFilesPerFolder = 4;
constexpr int kRounds = 7;

bool MakeFiles(const std::string& folder, int serial)
{
    static const char* const names[] = {"写真.jpg", "report.txt", "ﾃﾞｰﾀ.xls", "表計算"};
    for (int i = 0; i < kFilesPerFolder; ++i) {
        const HANDLE file = CreateFileA((folder + "\\" + names[i]).c_str(), GENERIC_WRITE, 0, nullptr,
                                        CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
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

// The baseline: the same tree walked with nothing done but counting the
// folders and adding the files' sizes.
std::int64_t BareWalk(const std::string& folder, int& folders)
{
    std::int64_t total = 0;
    for (FindFile entry(folder + "*.*"); entry; entry.next()) {
        if (!entry.isFolder()) {
            total += entry.size();
        } else if (!entry.isDotEntry()) {
            ++folders;
            total += BareWalk(folder + std::string(entry.name()) + "\\", folders);
        }
    }
    return total;
}

}  // namespace

int main()
{
    char temp[MAX_PATH + 1] = {};
    GetTempPathA(MAX_PATH, temp);
    const std::string root = std::string(temp) + "zev_tree_bench";
    if (!EnsureTree(root)) {
        std::printf("cannot build the tree in %s\n", root.c_str());
        return 1;
    }

    ui::Application().Initialize();
    TForm1 form({});
    form.Show();
    form.DiskPage.SetActivePage(form.TreePage);
    CurrentFolder = root;

    // One round of each first, so both start with the directories cached;
    // then they take turns going first, and the best round of each counts.
    int folders = 0;
    BareWalk(root + "\\", folders);
    form.RefreshTree(root);
    double bare = 1e300, refresh = 1e300, copy = 1e300;
    auto timeBare = [&] {
        KeepBest(bare, [&] {
            folders = 0;
            BareWalk(root + "\\", folders);
        });
    };
    auto timeRefresh = [&] { KeepBest(refresh, [&] { form.RefreshTree(root); }); };
    for (int round = 0; round < kRounds; ++round) {
        if (round % 2 == 0) {
            timeBare();
            timeRefresh();
        } else {
            timeRefresh();
            timeBare();
        }
        KeepBest(copy, [&] { form.CopyTree(); });
    }

    const int nodes = form.TreeView1.Count();
    std::printf("tree: %d folders (bare walk: %d), %s\n", nodes - 1, folders, form.lbFolder.Caption().c_str());
    std::printf("bare walk    %8.1f ms (best of %d)\n", bare, kRounds);
    std::printf("RefreshTree  %8.1f ms (best of %d)\n", refresh, kRounds);
    std::printf("ratio        %8.2f (goal: within 2.0)\n", refresh / bare);
    std::printf("CopyTree     %8.1f ms (best of %d), %zu bytes\n", copy, kRounds, ClipText.size());
    return nodes - 1 == folders ? 0 : 1;
}
