#include <string>

#include "app/zev_form.h"
#include "ui/cursor.h"
#include "ui/message_box.h"
#include "ui/recycle_bin.h"

namespace {

const std::wstring kCaption = L"ZEV";
// What the shell's file operation can take: a path shorter than MAX_PATH.
constexpr std::size_t kLongestPath = MAX_PATH - 1;

}  // namespace

void TForm1::BindDeleteKeys()
{
    struct Page {
        ui::TStringGrid& grid;
        int& picked;
    };
    TreeMapPane1.View.OnKeyDown = [this, shared = TreeMapPane1.View.OnKeyDown](ui::TControl& s, WORD& key,
                                                                            ui::TShiftState shift) {
        if (key == VK_DELETE)
            DeleteKeyDown(s, key, shift);
        else if (shared)
            shared(s, key, shift);
    };
    for (const Page& page : {Page{FileGrid, FilePickedRow}, Page{DirGrid, DirPickedRow},
                             Page{NewFileGrid, NewestPickedRow}}) {
        int* picked = &page.picked;
        // The shared handler (Ctrl+C) keeps every other key.
        page.grid.OnKeyDown = [this, shared = page.grid.OnKeyDown](ui::TControl& s, WORD& key, ui::TShiftState shift) {
            if (key == VK_DELETE)
                DeleteKeyDown(s, key, shift);
            else if (shared)
                shared(s, key, shift);
        };
        page.grid.OnSelectCell = [picked](ui::TStringGrid&, int, int row, bool&) { *picked = row; };
        // A click on the current row moves nothing but picks it too. Noted
        // before the page's own handler, which may fill the page anew.
        page.grid.OnMouseDown = [picked, own = page.grid.OnMouseDown](ui::TStringGrid& g, ui::TMouseButton button,
                                                                     ui::TShiftState shift, int x, int y) {
            int col = -1;
            int row = -1;
            g.MouseToCell(x, y, col, row);
            if (button == ui::TMouseButton::Left && row >= 1 && row == g.Row())
                *picked = row;
            if (own)
                own(g, button, shift, x, y);
        };
    }
}

void TForm1::DeleteKeyDown(ui::TControl& sender, WORD& key, ui::TShiftState shift)
{
    if (key != VK_DELETE || (shift & ~ui::ssShift) != 0)
        return;
    if (&sender == &FileGrid)
        DeleteFileRow();
    else if (&sender == &DirGrid)
        DeleteDirRow();
    else if (&sender == &NewFileGrid)
        DeleteNewestRow();
    else if (&sender == &TreeMapPane1.View)
        DeleteMapFile();
    else
        return;
    key = 0;
}

TForm1::RecycleOutcome TForm1::RecycleEntry(const DiskPath& path, const EntryIdentity& entry, const std::string& size)
{
    const std::wstring failed = L"ごみ箱に移動できませんでした: " + path.Wide + L"\r\n";
    if (path.Wide.size() > kLongestPath) {
        ui::ShowErrorBox(Handle(), failed + ui::FailureReason(ERROR_FILENAME_EXCED_RANGE), kCaption);
        return RecycleOutcome::Failed;
    }
    if (!ui::AskYesNoDefaultNo(Handle(), L"ごみ箱に移動しますか?\r\n\r\n" + path.Wide + L"\r\n" + WideText(size),
                               kCaption))
        return RecycleOutcome::Kept;
    // What the row was filled from may have gone or been replaced since.
    if (!NamesEntry(path.Wide, entry.Name, entry)) {
        ui::ShowErrorBox(Handle(), failed + ui::FailureReason(ERROR_FILE_NOT_FOUND), kCaption);
        return RecycleOutcome::Failed;
    }
    // Where the Recycle Bin may not keep it, the shell would delete for good.
    if (!ui::OnFixedDrive(path.Wide)
        && !ui::AskYesNoDefaultNo(Handle(), L"ごみ箱に移動できません。完全に削除しますか?\r\n\r\n" + path.Wide,
                                  kCaption))
        return RecycleOutcome::Kept;

    ui::RecycleResult result;
    {
        ui::HourglassCursor hourglass;
        result = ui::MoveToRecycleBin(Handle(), path.Wide);
    }
    if (result.done()) {
        StatusBar1.SetPanelText("ごみ箱に移動しました: " + path.Shown);
        return RecycleOutcome::Moved;
    }
    if (result.code == 0)
        return RecycleOutcome::Kept;  // No to the shell's own question
    ui::ShowErrorBox(Handle(), failed + ui::FailureReason(result.code), kCaption);
    // A file goes whole or not at all; of a folder some files may have gone.
    return (entry.Attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? RecycleOutcome::FailedPartway
                                                              : RecycleOutcome::Failed;
}
