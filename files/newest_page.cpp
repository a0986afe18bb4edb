#include <algorithm>
#include <string>
#include <vector>

#include "app/clip_text.h"
#include "app/walk_status.h"
#include "app/zev_form.h"
#include "core/number_format.h"
#include "core/sizes.h"
#include "core/stamp.h"
#include "files/file_sort.h"
#include "files/newest_table.h"
#include "ui/cursor.h"
#include "ui/shell.h"

namespace {

constexpr int kNewestGridWidths[] = {150, 150, 110, 60, 40};
// Sort key of each title, columns 0 to 4.
constexpr int kNewestTitleKeys[] = {SortByFolder, SortByName, SortByDate, SortBySize, SortByExtension};

// The title row and the held entries, with one empty data row when none is held.
int NewestRowCount()
{
    return std::max(NewestCount + 1, 2);
}

}  // namespace

void TForm1::SetNewestGridWidths()
{
    for (int col = 0; col < 5; ++col)
        NewFileGrid.SetColWidth(col, kNewestGridWidths[col]);
}

void TForm1::SetNewestGridTitles()
{
    UpdateSizeUnit(CheckKB.Checked());
    NewFileGrid.SetCell(0, 0, " フォルダ名");
    NewFileGrid.SetCell(1, 0, " ファイル名");
    NewFileGrid.SetCell(2, 0, " 日付");
    NewFileGrid.SetCell(3, 0, SizeUnit == 1 ? "サイズ(bytes)" : "サイズ(KB)");
    NewFileGrid.SetCell(4, 0, "拡張子");
}

void TForm1::RefreshNewestPage()
{
    ui::TGridUpdate update(NewFileGrid);
    NewFileGrid.ClearCells();
    SetNewestGridTitles();
    {
        ui::HourglassCursor hourglass;
        NewFileGrid.SetRow(1);
        WalkStatus walk(StatusBar1, *this, WalkStatus::Purpose::Refresh);
        NewestCount = WalkNewest(CurrentFolder, walk.Progress());
        NewFileGrid.SetRowCount(NewestRowCount());
    }
    FillNewestGrid();
}

void TForm1::FillNewestGrid()
{
    // A copy may have walked afresh since the grid was filled: the rows
    // follow what it kept, and a lone empty row shows nothing stale.
    ui::TGridUpdate update(NewFileGrid);
    NewFileGrid.SetRowCount(NewestRowCount());
    if (NewestCount == 0)
        for (int c = 0; c < 5; ++c)
            NewFileGrid.SetCell(c, 1, "");
    NewestPickedRow = 0;
    SortNewest(NewestCount, FileSortKey, SortDescending);
    for (int row = 1; row <= NewestCount; ++row) {
        const NewestEntry& file = NewestTable[static_cast<std::size_t>(NewestOrder[static_cast<std::size_t>(row)])];
        NewFileGrid.SetCell(0, row, file.Folder);
        NewFileGrid.SetCell(1, row, file.Name);
        NewFileGrid.SetCell(2, row, FormatStamp(file.Stamp).view());
        NewFileGrid.SetCell(3, row, FormatNumber(ToDisplaySize(file.Size)));
        NewFileGrid.SetCell(4, row, ExtensionText(file.Name));
    }
}

void TForm1::NewFileDrawCell(ui::TStringGrid& sender, int col, int row, const RECT& rect, ui::TGridDrawState state)
{
    if ((state & ui::gdFixed) || row < 1 || col != 3)
        return;
    sender.DrawCellRight(col, row, rect);
}

void TForm1::NewFileClick(ui::TStringGrid&, ui::TMouseButton button, ui::TShiftState, int x, int y)
{
    NewestGridAction(button, x, y);
}

