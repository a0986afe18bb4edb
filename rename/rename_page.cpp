#include <algorithm>
#include <string>
#include <unordered_map>

#include "app/walk_status.h"
#include "app/zev_form.h"
#include "core/find_file.h"
#include "core/number_format.h"
#include "core/paths.h"
#include "core/sizes.h"
#include "core/stamp.h"
#include "files/file_sort.h"
#include "files/file_table.h"
#include "rename/list_files_and_folders.h"
#include "rename/rename_on_disk.h"
#include "rename/rename_run.h"
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
// The new name of a row the apply would fail on.
constexpr COLORREF kFailingName = RGB(255, 0, 0);

std::string Count(std::int64_t n)
{
    return FormatNumber(n) + " 件";
}

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
    // What was renamed elsewhere cannot be taken back from here.
    if (UndoFolder.Wide != CurrentFolder.Wide)
        UndoRenames.clear();
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
    CheckRenameRows();
}

void TForm1::CheckRenameRows()
{
    const int n = static_cast<int>(FileTable.size()) - 1;
    std::vector<std::wstring> names;
    std::unordered_map<std::wstring, const EntryIdentity*> listed;
    for (int i = 1; i <= n; ++i) {
        names.push_back(FileTable[static_cast<std::size_t>(i)].Identity.Name);
        listed.emplace(names.back(), &FileTable[static_cast<std::size_t>(i)].Identity);
    }
    std::vector<PlannedRename> plan;
    std::vector<int> planned;
    for (int row = 1; row <= n && row < static_cast<int>(RenameRowIdentities.size()); ++row) {
        if (RenameGrid.Cell(0, row).empty())
            continue;
        const EntryIdentity& entry = RenameRowIdentities[static_cast<std::size_t>(row)];
        const auto found = listed.find(entry.Name);
        const std::string& newName = RenameGrid.Cell(2, row);
        plan.push_back({newName, WideText(newName), entry.Name, found != listed.end() && *found->second == entry});
        planned.push_back(row);
    }
    const std::vector<RenameProblem> problems = CheckRenames(plan, names);
    RenameRowProblems.assign(static_cast<std::size_t>(std::max(RenameGrid.RowCount(), 1)), RenameProblem::None);
    for (std::size_t i = 0; i < planned.size(); ++i)
        if (static_cast<std::size_t>(planned[i]) < RenameRowProblems.size())
            RenameRowProblems[static_cast<std::size_t>(planned[i])] = problems[i];
    ShowRenameStatus(RenameGrid.Row());
    InvalidateRect(RenameGrid.Handle(), nullptr, FALSE);
}

RenameProblem TForm1::RenameRowProblem(int row) const
{
    return row >= 0 && static_cast<std::size_t>(row) < RenameRowProblems.size()
        ? RenameRowProblems[static_cast<std::size_t>(row)]
        : RenameProblem::None;
}

std::string TForm1::RenameProblemLine(int selectedRow) const
{
    int count = 0;
    int first = 0;
    for (int row = 1; row < static_cast<int>(RenameRowProblems.size()); ++row)
        if (RenameRowProblem(row) != RenameProblem::None && count++ == 0)
            first = row;
    // The selected row's own word first, then the first failing row's.
    const int shown = RenameRowProblem(selectedRow) != RenameProblem::None ? selectedRow : first;
    if (shown == 0)
        return {};
    return "変更できない名前: " + Count(count) + " (行 " + FormatNumber(std::int64_t{shown}) + ": "
        + std::string(ProblemText(RenameRowProblem(shown))) + ")";
}

void TForm1::ShowRenameStatus(int selectedRow)
{
    const std::string problems = RenameProblemLine(selectedRow);
    if (RenameRowProblem(selectedRow) != RenameProblem::None)
        HintToStatusBar(problems);
    else if (!RenameRowShowsExactly(selectedRow))
        HintToStatusBar(kNotShownExactly);
    else if (!problems.empty())
        HintToStatusBar(problems);
    else
        HintToStatusBar(RenameGrid.Hint);
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
        ShowRenameStatus(row);
}

void TForm1::RenameGridSetEditText(ui::TStringGrid& sender, int, int row, const std::string& value)
{
    sender.SetCell(0, row, value != sender.Cell(3, row) ? kChanged : "");
    sender.SetCell(7, row, std::to_string(CountNameChars(value)));
    ListFilesAndFolders(CurrentFolder);
    CheckRenameRows();
}

