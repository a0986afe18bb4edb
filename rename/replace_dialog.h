#pragma once
#include <windows.h>

#include <functional>
#include <string>

#include "rename/replace_settings.h"

// What the count line reads for the boxes as they are; whether 置換 is
// enabled, and whether pressing it closes the dialog.
struct TReplacePreview {
    std::string Line;
    bool Enabled = false;
    bool Accepted = false;
};
// The dialog's items, by id; 置換 and キャンセル are IDOK and IDCANCEL.
enum TReplaceDialogItem : WORD {
    rdSearch = 200,
    rdReplacement,
    rdRegex,
    rdMatchCase,
    rdWithExtension,
    rdFirstNumber,
    rdCountLine,
};

using TReplacePreviewEvent = std::function<TReplacePreview(const ReplaceSettings&)>;

// The modal dialog "置換", centred over the owner: a search text, a
// replacement text, three check boxes, the start of the numbering, one count
// line that preview writes on every change, and the buttons 置換 (default)
// and キャンセル. True when 置換 closed it. Every close leaves the boxes in
// settings. The boxes are read as wide text.
bool ShowReplaceDialog(HWND owner, ReplaceSettings& settings, const TReplacePreviewEvent& preview);
