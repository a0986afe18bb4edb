#pragma once
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "core/disk_path.h"
#include "core/entry_identity.h"
#include "core/walk_progress.h"
#include "rename/target_rules.h"

// One file or folder below the chosen folder that breaks a rule of the
// chosen target.
struct TargetEntry {
    std::string Folder;          // full path of its folder, ending in "\", as shown
    std::wstring WideFolder;     // the same as it reaches the folder
    std::string Name;            // as shown
    EntryIdentity Identity;      // what the walk found; its wide name reaches it
    bool IsFolder = false;
    std::int64_t Size = 0;       // bytes; 0 for a folder
    SYSTEMTIME Stamp{};          // last write, local time
    std::int32_t PathLength = 0; // UTF-16 units of its path below the chosen folder
    std::int32_t CharCount = 0;  // characters of the shown name
    std::int32_t Depth = 0;      // folders between it and the chosen folder
    std::uint32_t Reasons = 0;   // TargetReason bits
    std::wstring Proposal;       // the fixed name; empty when there is none
    std::string ShownProposal;
};

// Entries 1..n of the last walk for another target, in walk order; slot 0 is
// unused.
extern std::vector<TargetEntry> TargetTable;

// Walks the tree below the folder the CD/DVD page's way, without a limit on
// the entries, and returns how many TargetTable holds.
int WalkTarget(CheckTarget target, const DiskPath& folder, WalkProgress& progress);

// Sort keys as the CD/DVD page has them; a folder's size orders as -1.
void SortTarget(int n, int key, bool descending);
