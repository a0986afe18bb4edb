#pragma once
// The benchmark tree of 100,000 files in 5,000 folders, built once under the
// temporary folder and kept for later runs.
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

#include "core/find_file.h"

namespace bench_tree {

// 50 top folders of 99 sub-folders each: 5,000 folders of 20 files.
constexpr int kTopFolders = 50;
constexpr int kSubFolders = 99;
constexpr int kFilesPerFolder = 20;

inline bool MakeFiles(const std::string& folder, int serial)
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
inline bool EnsureTree(const std::string& root)
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

// The tree's root under the temporary folder, built when missing; empty when
// it cannot be built.
inline std::string BenchTree()
{
    char temp[MAX_PATH + 1] = {};
    GetTempPathA(MAX_PATH, temp);
    const std::string root = std::string(temp) + "zev_folder_scan_bench";
    if (!EnsureTree(root)) {
        std::printf("cannot build the tree in %s\n", root.c_str());
        return {};
    }
    return root;
}

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

}  // namespace bench_tree
