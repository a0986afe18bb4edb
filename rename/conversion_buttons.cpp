#include <string>
#include <string_view>

#include "app/zev_form.h"
#include "rename/list_files_and_folders.h"
#include "rename/name_conversions.h"
#include "ui/string_grid.h"

namespace {

// Converts the new name (column 2) of rows 1..N of the rename grid, N counted
// afresh in the current folder, and marks the rows that now differ.
template <typename Convert>
void ConvertRows(TForm1& form, Convert convert)
{
    const int n = ListFilesAndFolders(CurrentFolder);
    if (n <= 0)
        return;
    {
        const ui::TGridUpdate update(form.RenameGrid);
        for (int row = 1; row <= n; ++row) {
            const std::string& name = form.RenameGrid.Cell(2, row);
            if (name.empty())
                continue;  // a name emptied by hand stays empty under every conversion
            // A converted look-alike would drop what the code page cannot
            // show ("cafe" to "CAFE" loses the accent of "café").
            if (!form.RenameRowShowsExactly(row))
                continue;
            form.RenameGrid.SetCell(2, row, convert(name));
        }
    }
    form.MarkChangedRows();
    form.CheckRenameRows();
}

}  // namespace

void TForm1::ConvertNames(ConvertMode mode)
{
    ConvertRows(*this, [mode](std::string_view name) { return ConvertName(name, mode); });
}

void TForm1::ToLowerButtonClick(ui::TControl&) { ConvertNames(ConvertMode::ToLower); }
void TForm1::ToUpperBottunClick(ui::TControl&) { ConvertNames(ConvertMode::ToUpper); }
void TForm1::Underline2SpaceClick(ui::TControl&) { ConvertNames(ConvertMode::UnderscoreToSpace); }
void TForm1::Space2UnderlineClick(ui::TControl&) { ConvertNames(ConvertMode::SpaceToUnderscore); }
void TForm1::WideToSingleButtonClick(ui::TControl&) { ConvertRows(*this, WideToSingle); }
void TForm1::ZenSymbolClick(ui::TControl&) { ConvertRows(*this, SymbolsToAscii); }
void TForm1::HankakuKANAClick(ui::TControl&) { ConvertRows(*this, HalfKanaToFull); }
void TForm1::LowerExtBottunClick(ui::TControl&) { ConvertRows(*this, LowerExtension); }
