#include <windows.h>

#include <cstdint>
#include <string>

#include "app/clip_text.h"
#include "app/walk_status.h"
#include "app/zev_form.h"
#include "core/number_format.h"
#include "core/paths.h"
#include "core/sizes.h"
#include "core/stamp.h"
#include "folders/folder_scan.h"
#include "folders/folder_sort.h"
#include "ui/cursor.h"
#include "ui/shell.h"

namespace {

constexpr int kDirGridWidths[] = {140, 70, 110, 120, 30, 80, 25};
// Sort key of each sortable title, columns 0 to 4.
constexpr int kDirTitleKeys[] = {FolderByName, FolderBySize, FolderByDate, FolderByNewestName, FolderByFileCount};

constexpr const char* kDirectFilesRow = "[このフォルダ直下のファイル]";

// The total size of the last fill, for the size bars that drawing puts behind
// the sub-folders' sizes.
std::int64_t FilledTotalSize = 0;

struct FolderTotals {
    std::int64_t size = 0;
    std::int64_t fileCount = 0;
    // Whole kilobytes per record, summed in 64 bits: past 2 TiB a 32-bit
    // sum would wrap.
    std::int64_t diskKilobytes = 0;
};

FolderTotals TotalsOf(int count)
{
    FolderTotals totals;
    for (int i = 0; i < count; ++i) {
        const FolderSummary& record = FolderTable[static_cast<std::size_t>(i)];
        totals.size += record.Size;
        totals.fileCount += record.FileCount;
        totals.diskKilobytes += record.DiskSize / 1024;
    }
    return totals;
}

std::string ShareOf(std::int64_t size, std::int64_t total, int width = 0)
{
    return FormatFixed1(static_cast<double>(size) * 100.0 / static_cast<double>(total), width);
}

// Columns 1 to 6 of a sub-folder row or of the direct-files row.
void WriteFigures(ui::TStringGrid& grid, int row, const FolderSummary& record, std::int64_t totalSize)
{
    grid.SetCell(1, row, FormatNumber(ToDisplaySize(record.Size)));
    grid.SetCell(2, row, FormatStamp(record.Stamp).view());
    grid.SetCell(3, row, record.NewestName);
    grid.SetCell(4, row, std::to_string(record.FileCount));
    if (!RemoteFileSystem)
        grid.SetCell(5, row, FormatNumber(record.DiskSize));
    if (totalSize != 0)
        grid.SetCell(6, row, ShareOf(record.Size, totalSize));
}

// Items 2 to 7 of a copied line.
void AppendFigures(const FolderSummary& record, std::int64_t totalSize)
{
    AppendClipText(FormatNumber(ToDisplaySize(record.Size), 13) + "\t");
    AppendClipText(FormatStamp(record.Stamp).str() + "\t");
    AppendClipText(record.NewestName + "\t");
    AppendClipText(PadLeft(std::to_string(record.FileCount), 6) + "\t");
    AppendClipText(FormatNumber(record.DiskSize, 13) + "\t");
    AppendClipText(totalSize > 0 ? ShareOf(record.Size, totalSize, 4) + "\r\n" : "\r\n");
}

// A sub-folder row's share of the total size, as its % cell shows it; 0 for
// the direct-files and total rows and for rows a walk has emptied.
double SizeShareOfRow(const ui::TStringGrid& grid, int row)
{
    if (row >= FolderCount || FilledTotalSize <= 0 || grid.Cell(1, row).empty())
        return 0;
    const FolderSummary& record = FolderTable[static_cast<std::size_t>(FolderOrder[static_cast<std::size_t>(row)])];
    return static_cast<double>(record.Size) / static_cast<double>(FilledTotalSize);
}

}  // namespace

void TForm1::SetDirGridWidths()
{
    for (int col = 0; col < 7; ++col)
        DirGrid.SetColWidth(col, kDirGridWidths[col]);
}

