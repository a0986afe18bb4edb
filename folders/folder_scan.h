#pragma once
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "core/disk_path.h"
#include "core/entry_identity.h"
#include "core/walk_progress.h"

// One sub-folder of the current folder with the totals of its whole subtree,
// or (Name ".") the files lying directly in the current folder.
struct FolderSummary {
    std::string Name;
    std::wstring WideName;       // the folder's own name, which reaches it
    std::int32_t CharCount = 0;  // not filled for the "." record
    std::int64_t Size = 0;
    std::int64_t DiskSize = 0;
    SYSTEMTIME Stamp{};  // newest file's last write, local time; 1601-01-01 without files
    std::int32_t FileCount = 0;
    std::string NewestName;
    EntryIdentity Identity;      // the folder as the scan left it, to delete only that folder
};

// Record 0 holds the direct files, records 1 to FolderCount - 1 the
// sub-folders in the order the file system listed them.
extern std::vector<FolderSummary> FolderTable;
extern std::int32_t FolderCount;
// Whether the next scan of the folder page sets folder times.
extern bool UpdateFolderTimes;

// Fills FolderTable for the folder (with or without a trailing "\") and
// returns the new FolderCount. With update, every folder below the given one
// that holds files somewhere in its subtree gets the time of the newest of
// them; the given folder itself keeps its times.
std::int32_t ScanFolder(const DiskPath& folder, bool update);
// The same, counting every file and folder met in progress. Once progress
// answers that the walk is to stop, the table holds what was read up to
// there, and no folder whose subtree was not read to its end is stamped.
std::int32_t ScanFolder(const DiskPath& folder, bool update, WalkProgress& progress);

// Walks the subtree of folder (ending in "\"): returns its total size, hands
// back the newest file's local last-write time and name (zero time and empty
// name without files) and the file count, and adds the size on disk to
// diskSize. Sub-folders are stamped bottom-up when update is set. The
// entries met are counted in progress; a stopped walk gives what it read.
std::int64_t WalkFolder(const DiskPath& folder, bool update, FILETIME& newest,
                        std::string& newestName, std::int32_t& fileCount, std::int64_t& diskSize,
                        WalkProgress& progress);

// Sets the folder's creation, last-access and last-write times to the local
// time given, written as UTC. A folder that cannot be opened for writing keeps
// its times.
void StampFolderTime(const DiskPath& folder, const FILETIME& newest);
