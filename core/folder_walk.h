#pragma once
#ifdef _WIN32
#include "core/disk_path.h"
#include "core/find_file.h"
#include "core/pending_folders.h"
#include "core/read_ahead.h"
#include "core/walk_progress.h"

// What a walk does as it goes; the walk code calls it at fixed points.
class FolderVisitor {
public:
    virtual ~FolderVisitor() = default;
    // Before the folder (ending in "\") is listed.
    virtual void Enter(const DiskPath& folder) = 0;
    // An entry of the folder being listed, "." and ".." left out, before
    // progress is told of it.
    virtual void Met(const DiskPath& folder, const FindFile& entry) = 0;
    // The folder's listing is over and closed; depth first, its sub-folders
    // too. Depth first, a sub-folder met and not entered (a link, or met as
    // the walk was told to stop) is done right after progress is told of it,
    // with no Enter.
    virtual void Done(const DiskPath& folder) = 0;
};

// Walks the folders below start (ending in "\"), reading ahead of itself:
// each folder is entered, its entries met, and its walkable sub-folders
// (see IsWalkableFolder) followed, until progress says stop: before the next
// entry, and depth first, after a sub-folder is done.
// Depth first (pre-order).
void WalkFolders(const DiskPath& start, WalkProgress& progress, FolderVisitor& visitor);
// In slot order, over the slots given; what a stopped walk left pending is
// dropped.
void WalkFolders(const DiskPath& start, class PendingFolders& slots, WalkProgress& progress,
                 FolderVisitor& visitor);
#endif
