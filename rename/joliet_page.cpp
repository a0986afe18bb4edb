#include "app/zev_form.h"
#include "core/sizes.h"

void TForm1::SetJolietGridWidths() {
    constexpr int widths[] = {240, 30, 80, 120, 36, 150};
    for (int col = 0; col < 6; ++col) JolietGrid.SetColWidth(col, widths[col]);
}

void TForm1::SetJolietGridTitles() {
    UpdateSizeUnit(CheckKB.Checked());
    JolietGrid.SetCell(0, 0, " ファイル名");
    JolietGrid.SetCell(1, 0, "字数");
    JolietGrid.SetCell(2, 0, SizeUnit == 1 ? " サイズ (bytes)" : " サイズ (KB)");
    JolietGrid.SetCell(3, 0, " 日付");
    JolietGrid.SetCell(4, 0, "パス長");
    JolietGrid.SetCell(5, 0, " パス名");
}
