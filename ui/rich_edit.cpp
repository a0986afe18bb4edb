#include "ui/rich_edit.h"

#include <richedit.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "ui/gdi.h"

namespace ui {
namespace {

class Library {
public:
    explicit Library(const char* name) : module_(LoadLibraryA(name)) {}
    ~Library() {
        if (module_) FreeLibrary(module_);
    }
    Library(const Library&) = delete;
    Library& operator=(const Library&) = delete;

private:
    HMODULE module_;
};

// The DLL registers the window class; it stays loaded for the whole run.
void LoadRichEditClass() { static const Library riched20("riched20.dll"); }

constexpr int kTwipsPerInch = 1440;

}  // namespace

TRichEdit::TRichEdit(TControl* parent) : TControl(parent) {
    LoadRichEditClass();
    CreateHandle(RICHEDIT_CLASSA, WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL,
                 WS_EX_CLIENTEDGE, 0, 0, 0, 0);
}

void TRichEdit::SetBackground(COLORREF color) { SendMessageA(Handle(), EM_SETBKGNDCOLOR, 0, color); }

void TRichEdit::SetLines(std::string_view text) {
    // The default limit (32K characters) would cut a long text short.
    SendMessageA(Handle(), EM_EXLIMITTEXT, 0, static_cast<LPARAM>(std::max<size_t>(text.size() + 1, 32767)));
    SetText(text);
    ApplyCharFormat();
}

void TRichEdit::FontChanged() { ApplyCharFormat(); }

void TRichEdit::ApplyCharFormat() {
    const TFontSpec& font = Font();
    CHARFORMAT2A format{};
    format.cbSize = sizeof format;
    format.dwMask = CFM_FACE | CFM_SIZE | CFM_COLOR | CFM_BOLD | CFM_CHARSET;
    format.dwEffects = font.Bold ? CFE_BOLD : 0;
    {
        WindowDC dc(Handle());
        format.yHeight = MulDiv(font.Height, kTwipsPerInch, GetDeviceCaps(dc.get(), LOGPIXELSY));
    }
    format.crTextColor = font.Color;
    format.bCharSet = SHIFTJIS_CHARSET;
    std::strncpy(format.szFaceName, font.Name.c_str(), LF_FACESIZE - 1);
    SendMessageA(Handle(), EM_SETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&format));
    SendMessageA(Handle(), EM_SETCHARFORMAT, SCF_ALL, reinterpret_cast<LPARAM>(&format));
}

}  // namespace ui
