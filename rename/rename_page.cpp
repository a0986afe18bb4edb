#include <string>

#include "app/zev_form.h"
#include "core/number_format.h"
#include "core/paths.h"
#include "core/sizes.h"
#include "core/stamp.h"
#include "files/file_sort.h"
#include "files/file_table.h"
#include "rename/list_files_and_folders.h"
#include "rename/rename_on_disk.h"
#include "ui/cursor.h"
#include "ui/message_box.h"
#include "ui/shell.h"

namespace {

constexpr int kRenameGridWidths[] = {20, 20, 160, 160, 60, 120, 40, 40};
// Sort key of each title, columns 0 to 7; 0 keeps the key in force.
constexpr int kRenameTitleKeys[] = {0, 0, SortByName, SortByName, SortBySize, SortByDate, SortByExtension,
                                    SortByCharCount};
constexpr const char* kChanged = "*";
constexpr const char* kNotShownExactly = "この名前には Shift_JIS で表せない文字が含まれています";
// The current name of a row whose entry's own name the code page cannot hold.
constexpr COLORREF kLookAlikeName = RGB(128, 128, 128);
constexpr const char* kSortQuestion =
    "修正中のファイル名があります。 ソートすると修正が取り消されます。\n"
    "修正を反映するには［いいえ］を選択した後［変更を反映］ボタンを押します。\n\n"
    "このままソートを実行しますか？ ";

}  // namespace

void TForm1::SetRenameGridWidths()
{
    for (int col = 0; col < 8; ++col)
        RenameGrid.SetColWidth(col, kRenameGridWidths[col]);
}

void TForm1::RefreshRenamePage(ui::TStringGrid& grid)
{
    ui::TGridUpdate update(grid);
    grid.ClearCells();
    UpdateSizeUnit(CheckKB.Checked());
    grid.SetCell(0, 0, "c");
    grid.SetCell(1, 0, "d");
    grid.SetCell(2, 0, "新しいファイル/フォルダ名");
    grid.SetCell(3, 0, "現在のファイル/フォルダ名");
    grid.SetCell(4, 0, SizeUnit == 1 ? "サイズ(bytes)" : "サイズ(KB)");
    grid.SetCell(5, 0, " 日付");
    grid.SetCell(6, 0, " 拡張子");
    grid.SetCell(7, 0, " 字数");
    int n = 0;
    {
        ui::HourglassCursor hourglass;
        grid.SetTopRow(1);
        n = ListFilesAndFolders(CurrentFolder);
        grid.SetRowCount(n > 0 ? n + 1 : 2);
    }
    SortFiles(n, RenameSortKey, SortDescending);

    RenameRowIdentities.assign(1, EntryIdentity{});
    for (int row = 1; row <= n; ++row) {
        const FileEntry& entry = FileTable[FileOrder[row]];
        RenameRowIdentities.push_back(entry.Identity);
        grid.SetCell(1, row, entry.IsFolder ? "D" : "");
        grid.SetCell(2, row, entry.Name);
        grid.SetCell(3, row, entry.Name);
        grid.SetCell(4, row, FormatNumber(ToDisplaySize(entry.Size)));
        grid.SetCell(5, row, FormatStamp(entry.Stamp).view());
        grid.SetCell(6, row, ExtensionText(entry.Name));
        grid.SetCell(7, row, std::to_string(entry.CharCount));
    }
    if (!RenameRowShowsExactly(grid.Row()))
        HintToStatusBar(kNotShownExactly);
}

void TForm1::MarkChangedRows()
{
    const int n = ListFilesAndFolders(CurrentFolder);
    for (int row = 1; row <= n; ++row)
        if (RenameGrid.Cell(2, row) != RenameGrid.Cell(3, row))
            RenameGrid.SetCell(0, row, kChanged);
}

bool TForm1::HasPendingEdits()
{
    const int n = ListFilesAndFolders(CurrentFolder);
    for (int row = 1; row <= n; ++row)
        if (RenameGrid.Cell(0, row) == kChanged)
            return true;
    return false;
}

bool TForm1::RenameRowShowsExactly(int row) const
{
    if (row < 1 || row >= static_cast<int>(RenameRowIdentities.size()))
        return true;
    return ShowsExactly(RenameGrid.Cell(3, row), RenameRowIdentities[static_cast<std::size_t>(row)].Name);
}

void TForm1::RenameGridSelectCell(ui::TStringGrid& sender, int col, int row, bool& canSelect)
{
    canSelect = col == 2;
    if (canSelect && row != sender.Row())
        HintToStatusBar(RenameRowShowsExactly(row) ? sender.Hint : kNotShownExactly);
}

void TForm1::RenameGridSetEditText(ui::TStringGrid& sender, int, int row, const std::string& value)
{
    sender.SetCell(0, row, value != sender.Cell(3, row) ? kChanged : "");
    sender.SetCell(7, row, std::to_string(CountNameChars(value)));
}

void TForm1::RenameFileDrawCell(ui::TStringGrid& sender, int col, int row, const RECT& rect,
                                ui::TGridDrawState state)
{
    if ((state & ui::gdFixed) || row < 1 || col < 3)
        return;
    if (col >= 4)
        sender.DrawCellRight(col, row, rect);
    else if (!(state & ui::gdSelected) && !RenameRowShowsExactly(row))
        sender.DrawCellText(col, row, rect, kLookAlikeName);
}

void TForm1::RenamePageClick(ui::TStringGrid& sender, ui::TMouseButton button, ui::TShiftState, int x, int y)
{
    if (button != ui::TMouseButton::Left)
        return;
    int col = -1;
    int row = -1;
    sender.MouseToCell(x, y, col, row);
    if (row == 0 && col >= 0 && col <= 7) {
        SortDescending = !SortDescending;
        if (kRenameTitleKeys[col] != 0)
            RenameSortKey = kRenameTitleKeys[col];
        if (!HasPendingEdits() || ui::AskYesNo(Handle(), kSortQuestion, "情報"))
            RefreshRenamePage(RenameGrid);
    } else if (row >= 1 && col == 3 && !sender.Cell(3, row).empty()) {
        ui::ShellOpen(Handle(), "open", "explorer", CurrentFolder, "", SW_SHOW);
    }
}

void TForm1::DoRenameButtonClick(ui::TControl&)
{
    const int n = ListFilesAndFolders(CurrentFolder);
    if (n <= 0)
        return;
    const DiskPath folder = EndingInBackslash(CurrentFolder);
    for (int row = 1; row <= n; ++row) {
        // The one empty row of an empty listing takes typing too, but was
        // filled from no entry and names nothing to rename.
        if (RenameGrid.Cell(0, row).empty() || row >= static_cast<int>(RenameRowIdentities.size()))
            continue;
        // The entry is reached by its own name; the typed one is taken as
        // typed.
        const EntryIdentity& entry = RenameRowIdentities[static_cast<std::size_t>(row)];
        const std::string& newName = RenameGrid.Cell(2, row);
        if (RenameOnDisk(Joined(folder, RenameGrid.Cell(3, row), entry.Name), Joined(folder, newName, WideText(newName)),
                         entry))
            RenameGrid.SetCell(0, row, "");
    }
    RefreshRenamePage(RenameGrid);
}

void TForm1::CancelRenameButtonClick(ui::TControl&)
{
    const int n = ListFilesAndFolders(CurrentFolder);
    for (int row = 1; row <= n; ++row) {
        RenameGrid.SetCell(2, row, RenameGrid.Cell(3, row));
        RenameGrid.SetCell(0, row, "");
    }
}
