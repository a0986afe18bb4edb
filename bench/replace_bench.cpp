// Times the rename page's whole 置換 handler, with a regular expression and
// a padded number, against the whole "英大文字 → 英小文字" handler on the same
// 10,000 rows, in the same run, taking turns, and prints the ratio (the goal
// is within 3), and the time the dialog's count line takes; then how long a
// runaway search runs before it gives up (the goal is about 10 ms), for a
// short expression and for one of the longest taken.
#include <windows.h>

#include <cstdio>
#include <string>

#include "app/zev_form.h"
#include "bench/stopwatch.h"
#include "core/disk_path.h"
#include "rename/list_files_and_folders.h"
#include "rename/name_replace.h"
#include "ui/application.h"

namespace {

constexpr int kFiles = 10000;
constexpr int kRounds = 4;

// The best time one search of expression over 60 "a" and a "b" takes to
// give up; negative when it does not.
double GiveUpTime(const std::wstring& expression)
{
    const std::string name = std::string(60, 'a') + "b";
    double best = 1e300;
    for (int round = 0; round < kRounds; ++round) {
        NameReplacer replacer({expression, L"x", true, false, false, L"1"});
        std::string result;
        KeepBest(best, [&] { replacer.Replace(name, false, "", result); });
        if (replacer.State() != ReplaceState::TooComplex)
            return -1;
    }
    return best;
}

}  // namespace

int main()
{
    wchar_t temp[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH, temp);
    const std::wstring folder = std::wstring(temp) + L"zev_replace_bench\\";
    CreateDirectoryW(folder.c_str(), nullptr);
    for (int i = 0; i < kFiles; ++i) {
        wchar_t name[32];
        swprintf(name, 32, L"IMG_%05d.JPG", i);
        const HANDLE file = CreateFileW((folder + name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
        if (file != INVALID_HANDLE_VALUE)
            CloseHandle(file);
    }

    ui::Application().Initialize();
    TForm1 form({});
    form.Show();
    form.DiskPage.SetActivePage(form.RenameFilePage);
    CurrentFolder = DiskPath(ShownText(folder), folder);

    ReplaceSettings fields;
    fields.Search = L"IMG_(\\d+)";
    fields.Replacement = L"photo_$1_${n:4}";
    fields.Regex = true;
    double replace = 1e300, lower = 1e300;
    TakeTurns(
        kRounds,
        [&] {
            form.RefreshRenamePage(form.RenameGrid);
            KeepBest(replace, [&] { form.ReplaceNames(fields, ListFilesAndFolders(CurrentFolder)); });
        },
        [&] {
            form.RefreshRenamePage(form.RenameGrid);
            KeepBest(lower, [&] { form.ToLowerButtonClick(form.ToLowerButton); });
        });
    // The dialog's count line, worked out again on every change of its boxes.
    form.RefreshRenamePage(form.RenameGrid);
    double preview = 1e300;
    for (int round = 0; round < kRounds; ++round)
        KeepBest(preview, [&] { form.ReplacePreview(fields, kFiles); });
    form.ReplaceNames(fields, ListFilesAndFolders(CurrentFolder));
    const bool replaced = form.RenameGrid.Cell(2, 1).starts_with("photo_") && form.RenameGrid.Cell(0, kFiles) == "*";
    std::printf("files: %d; replace \"IMG_(\\d+)\" (regular expression) by \"photo_$1_${n:4}\"\n", kFiles);
    std::printf("to lower   %9.1f ms (best of %d)\n", lower, kRounds / 2);
    std::printf("replace    %9.1f ms (best of %d)\n", replace, kRounds / 2);
    std::printf("count line %9.1f ms (best of %d)\n", preview, kRounds);
    std::printf("replace ratio: %.2f (goal: within 3)\n", replace / lower);
    std::wstring longest = L"(a+)+";
    while (longest.size() + 3 <= kMaxSearchLength)
        longest += L"x?";
    longest += L"$";
    const double shortGiveUp = GiveUpTime(L"(a+)+$");
    const double longGiveUp = GiveUpTime(longest);
    std::printf("runaway \"(a+)+$\" gives up in %.1f ms; one of %zu characters in %.1f ms (goal: about 10)\n",
                shortGiveUp, longest.size(), longGiveUp);
    return replaced && shortGiveUp >= 0 && longGiveUp >= 0 ? 0 : 1;
}
