#include "folders/tree_map_page.h"

#include <exception>

#include "app/clip_text.h"
#include "app/zev_form.h"
#include "core/sizes.h"
#include "ui/cursor.h"
#include "ui/shell.h"

namespace {

constexpr char kMapHint[] = "ファイルの地図 (面積 = サイズ, 色 = 更新日または種類) : 左クリックでツリーのフォルダを選択, "
                            "右クリックでオープン, ダブルクリックでエクスプローラ,  ^C で種類別の一覧をコピー";

}  // namespace

TreeMapWalk::TreeMapWalk(TForm1& form, const DiskPath& root, ui::TTreeNode rootNode)
    : form_(form), exceptions_(std::uncaught_exceptions())
{
    if (!form_.TreeMapCheck.Checked())
        return;
    form_.TreeMapPane1.View.SetBusy(true);
    form_.TreeMapPane1.Data.Begin(root, rootNode);
    form_.MapWalk = &form_.TreeMapPane1.Data;
}

TreeMapWalk::~TreeMapWalk()
{
    if (!form_.MapWalk)
        return;
    form_.MapWalk = nullptr;
    // A walk that failed leaves no map: ending it may need memory again.
    if (std::uncaught_exceptions() > exceptions_)
        form_.TreeMapPane1.Data.Clear();
    else
        form_.TreeMapPane1.Data.End();
    form_.TreeMapPane1.UpdateLegend();
    form_.TreeMapPane1.View.SetBusy(false);
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
        return TreeMapPane1.Data.FileHint(file);
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
        TreeMapPane1.Data.Clear();
        TreeMapPane1.View.ReleaseBitmap();
        TreeMapPane1.UpdateLegend();
        return;
    }
    // The lower half of the page at first.
    RECT page{};
    GetClientRect(TreePage.Handle(), &page);
    TreeMapPane1.SetBounds(0, 0, page.right, (page.bottom - TreeButton.Height()) / 2);
    TreeMapPane1.SetAlign(ui::TAlign::Bottom);
    TreeMapPane1.SetVisible(true);
    RefreshTree(CurrentFolder);
}

void TForm1::TreeMapClick(const MapHit& hit, ui::TMouseButton button, bool doubleClick)
{
    if (hit.Folder < 0)
        return;
    const TreeMap& map = TreeMapPane1.Data;
    if (doubleClick) {
        ui::ShellOpen(Handle(), "open", "explorer", map.FolderPath(hit.Folder), "", SW_SHOW);
    } else if (button == ui::TMouseButton::Right) {
        if (hit.File >= 0)
            ui::ShellOpen(Handle(), "open", map.FilePath(hit.File), "", map.FolderPath(hit.Folder), SW_SHOW);
    } else {
        // The tree follows, the focus staying on the map; the outline its
        // selection puts round the folder goes round what was clicked.
        TreeView1.Select(map.Folder(hit.Folder).Node);
        TreeMapPane1.View.SetOutline(hit, false);
    }
}

void TForm1::TreeView1Select(ui::TTreeNode node)
{
    if (!TreeMapCheck.Checked() || TreeMapPane1.View.Busy())
        return;
    MapHit target;
    target.Folder = TreeMapPane1.Data.FolderOfNode(node);
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
    ClipText = TreeMapPane1.Data.KindsText();
    PlaceClipText(Handle());
}
