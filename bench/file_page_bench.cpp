// Times a whole file-page refresh of a folder of 10,000 files against a bare
// directory listing of the same folder, and prints the ratio.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "app/zev_form.h"
#include "bench/stopwatch.h"
#include "core/find_file.h"
#include "files/file_sort.h"
#include "files/file_table.h"
#include "ui/application.h"

namespace {

constexpr int kFiles = 10000;
// The best of many rounds.
constexpr int kRounds = 15;

// Names of the kinds a real folder holds: kana, kanji, ASCII, several
// extensions; every tenth file gets some bytes and each its own time.
bool MakeFolder(const std::string& folder)
{
    static const char* const stems[] = {"写真", "report_", "ﾃﾞｰﾀ", "表計算", "Notes "};
    static const char* const extensions[] = {".jpg", ".txt", ".xls", "", ".tar.gz"};
    if (!CreateDirectoryA(folder.c_str(), nullptr))
        return false;
    for (int i = 0; i < kFiles; ++i) {
        const std::string path = folder + "\\" + stems[i % 5] + std::to_string(i) + extensions[i / 5 % 5];
        const HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                                        nullptr);
        if (file == INVALID_HANDLE_VALUE)
            return false;
        if (i % 10 == 0) {
            const std::string bytes(static_cast<std::size_t>(i % 5000), 'x');
            DWORD written = 0;
            WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
        }
        ULARGE_INTEGER time;
        time.QuadPart = 132000000000000000ULL + static_cast<ULONGLONG>(i) * 37 * 10000000ULL;
        const FILETIME stamp{time.LowPart, time.HighPart};
        SetFileTime(file, nullptr, nullptr, &stamp);
        CloseHandle(file);
    }
    return true;
}

void RemoveFolder(const std::string& folder)
{
    for (FindFile entry(folder + "\\*"); entry; entry.next())
        if (!entry.isFolder())
            DeleteFileA((folder + "\\" + std::string(entry.name())).c_str());
    RemoveDirectoryA(folder.c_str());
}

// The baseline: the same folder listed with nothing done per entry.
int BareListing(const std::string& folder)
{
    WIN32_FIND_DATAA data;
    const HANDLE search = FindFirstFileA((folder + "\\*.*").c_str(), &data);
    if (search == INVALID_HANDLE_VALUE)
        return 0;
    int count = 0;
    do
        count += (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
    while (FindNextFileA(search, &data));
    FindClose(search);
    return count;
}

}  // namespace

int main()
{
    char temp[MAX_PATH + 1] = {};
    GetTempPathA(sizeof temp, temp);
    const std::string folder = std::string(temp) + "zev_bench_" + std::to_string(GetCurrentProcessId());
    std::printf("making %d files in %s\n", kFiles, folder.c_str());
    if (!MakeFolder(folder)) {
        std::printf("could not make the folder\n");
        RemoveFolder(folder);
        return 1;
    }

    ui::Application().Initialize();
    int status = 0;
    {
        TForm1 form({});
        form.Show();
        CurrentFolder = folder;

        double bare = 1e30, refresh = 1e30, table = 1e30, sort = 1e30;
        int listed = 0;
        for (int round = 0; round < kRounds; ++round) {
            KeepBest(bare, [&] { listed = BareListing(folder); });
            KeepBest(refresh, [&] { form.RefreshFilePage(); });
            // The refresh's first two steps alone, to show where its time goes.
            int n = 0;
            KeepBest(table, [&] { n = ListFiles(folder); });
            KeepBest(sort, [&] { SortFiles(n, form.FileSortKey, form.SortDescending); });
        }
        const int rows = form.FileGrid.RowCount() - 2;
        std::printf("bare FindFirstFileA/FindNextFileA listing: %d files, %.1f ms\n", listed, bare);
        std::printf("RefreshFilePage: %d rows, %.1f ms\n", rows, refresh);
        std::printf("  of which ListFiles %.1f ms, SortFiles %.1f ms, the rest (grid) %.1f ms\n", table, sort,
                    refresh - table - sort);
        std::printf("ratio: %.2f (goal: within 1.5)\n", refresh / bare);
        status = rows == listed && listed == kFiles ? 0 : 1;
    }
    RemoveFolder(folder);
    return status;
}
