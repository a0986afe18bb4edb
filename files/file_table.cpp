#include "files/file_table.h"
#include "core/find_file.h"
#include "core/paths.h"
#include "core/sizes.h"

std::vector<FileEntry> FileTable(1);

int ListFiles(const DiskPath& folder)
{
    return ListEntries(folder, false);
}

int ListEntries(const DiskPath& folder, bool withFolders)
{
    FileTable.resize(1);
    // An empty path names no folder; searching it would list the process's
    // current folder instead.
    if (folder.empty())
        return 0;
    for (FindFile entry(EndingInBackslash(folder).Wide + L"*"); entry; entry.next()) {
        if (entry.isFolder() && (!withFolders || entry.isDotEntry()))
            continue;
        const WIN32_FIND_DATAW& data = entry.data();
        FILETIME local;
        FileTimeToLocalFileTime(&data.ftLastWriteTime, &local);
        FileEntry& item = FileTable.emplace_back();
        item.Name = entry.name();
        item.CharCount = CountNameChars(item.Name);
        item.IsFolder = entry.isFolder() ? 1 : 0;
        item.Size = item.IsFolder ? 0 : entry.size();
        item.DiskSize = item.IsFolder ? 0 : SizeOnDisk(item.Size);
        FileTimeToSystemTime(&local, &item.Stamp);
        item.Identity = IdentityOf(data);
    }
    return static_cast<int>(FileTable.size()) - 1;
}
