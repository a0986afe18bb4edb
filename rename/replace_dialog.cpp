#include "rename/replace_dialog.h"

#include "ui/control.h"
#include "ui/dialog_template.h"

namespace {

struct Session {
    ReplaceSettings& settings;
    const TReplacePreviewEvent& preview;
    bool loading = true;
};

std::wstring ItemText(HWND dialog, int id) {
    HWND item = GetDlgItem(dialog, id);
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(item)) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(item, text.data(), static_cast<int>(text.size()))));
    return text;
}

bool Checked(HWND dialog, int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; }

ReplaceSettings Read(HWND dialog) {
    return {ItemText(dialog, rdSearch),   ItemText(dialog, rdReplacement),    Checked(dialog, rdRegex),
            Checked(dialog, rdMatchCase), Checked(dialog, rdWithExtension), ItemText(dialog, rdFirstNumber)};
}

TReplacePreview Preview(HWND dialog, Session& session) {
    TReplacePreview shown;
    ui::Guarded([&] { shown = session.preview(Read(dialog)); });
    SetDlgItemTextA(dialog, rdCountLine, shown.Line.c_str());
    EnableWindow(GetDlgItem(dialog, IDOK), shown.Enabled);
    return shown;
}

void Close(HWND dialog, Session& session, bool replace) {
    session.settings = Read(dialog);
    EndDialog(dialog, replace ? IDOK : IDCANCEL);
}

INT_PTR CALLBACK DialogProc(HWND dialog, UINT msg, WPARAM wp, LPARAM lp) {
    auto* session = reinterpret_cast<Session*>(GetWindowLongPtrW(dialog, DWLP_USER));
    switch (msg) {
    case WM_INITDIALOG: {
        SetWindowLongPtrW(dialog, DWLP_USER, lp);
        session = reinterpret_cast<Session*>(lp);
        const ReplaceSettings& settings = session->settings;
        SetDlgItemTextW(dialog, rdSearch, settings.Search.c_str());
        SetDlgItemTextW(dialog, rdReplacement, settings.Replacement.c_str());
        SetDlgItemTextW(dialog, rdFirstNumber, settings.FirstNumber.c_str());
        CheckDlgButton(dialog, rdRegex, settings.Regex ? BST_CHECKED : BST_UNCHECKED);
        CheckDlgButton(dialog, rdMatchCase, settings.MatchCase ? BST_CHECKED : BST_UNCHECKED);
        CheckDlgButton(dialog, rdWithExtension, settings.WithExtension ? BST_CHECKED : BST_UNCHECKED);
        session->loading = false;
        Preview(dialog, *session);
        ui::CenterOverOwner(dialog);
        return TRUE;  // the focus goes to the search text
    }
    case WM_COMMAND:
        if (!session || session->loading) break;
        switch (LOWORD(wp)) {
        case IDOK:
            // Enter sends it also while the button is disabled.
            if (Preview(dialog, *session).Accepted) Close(dialog, *session, true);
            return TRUE;
        case IDCANCEL:  // the button, Esc and the close box
            Close(dialog, *session, false);
            return TRUE;
        case rdSearch:
        case rdReplacement:
        case rdFirstNumber:
            if (HIWORD(wp) == EN_CHANGE) Preview(dialog, *session);
            return TRUE;
        case rdRegex:
        case rdMatchCase:
        case rdWithExtension:
            if (HIWORD(wp) == BN_CLICKED) Preview(dialog, *session);
            return TRUE;
        }
        break;
    }
    return FALSE;
}

}  // namespace

bool ShowReplaceDialog(HWND owner, ReplaceSettings& settings, const TReplacePreviewEvent& preview) {
    constexpr DWORD style = DS_MODALFRAME | DS_SETFONT | WS_POPUP | WS_CAPTION | WS_SYSMENU;
    ui::DialogTemplate dialog(style, "置換", "MS Shell Dlg", 9, 260, 140);
    constexpr DWORD label = SS_LEFT | SS_NOPREFIX;
    constexpr DWORD edit = ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP;
    constexpr DWORD check = BS_AUTOCHECKBOX | WS_TABSTOP;
    dialog.Item(ui::kStaticClass, 0xFFFF, label, "検索する文字列:", 7, 9, 70, 9);
    dialog.Item(ui::kEditClass, rdSearch, edit, "", 80, 7, 173, 13);
    dialog.Item(ui::kStaticClass, 0xFFFF, label, "置換後の文字列:", 7, 27, 70, 9);
    dialog.Item(ui::kEditClass, rdReplacement, edit, "", 80, 25, 173, 13);
    dialog.Item(ui::kButtonClass, rdRegex, check, "正規表現", 7, 44, 150, 10);
    dialog.Item(ui::kButtonClass, rdMatchCase, check, "大文字と小文字を区別する", 7, 57, 150, 10);
    dialog.Item(ui::kButtonClass, rdWithExtension, check, "拡張子も対象にする", 7, 70, 150, 10);
    dialog.Item(ui::kStaticClass, 0xFFFF, label, "連番の開始:", 7, 87, 70, 9);
    dialog.Item(ui::kEditClass, rdFirstNumber, edit | ES_NUMBER, "", 80, 85, 50, 13);
    dialog.Item(ui::kStaticClass, rdCountLine, label, "", 7, 104, 246, 9);
    dialog.Item(ui::kButtonClass, IDOK, BS_DEFPUSHBUTTON | WS_TABSTOP, "置換", 149, 119, 50, 14);
    dialog.Item(ui::kButtonClass, IDCANCEL, BS_PUSHBUTTON | WS_TABSTOP, "キャンセル", 203, 119, 50, 14);
    Session session{settings, preview};
    return DialogBoxIndirectParamW(GetModuleHandleA(nullptr), dialog.get(), owner, DialogProc,
                                   reinterpret_cast<LPARAM>(&session)) == IDOK;
}
