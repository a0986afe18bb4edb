#include "folders/folder_scan.h"

#include <memory>

#include "core/find_file.h"
#include "core/paths.h"
#include "core/read_ahead.h"
#include "core/sizes.h"
#include "core/walk_rule.h"

// Record 0 is there before the first scan, so the page can be copied at once.
std::vector<FolderSummary> FolderTable(1);
std::int32_t FolderCount = 1;
bool UpdateFolderTimes = false;

namespace {

bool IsZero(const FILETIME& time)
{
    return time.dwLowDateTime == 0 && time.dwHighDateTime == 0;
}

FILETIME LocalWriteTime(const FindFile& entry)
{
    FILETIME local{};
    FileTimeToLocalFileTime(&entry.data().ftLastWriteTime, &local);
    return local;
}

struct HandleCloser {
    void operator()(HANDLE handle) const { CloseHandle(handle); }
};
using UniqueHandle = std::unique_ptr<void, HandleCloser>;

SYSTEMTIME ToSystemTime(const FILETIME& time)
{
    SYSTEMTIME stamp{};
    FileTimeToSystemTime(&time, &stamp);
    return stamp;
}

}  // namespace

std::int32_t ScanFolder(const DiskPath& folder, bool update)
{
    WalkProgress unwatched;
    return ScanFolder(folder, update, unwatched);
}

std::int32_t ScanFolder(const DiskPath& folder, bool update, WalkProgress& progress)
{
    const DiskPath path = EndingInBackslash(folder);
    std::int64_t size = 0;
    std::int64_t diskSize = 0;
    std::int32_t fileCount = 0;
    FILETIME newest{};
    std::string newestName;

    std::size_t next = 1;
    const ReadAhead ahead(path, WalkOrder::Depth);
    for (FindFile entry = ReadFolder(path, progress); entry; entry.next()) {
        if (!entry.isFolder()) {
            const FILETIME time = LocalWriteTime(entry);
            ++fileCount;
            const std::int64_t bytes = entry.size();
            size += bytes;
            diskSize += SizeOnDisk(bytes);
            if (CompareFileTime(&newest, &time) < 0) {
                newest = time;
                newestName = entry.name();
            }
            if (!progress.file())
                break;
            continue;
        }
        if (entry.isDotEntry())
            continue;
        if (FolderTable.size() <= next)
            FolderTable.resize(next + 1);
        FolderSummary& record = FolderTable[next];
        record.Name = entry.name();
        record.WideName = entry.wideName();
        record.CharCount = CountNameChars(record.Name);
        FILETIME subNewest{};
        record.NewestName.clear();
        record.FileCount = 0;
        record.DiskSize = 0;
        // A junction or link keeps its row but is not followed. A folder met
        // when the walk is told to stop keeps its row with nothing read.
        record.Size = progress.folder() && IsWalkableFolder(entry.data())
            ? WalkFolder(SubFolder(path, entry), update, subNewest, record.NewestName,
                         record.FileCount, record.DiskSize, progress)
            : 0;
        record.Stamp = ToSystemTime(subNewest);
        record.Identity = IdentityOf(entry.data());
        // Stamping gave the folder a new time since it was listed.
        if (update)
            if (FindFile stamped(path.Wide + record.WideName); stamped && stamped.wideName() == record.WideName)
                record.Identity = IdentityOf(stamped.data());
        ++next;
        if (progress.stopped())
            break;
    }

    FolderTable.resize(next);
    FolderSummary& direct = FolderTable[0];
    direct.Name = ".";
    direct.Size = size;
    direct.DiskSize = diskSize;
    direct.Stamp = ToSystemTime(newest);
    direct.FileCount = fileCount;
    direct.NewestName = std::move(newestName);
    return static_cast<std::int32_t>(next);
}

std::int64_t WalkFolder(const DiskPath& folder, bool update, FILETIME& newest,
                        std::string& newestName, std::int32_t& fileCount, std::int64_t& diskSize,
                        WalkProgress& progress)
{
    std::int64_t size = 0;
    newest = FILETIME{};
    newestName.clear();
    fileCount = 0;
    {
        std::string subName;
        for (FindFile entry = ReadFolder(folder, progress); entry; entry.next()) {
            if (!entry.isFolder()) {
                const FILETIME time = LocalWriteTime(entry);
                // Strictly later only: of equal times the first listed stays.
                if (CompareFileTime(&newest, &time) < 0) {
                    newest = time;
                    newestName = entry.name();
                }
                ++fileCount;
                const std::int64_t bytes = entry.size();
                size += bytes;
                diskSize += SizeOnDisk(bytes);
                if (!progress.file())
                    break;
                continue;
            }
            if (entry.isDotEntry())
                continue;
            if (!progress.folder())
                break;
            if (!IsWalkableFolder(entry.data()))
                continue;
            FILETIME subNewest{};
            std::int32_t subCount = 0;
            std::int64_t subDiskSize = 0;
            size += WalkFolder(SubFolder(folder, entry), update, subNewest, subName,
                               subCount, subDiskSize, progress);
            // The sub-folder wins ties, so a later one beats an earlier one.
            if (CompareFileTime(&newest, &subNewest) <= 0) {
                newest = subNewest;
                newestName.swap(subName);
            }
            diskSize += subDiskSize;
            fileCount += subCount;
            if (progress.stopped())
                break;
        }
    }
    // Stamped only once the whole subtree is done and the search closed. A
    // subtree without files has no time to give, so such a folder keeps its
    // own; nor has a subtree the walk left unfinished.
    if (update && !progress.stopped() && !IsZero(newest))
        StampFolderTime(folder, newest);
    return size;
}

void StampFolderTime(const DiskPath& folder, const FILETIME& newest)
{
    FILETIME utc{};
    if (!LocalFileTimeToFileTime(&newest, &utc))
        return;
    // FILE_FLAG_BACKUP_SEMANTICS is what lets CreateFile open a folder.
    const HANDLE opened = CreateFileW(LongForm(folder.Wide).c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                      FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (opened == INVALID_HANDLE_VALUE)
        return;
    const UniqueHandle handle(opened);
    SetFileTime(handle.get(), &utc, &utc, &utc);
}
