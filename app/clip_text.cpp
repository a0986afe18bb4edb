#include "app/clip_text.h"

#include "app/zev_form.h"
#include "ui/clipboard.h"

std::string ClipText;

void AppendClipText(std::string_view piece) { ClipText += piece; }

void PlaceClipText() { ui::SetClipboardText(Form1 ? Form1->Handle() : nullptr, ClipText); }

void TForm1::GridKeyDown(ui::TControl& sender, WORD& key, ui::TShiftState shift) {
    if (shift != ui::ssCtrl || key != 'C') return;
    if (&sender == &DirGrid)
        CopyDirPage();
    else if (&sender == &FileGrid)
        CopyFilePage();
    else if (&sender == &NewFileGrid)
        CopyNewestPage();
    else if (&sender == &JolietGrid)
        CopyTargetPage();
}
