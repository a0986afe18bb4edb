#pragma once
#include <string>
#include "core/entry_identity.h"

// Renames the file or folder at oldPath to newPath, both full paths, silently.
// True only when the rename really happened: the entry that oldPath names now
// is the one whose identity was listed, newPath names a plain name in the same
// folder, and a change of letter case alone really changes the name. Anything
// else leaves the disk as it was and answers false.
bool RenameOnDisk(const std::string& oldPath, const std::string& newPath, const EntryIdentity& entry);
