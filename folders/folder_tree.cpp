#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "app/clip_text.h"
#include "app/walk_status.h"
#include "app/zev_form.h"
#include "core/find_file.h"
#include "core/folder_walk.h"
#include "core/number_format.h"
#include "core/paths.h"
#include "core/stamp.h"
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
        TreeMapWalk mapWalk(*this, path, root);
        {
            WalkStatus walk(StatusBar1, *this, WalkStatus::Purpose::Refresh);
            BuildFolderTree(root, path, DetailTree.Checked(), folderCount, fileCount, newest, walk.Progress());
        }
        mapWalk.End();
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
    // The tree as the walk goes, depth first: a node for each sub-folder
    // met, its totals kept until it is done.
    class TreeWalk : public FolderVisitor {
    public:
        TreeWalk(TForm1& form, ui::TTreeNode node, bool detailed) : form_(form), detailed_(detailed)
        {
            frames_.emplace_back().node = node;
        }

        void Enter(const DiskPath&) override {}

        void Met(const DiskPath&, const FindFile& entry) override
        {
            Frame& frame = frames_.back();
            if (!entry.isFolder()) {
                // Strictly later only: of equal times the first listed stays.
                if (CompareFileTime(&frame.newestUtc, &entry.data().ftLastWriteTime) < 0)
                    frame.newestUtc = entry.data().ftLastWriteTime;
                ++frame.fileCount;
                frame.size += entry.size();
                if (form_.MapWalk)
                    form_.MapWalk->AddFile(entry);
                return;
            }
            std::string name(entry.name());
            const ui::TTreeNode child = form_.TreeView1.AddChild(frame.node, name);
            if (form_.MapWalk)
                form_.MapWalk->EnterFolder(entry, child);
            Frame& sub = frames_.emplace_back();
            sub.node = child;
            sub.name = std::move(name);
        }

        // A junction or link shows as a folder of its own but is not
        // followed, so a link back up the tree cannot loop. A folder met when
        // the walk is told to stop shows with nothing read.
        void Done(const DiskPath&) override
        {
            Frame frame = std::move(frames_.back());
            frames_.pop_back();
            // Local time is UTC moved by one bias, so the newest is the same
            // in either; it is found in UTC and converted once per folder.
            if ((frame.newestUtc.dwLowDateTime | frame.newestUtc.dwHighDateTime) == 0
                || !FileTimeToLocalFileTime(&frame.newestUtc, &frame.newest))
                frame.newest = FILETIME{};
            if (frames_.empty()) {
                first_ = std::move(frame);
                return;
            }
            if (form_.MapWalk)
                form_.MapWalk->LeaveFolder();
            if (detailed_)
                form_.TreeView1.SetNodeText(frame.node, frame.name + DetailText(frame.size, frame.fileCount, frame.newest));
            frames_.back().folderCount += 1 + frame.folderCount;
        }

        struct Frame {
            ui::TTreeNode node = nullptr;
            std::string name;
            std::int64_t size = 0;
            std::int32_t folderCount = 0;
            std::int32_t fileCount = 0;
            FILETIME newestUtc{};
            FILETIME newest{};
        };
        Frame first_;

    private:
        TForm1& form_;
        const bool detailed_;
        std::vector<Frame> frames_;
    };

    TreeWalk tree(*this, node, detailed);
    WalkFolders(EndingInBackslash(path), progress, tree);
    folderCount = tree.first_.folderCount;
    fileCount = tree.first_.fileCount;
    newest = tree.first_.newest;
    return tree.first_.size;
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

void TForm1::ShowFolderFigures(ui::TTreeNode node, std::int64_t size, std::int32_t fileCount,
                               const FILETIME& newestUtc)
{
    if (!node || !DetailTree.Checked())
        return;
    FILETIME newest{};
    if ((newestUtc.dwLowDateTime | newestUtc.dwHighDateTime) != 0 && !FileTimeToLocalFileTime(&newestUtc, &newest))
        newest = FILETIME{};
    // The figures follow the name after its first tab, which no name holds.
    const std::string text = TreeView1.NodeText(node);
    TreeView1.SetNodeText(node, text.substr(0, text.find('\t')) + DetailText(size, fileCount, newest));
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
