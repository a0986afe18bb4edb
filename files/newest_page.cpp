#include "app/zev_form.h"
#include "core/sizes.h"

void TForm1::SetNewestGridWidths() {
    constexpr int widths[] = {150, 150, 110, 60, 40};
    for (int col = 0; col < 5; ++col) NewFileGrid.SetColWidth(col, widths[col]);
}

void TForm1::SetNewestGridTitles() {
    UpdateSizeUnit(CheckKB.Checked());
    NewFileGrid.SetCell(0, 0, " フォルダ名");
    NewFileGrid.SetCell(1, 0, " ファイル名");
    NewFileGrid.SetCell(2, 0, " 日付");
    NewFileGrid.SetCell(3, 0, SizeUnit == 1 ? "サイズ(bytes)" : "サイズ(KB)");
    NewFileGrid.SetCell(4, 0, "拡張子");
}
