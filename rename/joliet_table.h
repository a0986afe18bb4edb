#pragma once
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "core/entry_identity.h"
#include "core/find_file.h"
#include "core/pending_folders.h"
#include "core/walk_progress.h"

// One file below the chosen folder whose name or path cannot go on a CD or
// DVD under the Joliet extension.
struct JolietEntry {
    std::string Folder;            // full path of its folder, ending in "\", as shown
    std::wstring WideFolder;       // the same as it reaches the folder
    std::string Name;
    std::int32_t CharCount = 0;    // characters, negative when the name holds ";"
    std::int32_t PathLength = 0;   // bytes of its path below the chosen folder
    std::int64_t Size = 0;         // bytes
    SYSTEMTIME Stamp{};            // last write, local time
    EntryIdentity Identity;        // what the walk found, to rename only that file
};

// The limits a file is listed beyond.
inline constexpr std::int32_t JolietMaxChars = 64;
inline constexpr std::int32_t JolietMaxPathLength = 240;
// At most this many entries are recorded; the walk goes on past them.
inline constexpr int JolietCapacity = 998;

// The CD/DVD page's own key, besides the FileEntry keys 10 to 15.
inline constexpr int SortByPathLength = 16;

// Entries 1..n of the last walk in walk order; slot 0 is unused.
extern std::vector<JolietEntry> JolietTable;
// Folders of the running walk not yet checked.
extern class PendingFolders JolietPending;
// Entries the last walk stored, also the entry rows of the page's grid.
extern int JolietCount;
// Bytes of the chosen folder's path with one trailing "\".
extern std::int32_t JolietBaseLength;
// The folder of the entry the page's edit boxes show; empty when none.
extern DiskPath JolietFolder;

class FindFile;
// When set, the walk hands it every file and folder it meets, in place of
// the Joliet test of its files: another target's check.
using JolietEntryCheck = void (*)(const DiskPath& folder, const FindFile& entry);
extern JolietEntryCheck JolietOtherCheck;

// Walks the tree below the folder (with or without a trailing "\") and
// returns how many entries JolietTable now holds. Junctions and links are
// not followed.
int WalkJoliet(const DiskPath& folder);
// The same, counting every file and folder met in progress; once progress
// answers that the walk is to stop, the table holds what was found up to
// there.
int WalkJoliet(const DiskPath& folder, WalkProgress& progress);
// What the walk does with each entry of a folder (ending in "\") it lists:
// a file whose name or path breaks a limit is recorded; sub-folders are the
// walk's.
void CheckJolietFolder(const DiskPath& folder, const FindFile& entry);

// Negative, zero or positive as JolietTable entry a orders before, with or
// after entry b under the key; a key it does not know makes every pair equal.
int CompareJoliet(int a, int b, int key);
// Sets FileOrder 1..n to the walk order and heap-sorts it over JolietTable.
void SortJoliet(int n, int key, bool descending);
