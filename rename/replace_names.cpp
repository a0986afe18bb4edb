#include <string>

#include "app/zev_form.h"
#include "core/number_format.h"
#include "rename/list_files_and_folders.h"
#include "rename/name_replace.h"
#include "ui/application.h"
#include "ui/replace_dialog.h"

namespace {

std::string Count(std::int64_t n)
{
    return FormatNumber(n) + " 件";
}

// Runs the replacement over the new names of rows 1..last in row order, past
// the empty names and the rows whose current name is a look-alike, and hands
// each row whose name it changes to changed(row, newName). Returns how many.
template <class Changed>
std::int64_t ReplaceRows(const TForm1& form, NameReplacer& replacer, int last, Changed changed)
{
    std::int64_t count = 0;
    std::string result;
    for (int row = 1; row <= last; ++row) {
        const std::string& name = form.RenameGrid.Cell(2, row);
        if (name.empty() || !form.RenameRowShowsExactly(row))
            continue;
        if (replacer.Replace(name, form.RenameGrid.Cell(1, row) == "D", form.RenameGrid.Cell(5, row), result)
            && result != name) {
            ++count;
            changed(row, result);
        }
    }
    return count;
}

}  // namespace

void TForm1::ReplaceButtonClick(ui::TControl&)
{
    const auto preview = [this](const ReplaceSettings& settings) { return ReplacePreview(settings); };
    if (!ui::ShowReplaceDialog(Handle(), ReplaceFields, preview))
        return;
    ReplaceNames(ReplaceFields);
    // The report stays until the pointer moves onto another control.
    ui::Application().TakeHintUnderPointer();
}

void TForm1::ReplaceNames(const ReplaceSettings& settings)
{
    NameReplacer replacer(settings);
    const int n = ListFilesAndFolders(CurrentFolder);
    if (n <= 0 || replacer.State() != ReplaceState::Ready)
        return;
    std::int64_t changed = 0;
    {
        const ui::TGridUpdate update(RenameGrid);
        changed = ReplaceRows(*this, replacer, n,
                              [this](int row, const std::string& name) { RenameGrid.SetCell(2, row, name); });
    }
    MarkChangedRows();
    CheckRenameRows();
    const std::string problems = RenameProblemLine(RenameGrid.Row());
    HintToStatusBar("置換しました: " + Count(changed) + (problems.empty() ? "" : ", " + problems));
}

ui::TReplacePreview TForm1::ReplacePreview(const ReplaceSettings& settings) const
{
    NameReplacer replacer(settings);
    switch (replacer.State()) {
    case ReplaceState::NoSearchText: return {"変わる名前: 0 件", false, false};
    case ReplaceState::NotShiftJis: return {"この文字は Shift_JIS で表せません", false, false};
    case ReplaceState::BadFirstNumber: return {"連番の開始には数字を入れてください", false, false};
    case ReplaceState::BadExpression: return {"正規表現が正しくありません: " + replacer.Reason(), true, false};
    case ReplaceState::Ready: break;
    }
    const std::int64_t changes = ReplaceRows(*this, replacer, RenameGrid.RowCount() - 1, [](int, const std::string&) {});
    return {"変わる名前: " + Count(changes), true, true};
}
