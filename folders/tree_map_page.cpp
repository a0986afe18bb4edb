#include "folders/tree_map_page.h"

#include <algorithm>
#include <new>

#include "app/clip_text.h"
#include "app/zev_form.h"
#include "core/find_file.h"
#include "core/number_format.h"
#include "core/sizes.h"
#include "ui/cursor.h"
#include "ui/shell.h"

namespace {

// The map's records, its picture and which tree node shows which folder go;
// nothing here allocates.
void ForgetMap(TForm1& form) noexcept
{
    form.TreeMapPane1.Records.Clear();
    form.TreeMapPane1.Layout.Clear();
    decltype(form.MapNodes)().swap(form.MapNodes);
}

constexpr char kMapHint[] = "ファイルの地図 (面積 = サイズ, 色 = 更新日または種類) : 左クリックでツリーのフォルダを選択, "
                            "右クリックでオープン, ダブルクリックでエクスプローラ,  ^C で種類別の一覧をコピー";

}  // namespace

std::function<void()> BeforeMapRecords;

TreeMapWalk::TreeMapWalk(TForm1& form, const DiskPath& root, ui::TTreeNode rootNode) : form_(form)
{
    if (!form_.TreeMapCheck.Checked())
        return;
    form_.TreeMapPane1.View.SetBusy(true);
    recording_ = true;
    try {
        ForgetMap(form_);
        form_.TreeMapPane1.Records.Begin(root);
        form_.MapNodes.push_back(rootNode);
        form_.MapWalk = this;
    } catch (const std::bad_alloc&) {
        OutOfMemory();
    }
}

TreeMapWalk::~TreeMapWalk()
{
    if (!recording_)
        return;
    form_.MapWalk = nullptr;
    ForgetMap(form_);
    form_.TreeMapPane1.View.ReleaseBitmap();
    form_.TreeMapPane1.View.SetBusy(false);
}

void TreeMapWalk::OutOfMemory() noexcept
{
    // What was recorded goes at once, so the rest of the walk has memory.
    form_.MapWalk = nullptr;
    ForgetMap(form_);
    outOfMemory_ = true;
}

void TreeMapWalk::AddFile(const FindFile& entry)
{
    try {
        if (BeforeMapRecords)
            BeforeMapRecords();
        form_.TreeMapPane1.Records.AddFile(entry);
    } catch (const std::bad_alloc&) {
        OutOfMemory();
    }
}

void TreeMapWalk::EnterFolder(const FindFile& entry, ui::TTreeNode node)
{
    try {
        if (BeforeMapRecords)
            BeforeMapRecords();
        form_.TreeMapPane1.Records.EnterFolder(entry);
        form_.MapNodes.push_back(node);
    } catch (const std::bad_alloc&) {
        OutOfMemory();
    }
}

void TreeMapWalk::LeaveFolder()
{
    form_.TreeMapPane1.Records.LeaveFolder();
}

void TreeMapWalk::End()
{
    if (!recording_)
        return;
    recording_ = false;
    form_.MapWalk = nullptr;
    TTreeMapPane& pane = form_.TreeMapPane1;
    if (!outOfMemory_) {
        try {
            pane.Records.End();
            pane.Layout.Update();
        } catch (const std::bad_alloc&) {
            OutOfMemory();
        }
    }
    pane.UpdateLegend();
    pane.View.SetBusy(false);
    pane.View.Rebuild();
    if (outOfMemory_)
        form_.HintToStatusBar("マップを作るメモリが足りません");
}

void TForm1::LayOutTreeMap()
{
    TreeMapCheck.SetFont(DetailTree.Font());
    TreeMapCheck.Hint = "ツリーの下にファイルの地図を表示 (面積 = サイズ, 色 = 更新日または種類)";
    TreeMapCheck.SetChecked(false);
    // Off: no strip of the page is the map's.
    TreeMapPane1.SetVisible(false);
    TreeMapPane1.View.MapHint = kMapHint;
    TreeMapPane1.View.Hint = kMapHint;
}

void TForm1::BindTreeMapEvents()
{
    TreeMapCheck.OnClick = [this](ui::TControl& s) { TreeMapCheckClick(s); };
    TreeMapPane1.View.OnMapClick = [this](const MapHit& hit, ui::TMouseButton button, bool doubleClick) {
        TreeMapClick(hit, button, doubleClick);
    };
    TreeMapPane1.View.FileHint = [this](std::int32_t file) {
        UpdateSizeUnit(CheckKB.Checked());
        return MapFileHint(TreeMapPane1.Records, file, SizeUnit);
    };
    TreeMapPane1.View.OnKeyDown = [this](ui::TControl& s, WORD& key, ui::TShiftState shift) {
        TreeMapKeyDown(s, key, shift);
    };
    TreeView1.OnSelect = [this](ui::TTreeNode node) { TreeView1Select(node); };
}

