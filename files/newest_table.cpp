#include "files/newest_table.h"

#include "core/find_file.h"
#include "core/folder_walk.h"
#include "core/paths.h"
#include "core/sort_value.h"
#include "core/stamp.h"
#include "files/file_sort.h"
#include "files/newest_keeper.h"

std::vector<NewestEntry> NewestTable(NewestCapacity + 1);
std::int32_t NewestCount = 0;
std::vector<int> NewestOrder(NewestCapacity + 1);
class PendingFolders PendingFolders;

namespace {

NewestKeeper Kept(NewestCapacity);

std::uint64_t TicksOf(const FILETIME& time)
{
    return (std::uint64_t{time.dwHighDateTime} << 32) | time.dwLowDateTime;
}

SortValue ValueOf(const NewestEntry& entry, int key)
{
    switch (key) {
    case SortByName: return TextValue(UpperCased(entry.Name));
    case SortBySize: return NumberValue(entry.Size);
    case SortByDate: return NumberValue(StampOrder(entry.Stamp));
    case SortByExtension: return TextValue(UpperCased(ExtensionWithDot(entry.Name)));
    case SortByFolder: return TextValue(UpperCased(entry.Folder));
    default: return {};
    }
}

}  // namespace

std::int32_t WalkNewest(const DiskPath& folder)
{
    WalkProgress unwatched;
    return WalkNewest(folder, unwatched);
}

std::int32_t WalkNewest(const DiskPath& folder, WalkProgress& progress)
{
    // Each file of each folder offered to the table as the walk meets it.
    class NewestWalk : public FolderVisitor {
    public:
        void Enter(const DiskPath&) override {}
        void Met(const DiskPath& path, const FindFile& entry) override { ListNewestFolder(path, entry); }
        void Done(const DiskPath&) override {}
    };

    Kept.clear();
    // An empty path names no folder; searching it would list the process's
    // current folder instead.
    if (!folder.empty()) {
        NewestWalk walk;
        WalkFolders(EndingInBackslash(folder), PendingFolders, progress, walk);
    }
    return Kept.held();
}

void ListNewestFolder(const DiskPath& path, const FindFile& entry)
{
    if (entry.isFolder())
        return;
    const WIN32_FIND_DATAW& data = entry.data();
    FILETIME local{};
    FileTimeToLocalFileTime(&data.ftLastWriteTime, &local);
    const int position = Kept.offer(TicksOf(local));
    if (position != 0) {
        NewestEntry& kept = NewestTable[static_cast<std::size_t>(position)];
        kept.Name = entry.name();
        kept.Folder = path.Shown;
        kept.WideName = entry.wideName();
        kept.WideFolder = path.Wide;
        kept.Size = entry.size();
        kept.WriteTime = local;
        FileTimeToSystemTime(&local, &kept.Stamp);
        kept.Identity = IdentityOf(data);
    }
}

void DropNewest(int position)
{
    if (position < 1 || position > NewestCount)
        return;
    NewestTable.erase(NewestTable.begin() + position);
    NewestTable.emplace_back();
    --NewestCount;
}

int CompareNewest(int a, int b, int key)
{
    return CompareSortValues(ValueOf(NewestTable[static_cast<std::size_t>(a)], key),
                             ValueOf(NewestTable[static_cast<std::size_t>(b)], key));
}

void SortNewest(int count, int key, bool descending)
{
    SortByValues(NewestOrder, count, descending,
                 [key](int i) { return ValueOf(NewestTable[static_cast<std::size_t>(i)], key); });
}
