#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "core/entry_identity.h"
#include "core/find_file.h"
#include "core/pending_folders.h"
#include "core/walk_progress.h"
#include "core/win_types.h"

// One file kept by the newest-files walk.
struct NewestEntry {
    std::string Name;      // no path, as shown
    std::string Folder;    // the folder holding it, ending in "\", as shown
    std::wstring WideName;    // the same two as they reach the file
    std::wstring WideFolder;
    std::int64_t Size = 0;
    FILETIME WriteTime{};  // last write, local time
    SYSTEMTIME Stamp{};    // the same time broken down
    EntryIdentity Identity;   // what the walk found, to delete only that file
};

inline constexpr int NewestCapacity = 500;

// Positions 1 to 500 (0 unused), filled from 1 upwards by each walk.
extern std::vector<NewestEntry> NewestTable;
// Entries held after the last walk.
extern std::int32_t NewestCount;
// Display order: position r (from 1) holds the NewestTable position of row r.
extern std::vector<int> NewestOrder;
// The slots of the walk: folders it found and has yet to list. The variable
// bears the name of its class, which is then named through "class".
extern class PendingFolders PendingFolders;

// Walks the whole subtree of the folder, the folder's own files included,
// keeps its 500 newest files in NewestTable and returns how many it holds.
// Junctions, symbolic links and mount points are not followed.
std::int32_t WalkNewest(const DiskPath& folder);
// The same, counting every file and folder met in progress; once progress
// answers that the walk is to stop, the table holds the newest of the files
// met up to there.
std::int32_t WalkNewest(const DiskPath& folder, WalkProgress& progress);
// What the walk does with each entry of a folder (ending in "\") it lists:
// a file is offered to the table; sub-folders are the walk's.
void ListNewestFolder(const DiskPath& folder, const FindFile& entry);

// Takes the entry at a position (1 to NewestCount) out of the table; the
// entries after it move up one, keeping their order.
void DropNewest(int position);

// Negative, zero or positive as NewestTable position a orders before, with
// or after b under the file page's keys and the folder key; any other key
// makes every pair equal.
int CompareNewest(int a, int b, int key);
// Sets NewestOrder 1..count to the table order and heap-sorts it by the key.
void SortNewest(int count, int key, bool descending);
