#include <cstdint>
#include <string>

#include "app/clip_text.h"
#include "app/zev_form.h"
#include "core/number_format.h"
#include "core/paths.h"
#include "core/sizes.h"
#include "core/stamp.h"
#include "files/file_sort.h"
#include "files/file_table.h"
#include "ui/cursor.h"
#include "ui/shell.h"

namespace {

constexpr int kFileGridWidths[] = {130, 110, 70, 40, 30, 60, 25};
// Sort key of each sortable title, columns 0 to 4.
constexpr int kFileTitleKeys[] = {SortByName, SortByDate, SortBySize, SortByExtension, SortByCharCount};

struct FileTotals {
    std::int64_t size = 0;
    std::int64_t diskKilobytes = 0;  // whole kilobytes per file, summed
};

FileTotals TotalsOf(int n)
{
    FileTotals totals;
    for (int i = 1; i <= n; ++i) {
        totals.size += FileTable[i].Size;
        totals.diskKilobytes += FileTable[i].DiskSize / 1024;
    }
    return totals;
}

std::string ShareOf(std::int64_t size, std::int64_t total)
{
    return FormatFixed1(static_cast<double>(size) * 100.0 / static_cast<double>(total));
}

}  // namespace

void TForm1::SetFileGridWidths()
{
    UpdateSizeUnit(CheckKB.Checked());
    for (int col = 0; col < 7; ++col)
        FileGrid.SetColWidth(col, kFileGridWidths[col]);
}

void TForm1::SetFileGridTitles()
{
    UpdateSizeUnit(CheckKB.Checked());
    FileGrid.SetCell(0, 0, " ファイル名");
    FileGrid.SetCell(1, 0, " 日付");
    FileGrid.SetCell(2, 0, SizeUnit == 1 ? "サイズ(bytes)" : "サイズ(KB)");
    FileGrid.SetCell(3, 0, "拡張子");
    FileGrid.SetCell(4, 0, "字数");
    FileGrid.SetCell(5, 0, " 占有量");
    FileGrid.SetCell(6, 0, " %");
}

void TForm1::RefreshFilePage()
{
    ui::TGridUpdate update(FileGrid);
    {
        ui::HourglassCursor hourglass;
        FileGrid.SetRow(1);
        ListFiles(CurrentFolder);
    }
    FillFileGrid();
}

void TForm1::FillFileGrid()
{
    ui::TGridUpdate update(FileGrid);
    const int n = static_cast<int>(FileTable.size()) - 1;
    FileGrid.ClearCells();
    SetFileGridTitles();
    FileGrid.SetRowCount(n + 2);
    FilePickedRow = 0;
    const FileTotals totals = TotalsOf(n);
    SortFiles(n, FileSortKey, SortDescending);

    for (int row = 1; row <= n; ++row) {
        const FileEntry& file = FileTable[FileOrder[row]];
        FileGrid.SetCell(0, row, file.Name);
        FileGrid.SetCell(1, row, FormatStamp(file.Stamp).view());
        FileGrid.SetCell(2, row, FormatNumber(ToDisplaySize(file.Size)));
        FileGrid.SetCell(3, row, ExtensionText(file.Name));
        FileGrid.SetCell(4, row, std::to_string(file.CharCount));
        if (!RemoteFileSystem)
            FileGrid.SetCell(5, row, FormatNumber(file.DiskSize));
        if (totals.size != 0)
            FileGrid.SetCell(6, row, ShareOf(file.Size, totals.size));
    }
    const int totalRow = n + 1;
    FileGrid.SetCell(0, totalRow, "[合計]");
    FileGrid.SetCell(2, totalRow, FormatNumber(ToDisplaySize(totals.size)));
    if (!RemoteFileSystem)
        FileGrid.SetCell(5, totalRow, FormatNumber(totals.diskKilobytes) + "KB");
}

