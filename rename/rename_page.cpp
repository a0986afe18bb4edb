#include "app/zev_form.h"

void TForm1::SetRenameGridWidths() {
    constexpr int widths[] = {20, 20, 160, 160, 60, 120, 40, 40};
    for (int col = 0; col < 8; ++col) RenameGrid.SetColWidth(col, widths[col]);
}