namespace {

// The folder of a row, or with file the file itself. The row's entry is
// reached by its own names, which the cells may show only as look-alikes.
DiskPath NewestRowPath(const ui::TStringGrid& grid, int row, bool file)
{
    const std::string& folder = grid.Cell(0, row);
    const std::string name = file ? grid.Cell(1, row) : std::string();
    if (row <= NewestCount && static_cast<std::size_t>(row) < NewestOrder.size()) {
        const NewestEntry& entry = NewestTable[static_cast<std::size_t>(NewestOrder[static_cast<std::size_t>(row)])];
        if (entry.Folder == folder && (!file || entry.Name == name))
            return file ? Joined({entry.Folder, entry.WideFolder}, entry.Name, entry.WideName)
                        : DiskPath(entry.Folder, entry.WideFolder);
    }
    return DiskPath(folder + name);
}

}  // namespace

void TForm1::NewestGridAction(ui::TMouseButton button, int x, int y)
{
    int col = -1;
    int row = -1;
    NewFileGrid.MouseToCell(x, y, col, row);
    if (button == ui::TMouseButton::Left && row == 0 && col >= 0 && col <= 4) {
        SortDescending = !SortDescending;
        FileSortKey = kNewestTitleKeys[col];
        FillNewestGrid();
    } else if (button == ui::TMouseButton::Left && (col == 0 || col == 1) && row >= 1) {
        const DiskPath folder = NewestRowPath(NewFileGrid, row, false);
        if (!folder.empty())
            ui::ShellOpen(Handle(), "open", "explorer", folder, "", SW_SHOW);
    } else if (button == ui::TMouseButton::Right && col == 1 && row >= 1) {
        const DiskPath path = NewestRowPath(NewFileGrid, row, true);
        if (!path.empty())
            ui::ShellOpen(Handle(), "open", path, "", NewestRowPath(NewFileGrid, row, false), SW_SHOW);
    }
}

void TForm1::CopyNewestPage()
{
    {
        // A stopped copy leaves the table as the grid shows it, for the
        // title clicks that sort it again.
        const std::vector<NewestEntry> shown = NewestTable;
        const std::int32_t shownCount = NewestCount;
        WalkStatus walk(StatusBar1, *this, WalkStatus::Purpose::Copy);
        NewestCount = WalkNewest(CurrentFolder, walk.Progress());
        if (walk.Stopped()) {
            NewestTable = shown;
            NewestCount = shownCount;
            return;
        }
    }
    ClipText.clear();
    SortNewest(NewestCount, FileSortKey, SortDescending);
    for (int row = 1; row <= NewestCount; ++row) {
        const NewestEntry& file = NewestTable[static_cast<std::size_t>(NewestOrder[static_cast<std::size_t>(row)])];
        AppendClipText(file.Folder + "\t");
        AppendClipText(file.Name + "\t");
        AppendClipText(FormatStamp(file.Stamp).str() + "\t");
        AppendClipText(FormatNumber(ToDisplaySize(file.Size), 13) + "\t");
        AppendClipText(ExtensionText(file.Name) + "\r\n");
    }
    PlaceClipText(Handle());
}

void TForm1::DeleteNewestRow()
{
    const int row = NewFileGrid.Row();
    if (row != NewestPickedRow || row < 1 || row > NewestCount
        || static_cast<std::size_t>(row) >= NewestOrder.size())
        return;
    const int position = NewestOrder[static_cast<std::size_t>(row)];
    if (position < 1 || position > NewestCount)
        return;
    // Only the file the row still shows.
    const NewestEntry file = NewestTable[static_cast<std::size_t>(position)];
    if (file.Folder != NewFileGrid.Cell(0, row) || file.Name != NewFileGrid.Cell(1, row))
        return;
    const DiskPath path = Joined({file.Folder, file.WideFolder}, file.Name, file.WideName);
    switch (RecycleEntry(path, file.Identity, FormatNumber(file.Size) + " bytes")) {
    case RecycleOutcome::Moved:
        // The next newest comes in with the next walk.
        DropNewest(position);
        FillNewestGrid();
        break;
    case RecycleOutcome::FailedPartway:
        RefreshNewestPage();
        break;
    case RecycleOutcome::Kept:
    case RecycleOutcome::Failed:
        break;
    }
}