void TForm1::SetDirGridTitles()
{
    UpdateSizeUnit(CheckKB.Checked());
    DirGrid.SetCell(0, 0, " フォルダ名");
    DirGrid.SetCell(1, 0, SizeUnit == 1 ? " サイズ (bytes)" : " サイズ (KB)");
    DirGrid.SetCell(2, 0, " 最新日付");
    DirGrid.SetCell(3, 0, " 最新ファイル名");
    DirGrid.SetCell(4, 0, " 総ファイル数");
    DirGrid.SetCell(5, 0, " 占有量");
    DirGrid.SetCell(6, 0, " %");
}

void TForm1::RefreshDirPage()
{
    ui::TGridUpdate update(DirGrid);
    UpdateFolderTimes = CheckTimeUpdate.Checked();
    {
        ui::HourglassCursor hourglass;
        DirGrid.ClearCells();
        SetDirGridTitles();
        DirGrid.SetTopRow(1);
        WalkStatus walk(StatusBar1, *this, WalkStatus::Purpose::Refresh);
        FolderCount = ScanFolder(CurrentFolder, UpdateFolderTimes, walk.Progress());
        DirGrid.SetRowCount(FolderCount + 2);
    }
    FillDirGrid();
}

void TForm1::FillDirGrid()
{
    ui::TGridUpdate update(DirGrid);
    const int n = FolderCount - 1;
    // A row the table no longer holds would keep cells the rows below leave empty.
    DirGrid.ClearCells();
    SetDirGridTitles();
    DirGrid.SetRowCount(FolderCount + 2);
    DirPickedRow = 0;
    SortFolders(n, DirSortKey, SortDescending);
    const FolderTotals totals = TotalsOf(FolderCount);
    FilledTotalSize = totals.size;

    for (int row = 1; row <= n; ++row) {
        const FolderSummary& record = FolderTable[static_cast<std::size_t>(FolderOrder[static_cast<std::size_t>(row)])];
        DirGrid.SetCell(0, row, record.Name);
        WriteFigures(DirGrid, row, record, totals.size);
    }
    const int directRow = FolderCount;
    DirGrid.SetCell(0, directRow, kDirectFilesRow);
    WriteFigures(DirGrid, directRow, FolderTable[0], totals.size);

    const int totalRow = FolderCount + 1;
    DirGrid.SetCell(0, totalRow, "[合計]");
    DirGrid.SetCell(1, totalRow, FormatNumber(ToDisplaySize(totals.size)));
    DirGrid.SetCell(4, totalRow, std::to_string(totals.fileCount));
    if (!RemoteFileSystem)
        DirGrid.SetCell(5, totalRow, FormatNumber(totals.diskKilobytes) + "KB");
}

void TForm1::DirDrawCell(ui::TStringGrid& sender, int col, int row, const RECT& rect, ui::TGridDrawState state)
{
    if ((state & ui::gdFixed) || row < 1 || (col != 1 && col != 4 && col != 5 && col != 6))
        return;
    sender.DrawCellRight(col, row, rect, col == 1 ? SizeShareOfRow(sender, row) : 0.0);
}

void TForm1::DirClick(ui::TStringGrid&, ui::TMouseButton button, ui::TShiftState, int x, int y)
{
    DirGridAction(DirGrid, button, x, y);
}

