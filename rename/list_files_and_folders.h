#pragma once
#include "core/disk_path.h"

// Lists every file and sub-folder (hidden and system ones too) of one folder
// into FileTable, in the order the directory search returns them, each with
// its identity; returns their count, 0 when the folder cannot be listed.
int ListFilesAndFolders(const DiskPath& folder);