void TForm1::FileDrawCell(ui::TStringGrid& sender, int col, int row, const RECT& rect, ui::TGridDrawState state)
{
    if ((state & ui::gdFixed) || row < 1 || (col != 2 && col != 4 && col != 5))
        return;
    sender.DrawCellRight(col, row, rect);
}

void TForm1::FileClick(ui::TStringGrid&, ui::TMouseButton button, ui::TShiftState, int x, int y)
{
    FileGridAction(button, x, y);
}

void TForm1::FileGridAction(ui::TMouseButton button, int x, int y)
{
    int col = -1;
    int row = -1;
    FileGrid.MouseToCell(x, y, col, row);
    if (button == ui::TMouseButton::Left && row == 0 && col >= 0 && col <= 4) {
        SortDescending = !SortDescending;
        FileSortKey = kFileTitleKeys[col];
        RefreshFilePage();
    } else if (button == ui::TMouseButton::Left && col == 0 && row >= 1) {
        ui::ShellOpen(Handle(), "open", "explorer", CurrentFolder, "", SW_SHOW);
    } else if (button == ui::TMouseButton::Right && col == 0 && row >= 1) {
        const DiskPath folder = EndingInBackslash(CurrentFolder);
        const std::string& name = FileGrid.Cell(0, row);
        if (name.empty())
            return;
        // The row's entry is reached by its own name, which the cell may
        // show only as a look-alike.
        const FileEntry* file = row < static_cast<int>(FileOrder.size()) && FileOrder[row] > 0
                && FileOrder[row] < static_cast<int>(FileTable.size())
            ? &FileTable[FileOrder[row]]
            : nullptr;
        const std::wstring wideName = file && file->Name == name ? file->Identity.Name : WideText(name);
        ui::ShellOpen(Handle(), "open", Joined(folder, name, wideName), "", folder, SW_SHOW);
    }
}

void TForm1::CopyFilePage()
{
    ClipText.clear();
    const int n = ListFiles(CurrentFolder);
    const std::int64_t total = TotalsOf(n).size;
    SortFiles(n, FileSortKey, SortDescending);

    for (int row = 1; row <= n; ++row) {
        const FileEntry& file = FileTable[FileOrder[row]];
        AppendClipText(file.Name + "\t");
        AppendClipText(FormatStamp(file.Stamp).str() + "\t");
        AppendClipText(FormatNumber(ToDisplaySize(file.Size), 13) + "\t");
        AppendClipText(ExtensionText(file.Name) + "\t");
        AppendClipText(FormatInt(file.CharCount, 4) + "\t");
        AppendClipText(FormatNumber(file.DiskSize, 13) + "\t");
        AppendClipText(total != 0 ? ShareOf(file.Size, total) + "\r\n" : "\r\n");
    }
    AppendClipText("[合計]\t\t");
    AppendClipText(FormatNumber(ToDisplaySize(total), 13) + "\t");
    PlaceClipText(Handle());
}

void TForm1::DeleteFileRow()
{
    const int row = FileGrid.Row();
    const int n = static_cast<int>(FileTable.size()) - 1;
    // Only the file of a row the user picked, as the row still shows it; the
    // total row names none.
    if (row != FilePickedRow || row < 1 || row > n || static_cast<std::size_t>(row) >= FileOrder.size())
        return;
    const int index = FileOrder[static_cast<std::size_t>(row)];
    if (index < 1 || index > n || FileTable[index].IsFolder || FileTable[index].Name != FileGrid.Cell(0, row))
        return;
    const FileEntry file = FileTable[index];
    const DiskPath path = Joined(EndingInBackslash(CurrentFolder), file.Name, file.Identity.Name);
    switch (RecycleEntry(path, file.Identity, FormatNumber(file.Size) + " bytes")) {
    case RecycleOutcome::Moved:
        FileTable.erase(FileTable.begin() + index);
        FillFileGrid();
        break;
    case RecycleOutcome::FailedPartway:
        RefreshFilePage();
        break;
    case RecycleOutcome::Kept:
    case RecycleOutcome::Failed:
        break;
    }
}
