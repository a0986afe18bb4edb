#pragma once
#include <string>

#include "core/disk_path.h"
#include "core/entry_identity.h"

// Renames the file or folder at oldPath to newPath, both full paths, silently.
// True only when the rename really happened: oldPath names, by its wide form,
// exactly the entry whose identity was listed, and shows that entry's name;
// newPath names a plain name in the same folder, not ending in a space or a
// dot and naming no device; and a change of letter case
// alone really changes the name. Anything else leaves the disk as it was and
// answers false.
bool RenameOnDisk(const DiskPath& oldPath, const DiskPath& newPath, const EntryIdentity& entry);

// How the CD/DVD page's targets reach names such as "CON.txt" or "trail ",
// which only the "\\?\" form of a path names.
enum class RenameReach {
    // Both paths through their "\\?\" form, whatever their length; a folder
    // is known by its name and attributes, as renames inside it change its
    // write time.
    Prefixed,
    // The same, taking an entry back to a name it had: the new name may end
    // in a space or a dot, or name a device.
    Restoring,
};
bool RenameOnDisk(const DiskPath& oldPath, const DiskPath& newPath, const EntryIdentity& entry, RenameReach reach);

// A rename the apply made, kept to take it back: the entry's names before and
// after, and what it is now.
struct DoneRename {
    std::wstring OldName;
    std::wstring NewName;
    EntryIdentity Renamed;
};