void TForm1::TreeMapCheckClick(ui::TControl&)
{
    if (!TreeMapCheck.Checked()) {
        TreeMapPane1.SetVisible(false);
        TreeMapPane1.SetAlign(ui::TAlign::None);
        ForgetMap(*this);
        TreeMapPane1.View.ReleaseBitmap();
        TreeMapPane1.UpdateLegend();
        return;
    }
    // The lower half of the page at first.
    RECT page{};
    GetClientRect(TreePage.Handle(), &page);
    TreeMapPane1.SetHeight((page.bottom - TreeButton.Height()) / 2);
    TreeMapPane1.SetAlign(ui::TAlign::Bottom);
    TreeMapPane1.SetVisible(true);
    RefreshTree(CurrentFolder);
}

void TForm1::TreeMapClick(const MapHit& hit, ui::TMouseButton button, bool doubleClick)
{
    if (hit.Folder < 0)
        return;
    const MapRecords& map = TreeMapPane1.Records;
    if (doubleClick) {
        ui::ShellOpen(Handle(), "open", "explorer", map.FolderPath(hit.Folder), "", SW_SHOW);
    } else if (button == ui::TMouseButton::Right) {
        if (hit.File >= 0)
            ui::ShellOpen(Handle(), "open", map.FilePath(hit.File), "", map.FolderPath(hit.Folder), SW_SHOW);
    } else {
        // The tree follows, the focus staying on the map; the outline its
        // selection puts round the folder goes round what was clicked.
        TreeView1.Select(MapNodes[static_cast<std::size_t>(hit.Folder)]);
        TreeMapPane1.View.SetOutline(hit, false);
    }
}

void TForm1::TreeView1Select(ui::TTreeNode node)
{
    if (!TreeMapCheck.Checked() || TreeMapPane1.View.Busy())
        return;
    MapHit target;
    const auto shown = std::find(MapNodes.begin(), MapNodes.end(), node);
    target.Folder = shown == MapNodes.end() ? -1 : static_cast<std::int32_t>(shown - MapNodes.begin());
    // The root's rectangle is the whole map: no outline.
    if (target.Folder == 0)
        target.Folder = -1;
    TreeMapPane1.View.SetOutline(target, true);
}

void TForm1::TreeMapKeyDown(ui::TControl&, WORD& key, ui::TShiftState shift)
{
    if (shift != ui::ssCtrl || key != 'C')
        return;
    ui::HourglassCursor hourglass;
    CopyTreeMap();
}

void TForm1::CopyTreeMap()
{
    UpdateSizeUnit(CheckKB.Checked());
    ClipText = MapKindsText(TreeMapPane1.Records, SizeUnit);
    PlaceClipText(Handle());
}

void TForm1::DeleteMapFile()
{
    MapRecords& map = TreeMapPane1.Records;
    const std::int32_t file = TreeMapPane1.View.OutlinedFile();
    if (file < 0 || TreeMapPane1.View.Busy() || map.File(file).Folder < 0)
        return;
    const MapFile record = map.File(file);
    const DiskPath path = map.FilePath(file);
    // The map keeps a file's name, size and time: the entry there now stands
    // for it only when those are the same.
    EntryIdentity identity;
    identity.Name = path.Wide.substr(path.Wide.rfind(L'\\') + 1);
    if (FindFile found(path.Wide); found && found.wideName() == identity.Name && !found.isFolder()
        && found.size() == record.Size && CompareFileTime(&found.data().ftLastWriteTime, &record.Written) == 0)
        identity = IdentityOf(found.data());
    if (RecycleEntry(path, identity, FormatNumber(record.Size) + " bytes") != RecycleOutcome::Moved)
        return;
    map.RemoveFile(file);
    TreeMapPane1.Layout.Update();
    TreeMapPane1.View.SetOutline(MapHit{}, false);
    TreeMapPane1.View.Rebuild();
    TreeMapPane1.UpdateLegend();
    if (record.Folder > 0) {
        const MapRecords::OwnFiles own = map.FilesIn(record.Folder);
        ShowFolderFigures(MapNodes[static_cast<std::size_t>(record.Folder)], own.Size, own.Count, own.Newest);
    }
}
