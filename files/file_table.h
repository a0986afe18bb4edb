#pragma once
#include <cstdint>
#include <string>
#include <vector>
#include "core/disk_path.h"
#include "core/entry_identity.h"
#include "core/win_types.h"

// One file (or, for the rename page, one file or folder) directly in a folder.
struct FileEntry {
    std::string Name;              // as shown, no path (the entry's own name is in Identity)
    std::int32_t CharCount = 0;    // characters, negative when the name holds ";"
    std::int32_t IsFolder = 0;     // 1 for a folder, 0 for a file
    std::int64_t Size = 0;         // bytes
    std::int64_t DiskSize = 0;     // bytes in whole clusters
    SYSTEMTIME Stamp{};            // last write, local time
    EntryIdentity Identity;        // what the listing found, to rename only that entry
};

// Entries 1..n of the last listing in listing order; slot 0 is unused. The
// file page, its copy and the rename page each overwrite it.
extern std::vector<FileEntry> FileTable;

// Lists the plain files (hidden and system ones too) of one folder into
// FileTable and returns their count; 0 when the folder cannot be listed.
int ListFiles(const DiskPath& folder);
// The same listing with the sub-folders too ("." and ".." left out) when
// withFolders is set; a folder's size is 0.
int ListEntries(const DiskPath& folder, bool withFolders);