void TForm1::RenameFileDrawCell(ui::TStringGrid& sender, int col, int row, const RECT& rect,
                                ui::TGridDrawState state)
{
    if ((state & ui::gdFixed) || row < 1 || col < 2)
        return;
    if (col >= 4)
        sender.DrawCellRight(col, row, rect);
    else if (state & ui::gdSelected)
        return;
    else if (col == 2 && static_cast<std::size_t>(row) < RenameRowProblems.size()
             && RenameRowProblems[static_cast<std::size_t>(row)] != RenameProblem::None)
        sender.DrawCellText(col, row, rect, kFailingName);
    else if (col == 3 && !RenameRowShowsExactly(row))
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
    // The one empty row of an empty listing takes typing too, but was filled
    // from no entry and names nothing to rename.
    std::vector<int> marked;
    for (int row = 1; row <= n; ++row)
        if (!RenameGrid.Cell(0, row).empty() && row < static_cast<int>(RenameRowIdentities.size()))
            marked.push_back(row);
    UndoFolder = CurrentFolder;
    UndoRenames.clear();
    const RenameRun run = RunRenames(StatusBar1, *this, marked.size(), [&](std::size_t i) {
        // The entry is reached by its own name; the typed one is taken as
        // typed.
        const int row = marked[i];
        const EntryIdentity& entry = RenameRowIdentities[static_cast<std::size_t>(row)];
        const std::string& newName = RenameGrid.Cell(2, row);
        const DiskPath newPath = Joined(folder, newName, WideText(newName));
        if (!RenameOnDisk(Joined(folder, RenameGrid.Cell(3, row), entry.Name), newPath, entry))
            return false;
        RenameGrid.SetCell(0, row, "");
        // As it is now, for the undo to find it by.
        const FindFile now(newPath.Wide);
        if (now)
            UndoRenames.push_back({entry.Name, std::wstring(now.wideName()), IdentityOf(now.data())});
        return true;
    });
    RefreshRenamePage(RenameGrid);
    HintToStatusBar(RenamedText(run));
}

void TForm1::UndoRenameButtonClick(ui::TControl&)
{
    if (UndoRenames.empty() || UndoFolder.Wide != CurrentFolder.Wide)
        return;
    // Once per apply: taken out before it runs.
    std::vector<DoneRename> done;
    done.swap(UndoRenames);
    const DiskPath folder = EndingInBackslash(UndoFolder);
    const RenameRun run = RunRenames(StatusBar1, *this, done.size(), [&](std::size_t i) {
        // In the reverse order. An entry changed, replaced or removed since is
        // not the one renamed, and is left alone.
        const DoneRename& rename = done[done.size() - 1 - i];
        return RenameOnDisk(Joined(folder, ShownText(rename.NewName), rename.NewName),
                            Joined(folder, ShownText(rename.OldName), rename.OldName), rename.Renamed);
    });
    RefreshRenamePage(RenameGrid);
    HintToStatusBar(UndoneText(run));
}

void TForm1::RenamePageKeyDown(ui::TControl&, WORD& key, ui::TShiftState shift)
{
    if (shift != ui::ssCtrl || (key != 'Z' && key != 'H') || DiskPage.ActivePage() != &RenameFilePage)
        return;
    // In an edit box, a cell's editor among them, the keys keep their editing
    // meaning (undo, backspace).
    char className[16] = "";
    GetClassNameA(GetFocus(), className, sizeof className);
    if (RenameGrid.EditorActive() || lstrcmpiA(className, "Edit") == 0)
        return;
    const WORD pressed = key;
    key = 0;
    if (pressed == 'Z')
        UndoRenameButtonClick(UndoRenameButton);
    else
        ReplaceButtonClick(ReplaceButton);
}

void TForm1::CancelRenameButtonClick(ui::TControl&)
{
    const int n = ListFilesAndFolders(CurrentFolder);
    for (int row = 1; row <= n; ++row) {
        RenameGrid.SetCell(2, row, RenameGrid.Cell(3, row));
        RenameGrid.SetCell(0, row, "");
    }
    CheckRenameRows();
}
