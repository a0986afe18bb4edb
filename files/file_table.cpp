#include "files/file_table.h"
#include "core/find_file.h"
#include "core/paths.h"
#include "core/sizes.h"

std::vector<FileEntry> FileTable(1);

int ListFiles(const std::string& folder)
{
    FileTable.resize(1);
    // An empty path names no folder; searching it would list the process's
    // current folder instead.
    if (folder.empty())
        return 0;
    for (FindFile entry(WithTrailingBackslash(folder) + "*.*"); entry; entry.next()) {
        const WIN32_FIND_DATAA& data = entry.data();
        FILETIME local;
        FileTimeToLocalFileTime(&data.ftLastWriteTime, &local);
        if (entry.isFolder())
            continue;
        FileEntry& file = FileTable.emplace_back();
        file.Name = entry.name();
        file.CharCount = CountNameChars(file.Name);
        file.IsFolder = 0;
        file.Size = entry.size();
        file.DiskSize = SizeOnDisk(file.Size);
        FileTimeToSystemTime(&local, &file.Stamp);
    }
    return static_cast<int>(FileTable.size()) - 1;
}
