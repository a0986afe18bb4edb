#include "rename/list_files_and_folders.h"

#include "files/file_table.h"

int ListFilesAndFolders(const DiskPath& folder)
{
    return ListEntries(folder, true);
}
