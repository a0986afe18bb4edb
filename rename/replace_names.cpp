#include <string>
#include <utility>
#include <vector>

#include "app/zev_form.h"
#include "core/number_format.h"
#include "rename/list_files_and_folders.h"
#include "rename/name_replace.h"
#include "rename/replace_dialog.h"
#include "ui/application.h"

namespace {

constexpr const char* kTooComplex = "正規表現が複雑すぎます";

std::string Count(std::int64_t n)
{
    return FormatNumber(n) + " 件";
}

// Runs the replacement over the new names of rows 1..last in row order, past
// the empty names and the rows whose current name is a look-alike, and hands
// each row whose name it changes to changed(row, newName). Returns how many;
// stops at the first row whose search gives up (the replacer says so).
template <class Changed>
std::int64_t ReplaceRows(const TForm1& form, NameReplacer& replacer, int last, Changed changed)
{
    std::int64_t count = 0;
    std::string result;
    for (int row = 1; row <= last && replacer.State() == ReplaceState::Ready; ++row) {
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
    // One listing for the dialog's count and the replace, so the count shown
    // is the count changed.
    const int n = ListFilesAndFolders(CurrentFolder);
    const auto preview = [this, n](const ReplaceSettings& settings) { return ReplacePreview(settings, n); };
    if (!ShowReplaceDialog(Handle(), ReplaceFields, preview))
        return;
    ReplaceNames(ReplaceFields, n);
    // The report stays until the pointer moves onto another control.
    ui::Application().TakeHintUnderPointer();
}

void TForm1::ReplaceNames(const ReplaceSettings& settings, int n)
{
    NameReplacer replacer(settings);
    if (n <= 0 || replacer.State() != ReplaceState::Ready)
        return;
    // Every new name is worked out before any row changes: a search that
    // gives up leaves all of them as they were.
    std::vector<std::pair<int, std::string>> names;
    const std::int64_t changed = ReplaceRows(
        *this, replacer, n, [&names](int row, const std::string& name) { names.emplace_back(row, name); });
    if (replacer.State() == ReplaceState::TooComplex) {
        HintToStatusBar(kTooComplex);
        return;
    }
    {
        const ui::TGridUpdate update(RenameGrid);
        for (const auto& [row, name] : names)
            RenameGrid.SetCell(2, row, name);
    }
    MarkChangedRows();
    CheckRenameRows();
    const std::string problems = RenameProblemLine(RenameGrid.Row());
    HintToStatusBar("置換しました: " + Count(changed) + (problems.empty() ? "" : ", " + problems));
}

TReplacePreview TForm1::ReplacePreview(const ReplaceSettings& settings, int n) const
{
    NameReplacer replacer(settings);
    switch (replacer.State()) {
    case ReplaceState::NoSearchText: return {"変わる名前: 0 件", false, false};
    case ReplaceState::NotShiftJis: return {"この文字は Shift_JIS で表せません", false, false};
    case ReplaceState::BadFirstNumber: return {"連番の開始には数字を入れてください", false, false};
    case ReplaceState::BadExpression: return {"正規表現が正しくありません: " + replacer.Reason(), true, false};
    case ReplaceState::TooComplex:
    case ReplaceState::Ready: break;
    }
    const std::int64_t changes = ReplaceRows(*this, replacer, n, [](int, const std::string&) {});
    if (replacer.State() == ReplaceState::TooComplex)
        return {kTooComplex, false, false};
    return {"変わる名前: " + Count(changes), true, true};
}
