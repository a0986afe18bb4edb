#include "rename/list_files_and_folders.h"

#include "files/file_table.h"

int ListFilesAndFolders(const std::string& folder)
{
    return ListEntries(folder, true);
}