void TForm1::DirGridAction(ui::TStringGrid& grid, ui::TMouseButton button, int x, int y)
{
    int col = -1;
    int row = -1;
    grid.MouseToCell(x, y, col, row);
    if (button == ui::TMouseButton::Left && row == 0 && col >= 0 && col <= 4) {
        SortDescending = !SortDescending;
        DirSortKey = kDirTitleKeys[col];
        FillDirGrid();
        return;
    }
    if (col != 0 || row < 1 || (button != ui::TMouseButton::Left && button != ui::TMouseButton::Right))
        return;
    // The special rows are told by their place, not their text, so that a
    // sub-folder that happens to bear one of their names still opens. The
    // total row names no folder.
    if (row == FolderCount + 1)
        return;
    const DiskPath folder = FolderOfRow(grid, row);
    if (folder.empty())
        return;

    if (button == ui::TMouseButton::Right) {
        ui::ShellOpen(Handle(), "open", "explorer", folder, "", SW_SHOW);
        return;
    }
    // A change of folder makes it CurrentFolder and refreshes this page
    // through the selector's change handler, so the new folder is scanned
    // once. The direct-files row leaves the folder as it is and is rescanned
    // here. A folder the selector cannot enter raises an error and leaves
    // CurrentFolder as the selector's folder.
    const std::wstring before = DirectoryListBox1.Path().Wide;
    DirectoryListBox1.SetDirectory(folder);
    if (lstrcmpiW(before.c_str(), DirectoryListBox1.Path().Wide.c_str()) == 0)
        RefreshDirPage();
}

DiskPath TForm1::FolderOfRow(const ui::TStringGrid& grid, int row) const
{
    const DiskPath current = EndingInBackslash(CurrentFolder);
    if (row == FolderCount)
        return Joined(current, ".", L".");
    const std::string name = grid.Cell(0, row);
    if (name.empty())
        return {};
    // The row's record reaches the folder by its own name, which the cell
    // may show only as a look-alike.
    if (row < FolderCount && static_cast<std::size_t>(row) < FolderOrder.size()) {
        const FolderSummary& record = FolderTable[static_cast<std::size_t>(FolderOrder[static_cast<std::size_t>(row)])];
        if (record.Name == name)
            return Joined(current, name, record.WideName);
    }
    return Joined(current, name, WideText(name));
}

void TForm1::CopyDirPage()
{
    const int n = FolderCount - 1;
    SortFolders(n, DirSortKey, SortDescending);
    const FolderTotals totals = TotalsOf(FolderCount);

    ClipText.clear();
    for (int row = 1; row <= n; ++row) {
        const FolderSummary& record = FolderTable[static_cast<std::size_t>(FolderOrder[static_cast<std::size_t>(row)])];
        AppendClipText(record.Name + "\t");
        AppendFigures(record, totals.size);
    }
    AppendClipText("[直下のファイル]\t");
    AppendFigures(FolderTable[0], totals.size);
    AppendClipText("[合計]\t");
    AppendClipText(FormatNumber(ToDisplaySize(totals.size), 13) + "\t\t\t");
    AppendClipText(PadLeft(std::to_string(totals.fileCount), 6) + "\r\n");
    PlaceClipText(Handle());
}

void TForm1::DeleteDirRow()
{
    const int row = DirGrid.Row();
    // Sub-folder rows only: the direct-files and total rows name no folder
    // to delete.
    if (row != DirPickedRow || row < 1 || row >= FolderCount || static_cast<std::size_t>(row) >= FolderOrder.size())
        return;
    const int index = FolderOrder[static_cast<std::size_t>(row)];
    if (index < 1 || index >= FolderCount)
        return;
    const FolderSummary record = FolderTable[static_cast<std::size_t>(index)];
    if (record.Name != DirGrid.Cell(0, row))
        return;
    const DiskPath path = Joined(EndingInBackslash(CurrentFolder), record.Name, record.WideName);
    const std::string size = FormatNumber(record.Size) + " bytes (" + std::to_string(record.FileCount) + " ファイル)";
    switch (RecycleEntry(path, record.Identity, size)) {
    case RecycleOutcome::Moved:
        FolderTable.erase(FolderTable.begin() + index);
        --FolderCount;
        FillDirGrid();
        break;
    case RecycleOutcome::FailedPartway:
        RefreshDirPage();
        break;
    case RecycleOutcome::Kept:
    case RecycleOutcome::Failed:
        break;
    }
}
