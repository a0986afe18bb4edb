#include <windows.h>

#include <string>

#include "app/walk_status.h"
#include "app/zev_form.h"
#include "core/number_format.h"
#include "core/sizes.h"
#include "core/stamp.h"
#include "files/file_sort.h"
#include "rename/joliet_table.h"
#include "rename/rename_on_disk.h"
#include "ui/cursor.h"
#include "ui/shell.h"

namespace {

constexpr int kJolietGridWidths[] = {240, 30, 80, 120, 36, 150};
// Sort key of each title, columns 0 to 5.
constexpr int kJolietTitleKeys[] = {SortByName, SortByCharCount, SortBySize, SortByDate, SortByPathLength, SortByFolder};

constexpr COLORREF kCountFits = RGB(255, 255, 255);
constexpr COLORREF kCountBreaks = RGB(255, 0, 0);

// The identity of the file the boxes show, so that the rename touches that
// file and no other that has taken its name since.
EntryIdentity ShownIdentity;

}  // namespace

void TForm1::SetJolietGridWidths()
{
    for (int col = 0; col < 6; ++col)
        JolietGrid.SetColWidth(col, kJolietGridWidths[col]);
}

void TForm1::SetJolietGridTitles()
{
    UpdateSizeUnit(CheckKB.Checked());
    JolietGrid.SetCell(0, 0, " ファイル名");
    JolietGrid.SetCell(1, 0, "字数");
    JolietGrid.SetCell(2, 0, SizeUnit == 1 ? " サイズ (bytes)" : " サイズ (KB)");
    JolietGrid.SetCell(3, 0, " 日付");
    JolietGrid.SetCell(4, 0, "パス長");
    JolietGrid.SetCell(5, 0, " パス名");
}

void TForm1::RefreshJolietPage()
{
    if (JolietTarget() != CheckTarget::Joliet) {
        RefreshTargetPage();
        return;
    }
    ui::TGridUpdate update(JolietGrid);
    JolietGrid.ClearCells();
    SetJolietGridTitles();
    {
        ui::HourglassCursor hourglass;
        JolietGrid.SetTopRow(1);
        JolietGrid.SetRow(1);
        WalkStatus walk(StatusBar1, *this, WalkStatus::Purpose::Refresh);
        JolietCount = WalkJoliet(CurrentFolder, walk.Progress());
        JolietGrid.SetRowCount(JolietCount + 2);
    }
    SortJoliet(JolietCount, RenameSortKey, SortDescending);
    FillJolietGrid();
    // The boxes show the bottom entry, not the current row, until the user
    // picks one.
    ShowJolietEntry(JolietCount);
}

void TForm1::FillJolietGrid()
{
    ui::TGridUpdate update(JolietGrid);
    for (int row = 1; row <= JolietCount; ++row) {
        const JolietEntry& entry = JolietTable[static_cast<std::size_t>(FileOrder[static_cast<std::size_t>(row)])];
        JolietGrid.SetCell(0, row, entry.Name);
        JolietGrid.SetCell(1, row, std::to_string(entry.CharCount));
        JolietGrid.SetCell(2, row, FormatNumber(ToDisplaySize(entry.Size)));
        JolietGrid.SetCell(3, row, FormatStamp(entry.Stamp).view());
        JolietGrid.SetCell(4, row, std::to_string(entry.PathLength));
        JolietGrid.SetCell(5, row, entry.Folder);
    }
    const int summaryRow = JolietCount + 1;
    JolietGrid.SetCell(0, summaryRow, "[合計]");
    JolietGrid.SetCell(2, summaryRow, FormatInt(JolietCount) + " files");
}

DiskPath TForm1::JolietFolderOfRow(int row) const
{
    // The row's entry reaches its folder by the folder's own names, which
    // the cell may show only as look-alikes.
    const std::string& shown = JolietGrid.Cell(5, row);
    if (row > 0 && row <= JolietCount) {
        const JolietEntry& entry = JolietTable[static_cast<std::size_t>(FileOrder[static_cast<std::size_t>(row)])];
        if (entry.Folder == shown)
            return {entry.Folder, entry.WideFolder};
    }
    return DiskPath(shown);
}

void TForm1::ShowJolietEntry(int row)
{
    if (JolietTarget() != CheckTarget::Joliet) {
        ShowTargetEntry(row);
        return;
    }
    if (row > 0 && row <= JolietCount) {
        ShownIdentity = JolietTable[static_cast<std::size_t>(FileOrder[static_cast<std::size_t>(row)])].Identity;
        JolietFolder = JolietFolderOfRow(row);
        CurrentFileName.SetText(JolietGrid.Cell(0, row));
        NewFileName.SetText(JolietGrid.Cell(0, row));
    } else {
        ShownIdentity = {};
        JolietFolder = {};
        CurrentFileName.SetText("違反ファイル名はありません");
        NewFileName.SetText("");
    }
}

void TForm1::NotJolietDrawCell(ui::TStringGrid& sender, int col, int row, const RECT& rect, ui::TGridDrawState state)
{
    // The other targets' numbers are the size and the path length.
    const int firstNumber = JolietTarget() == CheckTarget::Joliet ? 1 : 4;
    if ((state & ui::gdFixed) || row < 1 || (col != firstNumber && col != 2))
        return;
    sender.DrawCellRight(col, row, rect);
}

void TForm1::SelectJolietFile(ui::TStringGrid& sender, int, int row, bool& canSelect)
{
    // The title row and the summary row name no file.
    if (row < 1 || row >= sender.RowCount() - 1) {
        canSelect = false;
        return;
    }
    ShowJolietEntry(row);
}

void TForm1::JolietGridMouseDown(ui::TStringGrid& sender, ui::TMouseButton button, ui::TShiftState, int x, int y)
{
    int col = -1;
    int row = -1;
    sender.MouseToCell(x, y, col, row);
    if (JolietTarget() != CheckTarget::Joliet)
        TargetGridMouseDown(button, col, row);
    else if (button == ui::TMouseButton::Left && row == 0 && col >= 0 && col <= 5) {
        SortDescending = !SortDescending;
        RenameSortKey = kJolietTitleKeys[col];
        RefreshJolietPage();
    } else if (button == ui::TMouseButton::Right && col == 0 && row >= 1 && row <= JolietCount) {
        ui::ShellOpen(Handle(), "open", "explorer", JolietFolderOfRow(row), "", SW_SHOW);
    }
}

void TForm1::NewFileNameChange(ui::TControl&)
{
    if (JolietTarget() != CheckTarget::Joliet) {
        TargetNameChange();
        return;
    }
    const std::int32_t chars = CountNameChars(NewFileName.Text());
    CharCountLabel.SetCaption(std::to_string(chars));
    CharCountLabel.SetFontColor(chars < 0 || chars > JolietMaxChars ? kCountBreaks : kCountFits);
}

void TForm1::RenameButtonClick(ui::TControl&)
{
    if (JolietTarget() != CheckTarget::Joliet) {
        TargetRenameButtonClick();
        return;
    }
    // Without an entry shown the old name would be the placeholder text,
    // taken relative to the process's current folder.
    if (JolietFolder.empty())
        return;
    const std::string newName = NewFileName.Text();
    if (RenameOnDisk(Joined(JolietFolder, CurrentFileName.Text(), ShownIdentity.Name),
                     Joined(JolietFolder, newName, WideText(newName)), ShownIdentity))
        RefreshJolietPage();
}
