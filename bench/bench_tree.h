#pragma once
// The benchmark trees, built once under the temporary folder and kept for
// later runs: 100,000 files in 5,000 folders, and a deep one of 32,736 folders.
#include <windows.h>

#include <condition_variable>
#include <cstdint>
#include <cstdio>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "core/find_file.h"

namespace bench_tree {

// 50 top folders of 99 sub-folders each: 5,000 folders of 20 files.
constexpr int kTopFolders = 50;
constexpr int kSubFolders = 99;
constexpr int kFilesPerFolder = 20;

inline bool MakeFiles(const std::string& folder, int serial, int count = kFilesPerFolder)
{
    static const char* const stems[] = {"写真", "report_", "ﾃﾞｰﾀ", "表計算", "Notes "};
    static const char* const extensions[] = {".jpg", ".txt", ".xls", "", ".tar.gz"};
    for (int i = 0; i < count; ++i) {
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

inline bool MarkComplete(const std::string& root)
{
    const HANDLE file = CreateFileA((root + "\\complete.txt").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    CloseHandle(file);
    return true;
}

// True when the tree is there already; else the folder is made, to be filled.
// The marker file written last says a whole tree is there.
inline bool StartTree(const std::string& root)
{
    if (GetFileAttributesA((root + "\\complete.txt").c_str()) != INVALID_FILE_ATTRIBUTES)
        return true;
    std::printf("building the tree in %s ...\n", root.c_str());
    CreateDirectoryA(root.c_str(), nullptr);
    return false;
}

// Builds the tree once.
inline bool EnsureTree(const std::string& root)
{
    if (StartTree(root))
        return true;
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
    return MarkComplete(root);
}

// 32 top folders, each the root of a binary tree of folders ten levels deep:
// 32,736 folders; a file in each, a second one in each leaf.
constexpr int kBinaryTops = 32;
constexpr int kBinaryLevels = 10;

inline bool MakeBinaryTree(const std::string& folder, int levels, int& serial)
{
    if (!CreateDirectoryA(folder.c_str(), nullptr) || !MakeFiles(folder, serial++, levels == 1 ? 2 : 1))
        return false;
    return levels == 1
        || (MakeBinaryTree(folder + "\\枝0", levels - 1, serial) && MakeBinaryTree(folder + "\\枝1", levels - 1, serial));
}

inline bool EnsureBinaryTree(const std::string& root)
{
    if (StartTree(root))
        return true;
    int serial = 0;
    for (int top = 0; top < kBinaryTops; ++top) {
        if (!MakeBinaryTree(root + "\\木" + std::to_string(top), kBinaryLevels, serial))
            return false;
    }
    return MarkComplete(root);
}

// A tree's root under the temporary folder, built when missing; empty when
// it cannot be built.
inline std::string TempTree(const char* name, bool (*ensure)(const std::string& root))
{
    char temp[MAX_PATH + 1] = {};
    GetTempPathA(MAX_PATH, temp);
    const std::string root = std::string(temp) + name;
    if (!ensure(root)) {
        std::printf("cannot build the tree in %s\n", root.c_str());
        return {};
    }
    return root;
}

inline std::string BenchTree() { return TempTree("zev_folder_scan_bench", EnsureTree); }

inline std::string BinaryBenchTree() { return TempTree("zev_binary_tree_bench", EnsureBinaryTree); }

// The baseline: the same tree walked through the ANSI directory search with
// nothing done per file but adding its size, and per folder but counting it.
inline std::int64_t BareWalk(const std::string& folder, int* folders = nullptr)
{
    std::int64_t total = 0;
    WIN32_FIND_DATAA data{};
    const HANDLE search = FindFirstFileA((folder + "*.*").c_str(), &data);
    if (search == INVALID_HANDLE_VALUE)
        return 0;
    do {
        if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
            total += CombineSize(data.nFileSizeHigh, data.nFileSizeLow);
        } else if (std::string_view name = data.cFileName; name != "." && name != "..") {
            if (folders)
                ++*folders;
            total += BareWalk(folder + data.cFileName + "\\", folders);
        }
    } while (FindNextFileA(search, &data));
    FindClose(search);
    return total;
}

// The same bare walk split over threads, each taking the next folder waiting
// and adding the sub-folders it finds: what reading ahead on that many
// threads can do at best. The order of the folders is not kept.
inline std::int64_t BareParallelWalk(const std::string& folder, int threads, int* folders = nullptr)
{
    std::mutex mutex;
    std::condition_variable changed;
    std::vector<std::string> waiting{folder};
    int busy = 0;
    std::int64_t total = 0;
    int found = 0;
    auto work = [&] {
        std::unique_lock lock(mutex);
        for (;;) {
            changed.wait(lock, [&] { return !waiting.empty() || busy == 0; });
            if (waiting.empty())
                return;
            const std::string path = std::move(waiting.back());
            waiting.pop_back();
            ++busy;
            lock.unlock();
            std::int64_t size = 0;
            std::vector<std::string> subs;
            WIN32_FIND_DATAA data{};
            const HANDLE search = FindFirstFileA((path + "*.*").c_str(), &data);
            if (search != INVALID_HANDLE_VALUE) {
                do {
                    if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0)
                        size += CombineSize(data.nFileSizeHigh, data.nFileSizeLow);
                    else if (std::string_view name = data.cFileName; name != "." && name != "..")
                        subs.push_back(path + data.cFileName + "\\");
                } while (FindNextFileA(search, &data));
                FindClose(search);
            }
            lock.lock();
            --busy;
            total += size;
            found += static_cast<int>(subs.size());
            for (std::string& sub : subs)
                waiting.push_back(std::move(sub));
            changed.notify_all();
        }
    };
    std::vector<std::thread> workers;
    for (int i = 0; i < threads; ++i)
        workers.emplace_back(work);
    for (std::thread& worker : workers)
        worker.join();
    if (folders)
        *folders = found;
    return total;
}

}  // namespace bench_tree
