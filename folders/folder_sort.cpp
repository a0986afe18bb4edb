#include "folders/folder_sort.h"

#include "core/sort_value.h"
#include "core/stamp.h"
#include "folders/folder_scan.h"

std::vector<int> FolderOrder(1);

namespace {

SortValue ValueOf(const FolderSummary& record, int key)
{
    switch (key) {
    case FolderByName: return TextValue(UpperCased(record.Name));
    case FolderBySize: return NumberValue(record.Size);
    // The text form sorts chronologically, and the blank one of a folder
    // without files before every date.
    case FolderByDate: return TextValue(FormatStamp(record.Stamp).str());
    case FolderByFileCount: return NumberValue(record.FileCount);
    case FolderByNewestName: return TextValue(UpperCased(record.NewestName));
    default: return {};
    }
}

const FolderSummary& Record(int index) { return FolderTable[static_cast<std::size_t>(index)]; }

}  // namespace

int CompareFolders(int a, int b, int key)
{
    return CompareSortValues(ValueOf(Record(a), key), ValueOf(Record(b), key));
}

void SortFolders(int n, int key, bool descending)
{
    SortByValues(FolderOrder, n, descending, [key](int i) { return ValueOf(Record(i), key); });
}
