#include "folders/folder_sort.h"

#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "core/heap_sort.h"
#include "core/stamp.h"
#include "folders/folder_scan.h"

std::vector<int> FolderOrder(1);

namespace {

// What one record is compared by, worked out once per record so that a sort
// upper-cases each name once rather than at every comparison.
struct SortValue {
    std::string text;
    std::int64_t number = 0;
};

// The system's ANSI upper-casing: under code page 932 it steps over
// double-byte characters and also upper-cases full-width Latin letters.
std::string UpperCased(std::string_view text)
{
    std::string upper(text);
    if (!upper.empty())
        CharUpperBuffA(upper.data(), static_cast<DWORD>(upper.size()));
    return upper;
}

bool IsTextKey(int key)
{
    return key == FolderByName || key == FolderByDate || key == FolderByNewestName;
}

SortValue ValueOf(const FolderSummary& record, int key)
{
    SortValue value;
    switch (key) {
    case FolderByName: value.text = UpperCased(record.Name); break;
    case FolderBySize: value.number = record.Size; break;
    // The text form sorts chronologically, and the blank one of a folder
    // without files before every date.
    case FolderByDate: value.text = FormatStamp(record.Stamp).str(); break;
    case FolderByFileCount: value.number = record.FileCount; break;
    case FolderByNewestName: value.text = UpperCased(record.NewestName); break;
    default: break;
    }
    return value;
}

// Text keys compare as unsigned bytes, a prefix first; no locale collation.
int CompareValues(const SortValue& a, const SortValue& b, int key)
{
    if (IsTextKey(key)) {
        const int order = std::string_view(a.text).compare(b.text);
        return order < 0 ? -1 : order > 0 ? 1 : 0;
    }
    return a.number < b.number ? -1 : a.number > b.number ? 1 : 0;
}

}  // namespace

int CompareFolders(int a, int b, int key)
{
    return CompareValues(ValueOf(FolderTable[static_cast<std::size_t>(a)], key),
                         ValueOf(FolderTable[static_cast<std::size_t>(b)], key), key);
}

void SortFolders(int n, int key, bool descending)
{
    if (n <= 0)
        return;
    ResetOrder(FolderOrder, n);
    std::vector<SortValue> values(static_cast<std::size_t>(n) + 1);
    for (int i = 1; i <= n; ++i)
        values[static_cast<std::size_t>(i)] = ValueOf(FolderTable[static_cast<std::size_t>(i)], key);
    SortOrder(FolderOrder, n, descending, [&](int a, int b) {
        return CompareValues(values[static_cast<std::size_t>(a)], values[static_cast<std::size_t>(b)], key);
    });
}
