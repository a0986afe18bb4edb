// Times the rename page's apply of 5,000 changes of letter case against the
// bare sequence of the steps each needs (two look-ups and two moves, through
// a temporary name), in the same run, and prints the ratio (the goal is
// within 1.3).
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "app/zev_form.h"
#include "bench/stopwatch.h"
#include "core/disk_path.h"
#include "ui/application.h"

namespace {

constexpr int kFiles = 5000;
constexpr int kRounds = 3;

std::wstring Name(int i, bool upper)
{
    wchar_t name[32];
    swprintf(name, 32, upper ? L"PHOTO%04d.JPG" : L"photo%04d.jpg", i);
    return name;
}

// One look-up of a name, as the rename step makes it.
bool Found(const std::wstring& path)
{
    WIN32_FIND_DATAW data{};
    const HANDLE search = FindFirstFileW(path.c_str(), &data);
    if (search == INVALID_HANDLE_VALUE)
        return false;
    FindClose(search);
    return true;
}

// The baseline: every file to the other letter case through a temporary
// name, each step looked up first.
void BareRenames(const std::wstring& folder, bool toUpper)
{
    for (int i = 0; i < kFiles; ++i) {
        const std::wstring from = folder + Name(i, !toUpper);
        const std::wstring to = folder + Name(i, toUpper);
        const std::wstring temporary = folder + L"~bench.tmp";
        Found(from);
        Found(to);
        MoveFileW(from.c_str(), temporary.c_str());
        MoveFileW(temporary.c_str(), to.c_str());
    }
}

}  // namespace

int main()
{
    wchar_t temp[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH, temp);
    const std::wstring folder = std::wstring(temp) + L"zev_rename_bench\\";
    CreateDirectoryW(folder.c_str(), nullptr);
    for (int i = 0; i < kFiles; ++i) {
        const std::wstring lower = folder + Name(i, false);
        const std::wstring upper = folder + Name(i, true);
        if (GetFileAttributesW(lower.c_str()) == INVALID_FILE_ATTRIBUTES
            && GetFileAttributesW(upper.c_str()) == INVALID_FILE_ATTRIBUTES) {
            const HANDLE file = CreateFileW(lower.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
            CloseHandle(file);
        }
    }

    ui::Application().Initialize();
    TForm1 form({});
    form.Show();
    form.DiskPage.SetActivePage(form.RenameFilePage);
    CurrentFolder = DiskPath(ShownText(folder), folder);

    // Each apply turns every name to upper case; the bare round turns them
    // back, so both always find what they expect.
    double apply = 1e300, bare = 1e300;
    int renamed = 0;
    for (int round = 0; round < kRounds; ++round) {
        form.RefreshRenamePage(form.RenameGrid);
        form.ConvertNames(ConvertMode::ToUpper);
        KeepBest(apply, [&] { form.DoRenameButtonClick(form.DoRenameButton); });
        renamed = static_cast<int>(form.UndoRenames.size());
        KeepBest(bare, [&] { BareRenames(folder, false); });
    }
    std::printf("files: %d, renamed by the apply: %d\n", kFiles, renamed);
    std::printf("bare steps  %9.1f ms (best of %d)\n", bare, kRounds);
    std::printf("apply       %9.1f ms (best of %d)\n", apply, kRounds);
    std::printf("ratio       %9.2f (goal: within 1.3)\n", apply / bare);
    return renamed == kFiles ? 0 : 1;
}
