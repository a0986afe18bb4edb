#include <windows.h>

#include <string>

#include "app/clip_text.h"
#include "app/walk_status.h"
#include "app/zev_form.h"
#include "core/number_format.h"
#include "core/sizes.h"
#include "core/stamp.h"
#include "files/file_sort.h"
#include "rename/joliet_hints.h"
#include "rename/joliet_table.h"
#include "rename/rename_run.h"
#include "rename/target_table.h"
#include "ui/cursor.h"
#include "ui/shell.h"

namespace {

constexpr int kTargetColumns = 7;
constexpr int kTargetGridWidths[kTargetColumns] = {200, 120, 80, 120, 44, 150, 200};
// Sort key of each title; 0 for the titles a click leaves alone.
constexpr int kTargetTitleKeys[kTargetColumns] = {SortByName, 0, SortBySize, SortByDate, SortByPathLength,
                                                  SortByFolder, 0};

constexpr COLORREF kNameFits = RGB(255, 255, 255);
constexpr COLORREF kNameBreaks = RGB(255, 0, 0);

constexpr const char* kTargetNewNameHint = "変更するファイル名、左の数値が白になるように変更してください";
constexpr const char* kTargetCountHint = "ファイル名の文字数 赤は点検先の規則に合わないことを示します";

const TargetEntry& EntryOfRow(int row)
{
    return TargetTable[static_cast<std::size_t>(FileOrder[static_cast<std::size_t>(row)])];
}


// The wide name the box's text stands for: the 修正案 itself while the box
// shows its shown form unchanged, else the typed text.
std::wstring WideOfBox(const std::string& text, int shown)
{
    if (shown > 0 && shown < static_cast<int>(TargetTable.size())) {
        const TargetEntry& entry = TargetTable[static_cast<std::size_t>(shown)];
        if (!entry.Proposal.empty() && text == entry.ShownProposal)
            return entry.Proposal;
    }
    return WideText(text);
}

}  // namespace

CheckTarget TForm1::JolietTarget() const
{
    const int index = TargetBox.ItemIndex();
    return index > 0 && index < CheckTargetCount ? static_cast<CheckTarget>(index) : CheckTarget::Joliet;
}

void TForm1::TargetBoxChange(ui::TControl&)
{
    const bool joliet = JolietTarget() == CheckTarget::Joliet;
    NewFileName.Hint = joliet ? kJolietNewNameHint : kTargetNewNameHint;
    CharCountLabel.Hint = joliet ? kJolietCountHint : kTargetCountHint;
    FixAllButton.SetEnabled(false);
    JolietGrid.ClearCells();
    if (joliet) {
        JolietGrid.SetColCount(6);
        SetJolietGridWidths();
    } else {
        JolietGrid.SetColCount(kTargetColumns);
        for (int col = 0; col < kTargetColumns; ++col)
            JolietGrid.SetColWidth(col, kTargetGridWidths[col]);
    }
    RefreshJolietPage();
}

void TForm1::SetTargetGridTitles()
{
    UpdateSizeUnit(CheckKB.Checked());
    JolietGrid.SetCell(0, 0, " 名前");
    JolietGrid.SetCell(1, 0, "理由");
    JolietGrid.SetCell(2, 0, SizeUnit == 1 ? " サイズ (bytes)" : " サイズ (KB)");
    JolietGrid.SetCell(3, 0, " 日付");
    JolietGrid.SetCell(4, 0, "パス長");
    JolietGrid.SetCell(5, 0, " パス名");
    JolietGrid.SetCell(6, 0, "修正案");
}

void TForm1::RefreshTargetPage()
{
    // What was renamed elsewhere cannot be taken back from here.
    if (TargetUndoFolder.Wide != CurrentFolder.Wide)
        TargetUndo.clear();
    ui::TGridUpdate update(JolietGrid);
    JolietGrid.ClearCells();
    SetTargetGridTitles();
    {
        ui::HourglassCursor hourglass;
        JolietGrid.SetTopRow(1);
        JolietGrid.SetRow(1);
        WalkStatus walk(StatusBar1, *this, WalkStatus::Purpose::Refresh);
        TargetCount = WalkTarget(JolietTarget(), CurrentFolder, walk.Progress());
        JolietGrid.SetRowCount(TargetCount + 2);
    }
    SortTarget(TargetCount, RenameSortKey, SortDescending);
    FillTargetGrid();
    FixAllButton.SetEnabled(!FixOrder(TargetCount).empty());
    ShowJolietEntry(TargetCount);
}

void TForm1::FillTargetGrid()
{
    ui::TGridUpdate update(JolietGrid);
    for (int row = 1; row <= TargetCount; ++row) {
        const TargetEntry& entry = EntryOfRow(row);
        JolietGrid.SetCell(0, row, entry.Name);
        JolietGrid.SetCell(1, row, ReasonsText(entry.Reasons));
        JolietGrid.SetCell(2, row, entry.IsFolder ? "<DIR>" : FormatNumber(ToDisplaySize(entry.Size)));
        JolietGrid.SetCell(3, row, FormatStamp(entry.Stamp).view());
        JolietGrid.SetCell(4, row, std::to_string(entry.PathLength));
        JolietGrid.SetCell(5, row, entry.Folder);
        JolietGrid.SetCell(6, row, entry.ShownProposal);
    }
    const int summaryRow = TargetCount + 1;
    JolietGrid.SetCell(0, summaryRow, "[合計]");
    JolietGrid.SetCell(2, summaryRow, FormatInt(TargetCount) + " 件");
}

