#include "files/file_sort.h"
#include <cstddef>
#include <cstdint>
#include "core/dbcs.h"
#include "core/sort_value.h"
#include "core/stamp.h"
#include "core/win_types.h"
#include "files/file_table.h"

std::vector<int> FileOrder(1);

namespace {

SortValue ValueOf(const FileEntry& entry, int key)
{
    switch (key) {
    case SortByName: return TextValue(UpperCased(entry.Name));
    case SortBySize: return NumberValue(entry.Size);
    case SortByDate: return NumberValue(StampOrder(entry.Stamp));
    case SortByExtension: return TextValue(UpperCased(ExtensionWithDot(entry.Name)));
    case SortByCharCount: return NumberValue(entry.CharCount);
    default: return {};
    }
}

}  // namespace

std::string ExtensionText(std::string_view name)
{
    const std::string_view extension = ExtensionWithDot(name);
    return extension.empty() ? std::string() : std::string(extension.substr(1));
}

int CompareFiles(int a, int b, int key)
{
    return CompareSortValues(ValueOf(FileTable[a], key), ValueOf(FileTable[b], key));
}

void SortFiles(int n, int key, bool descending)
{
    SortByValues(FileOrder, n, descending, [key](int i) { return ValueOf(FileTable[i], key); });
}
