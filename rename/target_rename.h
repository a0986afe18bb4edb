#pragma once
#include <string>
#include <vector>

#include "rename/rename_on_disk.h"

struct TargetEntry;

// A rename of the CD/DVD page's other targets, kept to take it back: the
// folder it was made in, by its full wide path ending in "\", and the names.
struct TargetRenameDone {
    std::wstring Folder;
    DoneRename Rename;
};

// The TargetTable indices 1..count whose entry has a 修正案, deepest first and
// in walk order among equals, so that no rename changes a path still to come.
std::vector<int> FixOrder(int count);

// Renames the entry to the new name through the rename step, reaching both
// by their "\\?\" form; on success the rename is appended to done.
bool RenameTargetEntry(const TargetEntry& entry, const std::string& newShown, const std::wstring& newWide,
                       std::vector<TargetRenameDone>& done);

// Gives a renamed entry its recorded name back, when it is still what the
// rename left.
bool UndoTargetRename(const TargetRenameDone& done);