void TForm1::ShowTargetEntry(int row)
{
    if (row > 0 && row <= TargetCount) {
        const TargetEntry& entry = EntryOfRow(row);
        ShownTarget = FileOrder[static_cast<std::size_t>(row)];
        JolietFolder = {entry.Folder, entry.WideFolder};
        CurrentFileName.SetText(entry.Name);
        NewFileName.SetText(entry.Proposal.empty() ? entry.Name : entry.ShownProposal);
    } else {
        ShownTarget = 0;
        JolietFolder = {};
        CurrentFileName.SetText("違反ファイル名はありません");
        NewFileName.SetText("");
    }
}

void TForm1::TargetGridMouseDown(ui::TMouseButton button, int col, int row)
{
    if (button == ui::TMouseButton::Left && row == 0 && col >= 0 && col < kTargetColumns) {
        if (kTargetTitleKeys[col] == 0)
            return;
        SortDescending = !SortDescending;
        RenameSortKey = kTargetTitleKeys[col];
        RefreshJolietPage();
    } else if (button == ui::TMouseButton::Right && col == 0 && row >= 1 && row <= TargetCount) {
        const TargetEntry& entry = EntryOfRow(row);
        ui::ShellOpen(Handle(), "open", "explorer", DiskPath(entry.Folder, entry.WideFolder), "", SW_SHOW);
    }
}

void TForm1::TargetNameChange()
{
    const std::string text = NewFileName.Text();
    const std::wstring wide = WideOfBox(text, ShownTarget);
    const std::int32_t chars =
        ShowsExactly(text, wide) ? CountNameChars(text) : static_cast<std::int32_t>(wide.size());
    CharCountLabel.SetCaption(std::to_string(chars));
    CharCountLabel.SetFontColor(BreaksTargetNameRule(JolietTarget(), wide) ? kNameBreaks : kNameFits);
}

void TForm1::TargetRenameButtonClick()
{
    if (ShownTarget <= 0 || ShownTarget >= static_cast<int>(TargetTable.size()))
        return;
    const TargetEntry& entry = TargetTable[static_cast<std::size_t>(ShownTarget)];
    const std::string text = NewFileName.Text();
    const std::wstring wide = WideOfBox(text, ShownTarget);
    std::vector<TargetRenameDone> done;
    if (wide == entry.Identity.Name || !RenameTargetEntry(entry, text, wide, done))
        return;
    TargetUndoFolder = CurrentFolder;
    TargetUndo = std::move(done);
    RefreshJolietPage();
}

void TForm1::FixAllButtonClick(ui::TControl&)
{
    if (JolietTarget() == CheckTarget::Joliet)
        return;
    const std::vector<int> order = FixOrder(TargetCount);
    if (order.empty())
        return;
    TargetUndoFolder = CurrentFolder;
    TargetUndo.clear();
    const RenameRun run = RunRenames(StatusBar1, *this, order.size(), [&](std::size_t i) {
        const TargetEntry& entry = TargetTable[static_cast<std::size_t>(order[i])];
        return RenameTargetEntry(entry, entry.ShownProposal, entry.Proposal, TargetUndo);
    });
    RefreshJolietPage();
    HintToStatusBar(RenamedText(run));
}

void TForm1::UndoTargetRenames()
{
    if (TargetUndo.empty() || TargetUndoFolder.Wide != CurrentFolder.Wide)
        return;
    // Once per run of renames: taken out before it runs.
    std::vector<TargetRenameDone> done;
    done.swap(TargetUndo);
    const RenameRun run = RunRenames(StatusBar1, *this, done.size(), [&](std::size_t i) {
        // In the reverse order: a folder gets its name back before what
        // was renamed inside it.
        return UndoTargetRename(done[done.size() - 1 - i]);
    });
    RefreshJolietPage();
    HintToStatusBar(UndoneText(run));
}

void TForm1::JolietPageKeyDown(ui::TControl&, WORD& key, ui::TShiftState shift)
{
    if (shift != ui::ssCtrl || key != 'Z' || DiskPage.ActivePage() != &JolietPage)
        return;
    // In an edit box the key keeps its editing meaning.
    char className[16] = "";
    GetClassNameA(GetFocus(), className, sizeof className);
    if (lstrcmpiA(className, "Edit") == 0)
        return;
    key = 0;
    UndoTargetRenames();
}

void TForm1::CopyTargetPage()
{
    if (JolietTarget() == CheckTarget::Joliet)
        return;
    ClipText.clear();
    for (int row = 1; row <= TargetCount; ++row) {
        const TargetEntry& entry = EntryOfRow(row);
        AppendClipText(entry.Name + "\t");
        AppendClipText(ReasonsText(entry.Reasons) + "\t");
        AppendClipText((entry.IsFolder ? PadLeft("<DIR>", 13) : FormatNumber(ToDisplaySize(entry.Size), 13)) + "\t");
        AppendClipText(FormatStamp(entry.Stamp).str() + "\t");
        AppendClipText(FormatInt(entry.PathLength, 4) + "\t");
        AppendClipText(entry.Folder + "\t");
        AppendClipText(entry.ShownProposal + "\r\n");
    }
    PlaceClipText(Handle());
}
