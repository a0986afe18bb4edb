#include "rename/joliet_table.h"

#include "core/find_file.h"
#include "core/folder_walk.h"
#include "core/paths.h"
#include "core/sizes.h"
#include "core/sort_value.h"
#include "core/stamp.h"
#include "files/file_sort.h"

std::vector<JolietEntry> JolietTable(1);
PendingFolders JolietPending;
int JolietCount = 0;
std::int32_t JolietBaseLength = 0;
DiskPath JolietFolder;
JolietEntryCheck JolietOtherCheck = nullptr;

namespace {

SortValue ValueOf(const JolietEntry& entry, int key)
{
    switch (key) {
    case SortByName: return TextValue(UpperCased(entry.Name));
    case SortBySize: return NumberValue(entry.Size);
    case SortByDate: return NumberValue(StampOrder(entry.Stamp));
    case SortByExtension: return TextValue(UpperCased(ExtensionWithDot(entry.Name)));
    case SortByCharCount: return NumberValue(entry.CharCount);
    case SortByFolder: return TextValue(UpperCased(entry.Folder));
    case SortByPathLength: return NumberValue(entry.PathLength);
    default: return {};
    }
}

// Records the file of the folder (path ending in "\\") when its name or path
// breaks a limit and the table has room.
void CheckJolietFile(const DiskPath& path, const FindFile& entry)
{
    if (static_cast<int>(JolietTable.size()) > JolietCapacity)
        return;
    const std::string_view name = entry.name();
    const std::int32_t chars = CountNameChars(name);
    const auto length = static_cast<std::int32_t>(path.Shown.size() + name.size()) - JolietBaseLength;
    if (chars >= 0 && chars <= JolietMaxChars && length <= JolietMaxPathLength)
        return;
    JolietEntry& record = JolietTable.emplace_back();
    record.Folder = path.Shown;
    record.WideFolder = path.Wide;
    record.Name = name;
    record.CharCount = chars;
    record.PathLength = length;
    record.Size = entry.size();
    record.Identity = IdentityOf(entry.data());
    FILETIME local{};
    FileTimeToLocalFileTime(&entry.data().ftLastWriteTime, &local);
    FileTimeToSystemTime(&local, &record.Stamp);
}

}  // namespace

int WalkJoliet(const DiskPath& folder)
{
    WalkProgress unwatched;
    return WalkJoliet(folder, unwatched);
}

int WalkJoliet(const DiskPath& folder, WalkProgress& progress)
{
    JolietTable.resize(1);
    // Tested by character: a path ending in a double-byte character whose
    // trail byte is 0x5C still needs its "\".
    const DiskPath base = EndingInBackslash(folder);
    JolietBaseLength = static_cast<std::int32_t>(base.Shown.size());
    // An empty path names no folder; searching it would walk the process's
    // current folder instead.
    if (base.empty())
        return 0;
    // Each file of each folder checked as the walk meets it.
    class JolietWalk : public FolderVisitor {
    public:
        void Enter(const DiskPath&) override {}
        void Met(const DiskPath& path, const FindFile& entry) override { CheckJolietFolder(path, entry); }
        void Done(const DiskPath&) override {}
    };
    JolietWalk walk;
    WalkFolders(base, JolietPending, progress, walk);
    return static_cast<int>(JolietTable.size()) - 1;
}

void CheckJolietFolder(const DiskPath& path, const FindFile& entry)
{
    if (JolietOtherCheck)
        JolietOtherCheck(path, entry);
    else if (!entry.isFolder())
        CheckJolietFile(path, entry);
}

int CompareJoliet(int a, int b, int key)
{
    return CompareSortValues(ValueOf(JolietTable[static_cast<std::size_t>(a)], key),
                             ValueOf(JolietTable[static_cast<std::size_t>(b)], key));
}

void SortJoliet(int n, int key, bool descending)
{
    SortByValues(FileOrder, n, descending,
                 [key](int i) { return ValueOf(JolietTable[static_cast<std::size_t>(i)], key); });
}
