#include <windows.h>

#include <cstdint>
#include <string>

#include "app/clip_text.h"
#include "app/walk_status.h"
#include "app/zev_form.h"
#include "core/find_file.h"
#include "core/number_format.h"
#include "core/paths.h"
#include "core/read_ahead.h"
#include "core/stamp.h"
#include "core/walk_rule.h"
#include "folders/tree_map_page.h"
#include "ui/cursor.h"

namespace {

// What follows a folder's name in detailed mode: its own files' size in
// kilobytes whatever the size unit, their count and the newest one's time.
std::string DetailText(std::int64_t size, std::int32_t fileCount, const FILETIME& newest)
{
    SYSTEMTIME stamp{};
    FileTimeToSystemTime(&newest, &stamp);
    std::string text = "\t     ";
    text += FormatNumber(static_cast<double>(size) / 1024.0, 7);
    text += "KB / ";
    text += std::to_string(fileCount);
    text += "  \t ";
    text += FormatStamp(stamp).view();
    return text;
}

}  // namespace

void TForm1::RefreshTree(const DiskPath& folder)
{
    ui::HourglassCursor hourglass;
    const DiskPath path = EndingInBackslash(folder);
    std::int32_t folderCount = 0;
    ui::TTreeNode root = nullptr;
    {
        // Filled out of sight, with only the root showing when it ends.
        ui::TTreeUpdate update(TreeView1);
        TreeView1.Clear();
        root = TreeView1.AddChild(nullptr, path.Shown);
        std::int32_t fileCount = 0;
        FILETIME newest{};
        const TreeMapWalk mapWalk(*this, path, root);
        WalkStatus walk(StatusBar1, *this, WalkStatus::Purpose::Refresh);
        const ReadAhead ahead(path, WalkOrder::Depth);
        BuildFolderTree(root, path, DetailTree.Checked(), folderCount, fileCount, newest, walk.Progress());
    }
    {
        // Opened out of sight as well, once the walk has ended and the bar
        // no longer offers Esc, which cannot stop this part.
        ui::TTreeUpdate update(TreeView1);
        TreeView1.ExpandAll();
    }
    TreeView1.Select(root);
    lbFolder.SetCaption(FormatInt(folderCount, 10) + " folders");
}

std::int64_t TForm1::BuildFolderTree(ui::TTreeNode node, const DiskPath& path, bool detailed,
                                     std::int32_t& folderCount, std::int32_t& fileCount, FILETIME& newest,
                                     WalkProgress& progress)
{
    std::int64_t size = 0;
    folderCount = 0;
    fileCount = 0;
    newest = FILETIME{};
    // Local time is UTC moved by one bias, so the newest is the same in
    // either; it is found in UTC and converted once per folder.
    FILETIME newestUtc{};
    for (FindFile entry = ReadFolder(path, progress); entry; entry.next()) {
        if (!entry.isFolder()) {
            // Strictly later only: of equal times the first listed stays.
            if (CompareFileTime(&newestUtc, &entry.data().ftLastWriteTime) < 0)
                newestUtc = entry.data().ftLastWriteTime;
            ++fileCount;
            size += entry.size();
            if (MapWalk)
                MapWalk->AddFile(entry);
            if (!progress.file())
                break;
            continue;
        }
        if (entry.isDotEntry())
            continue;
        const std::string name(entry.name());
        const ui::TTreeNode child = TreeView1.AddChild(node, name);
        if (MapWalk)
            MapWalk->EnterFolder(entry, child);
        std::int32_t subFolders = 0;
        std::int32_t subFiles = 0;
        FILETIME subNewest{};
        // A junction or link shows as a folder of its own but is not
        // followed, so a link back up the tree cannot loop. A folder met when
        // the walk is told to stop shows with nothing read.
        const std::int64_t subSize = progress.folder() && IsWalkableFolder(entry.data())
            ? BuildFolderTree(child, SubFolder(path, entry), detailed, subFolders, subFiles, subNewest, progress)
            : 0;
        if (MapWalk)
            MapWalk->LeaveFolder();
        if (detailed)
            TreeView1.SetNodeText(child, name + DetailText(subSize, subFiles, subNewest));
        folderCount += 1 + subFolders;
        if (progress.stopped())
            break;
    }
    if ((newestUtc.dwLowDateTime | newestUtc.dwHighDateTime) != 0 && !FileTimeToLocalFileTime(&newestUtc, &newest))
        newest = FILETIME{};
    return size;
}

void TForm1::BTreeAllExpandClick(ui::TControl&)
{
    ui::TTreeUpdate update(TreeView1);
    TreeView1.ExpandAll();
}

void TForm1::BCollapseTreeClick(ui::TControl&)
{
    TreeView1.CollapseAll();
}

void TForm1::DetailTreeClick(ui::TControl&)
{
    RefreshTree(CurrentFolder);
}

void TForm1::TreeKeyDown(ui::TControl& sender, WORD& key, ui::TShiftState shift)
{
    if (shift != ui::ssCtrl || &sender != &TreeView1)
        return;
    ui::HourglassCursor hourglass;
    if (key == 'C')
        CopyTree();
}

void TForm1::CopyTree()
{
    ClipText.clear();
    TreeView1.ForEachNode([this](ui::TTreeNode node, int level) {
        for (int i = 0; i < level; ++i)
            AppendClipText("|\t");
        AppendClipText(TreeView1.NodeText(node));
        AppendClipText("\r\n");
    });
    PlaceClipText(Handle());
}
