#include "rename/target_rename.h"

#include <algorithm>

#include "core/find_file.h"
#include "rename/target_table.h"

std::vector<int> FixOrder(int count)
{
    std::vector<int> order;
    for (int i = 1; i <= count; ++i)
        if (!TargetTable[static_cast<std::size_t>(i)].Proposal.empty())
            order.push_back(i);
    std::stable_sort(order.begin(), order.end(), [](int a, int b) {
        return TargetTable[static_cast<std::size_t>(a)].Depth > TargetTable[static_cast<std::size_t>(b)].Depth;
    });
    return order;
}

bool RenameTargetEntry(const TargetEntry& entry, const std::string& newShown, const std::wstring& newWide,
                       std::vector<TargetRenameDone>& done)
{
    const DiskPath folder(entry.Folder, entry.WideFolder);
    const DiskPath newPath = Joined(folder, newShown, newWide);
    if (!RenameOnDisk(Joined(folder, entry.Name, entry.Identity.Name), newPath, entry.Identity, RenameReach::Prefixed))
        return false;
    // As it is now, for the undo to find it by.
    const FindFile now(newPath.Wide.size() > 2 && newPath.Wide[1] == L':' ? L"\\\\?\\" + newPath.Wide : newPath.Wide);
    if (now)
        done.push_back({entry.WideFolder, {entry.Identity.Name, std::wstring(now.wideName()), IdentityOf(now.data())}});
    return true;
}

bool UndoTargetRename(const TargetRenameDone& done)
{
    const DiskPath folder(ShownText(done.Folder), done.Folder);
    const DoneRename& rename = done.Rename;
    return RenameOnDisk(Joined(folder, ShownText(rename.NewName), rename.NewName),
                        Joined(folder, ShownText(rename.OldName), rename.OldName), rename.Renamed,
                        RenameReach::Restoring);
}
